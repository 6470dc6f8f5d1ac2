#include "pelmar/chacha_rng.h"

#include <gtest/gtest.h>
#include <sys/random.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

// ---- getrandom(2), interposed so the tests can see and steer the entropy reads. The default
// behaviour forwards to the kernel.
namespace {
enum class EntropyMode { Forward, InterruptOnce, Partial, Fail };
EntropyMode g_mode = EntropyMode::Forward;
int g_calls = 0;
}  // namespace

extern "C" ssize_t getrandom(void* buf, size_t len, unsigned int flags) {
  ++g_calls;
  switch (g_mode) {
    case EntropyMode::InterruptOnce:
      g_mode = EntropyMode::Forward;
      errno = EINTR;
      return -1;
    case EntropyMode::Partial:
      if (len > 5) len = 5;
      break;
    case EntropyMode::Fail:
      errno = EIO;
      return -1;
    case EntropyMode::Forward:
      break;
  }
  return syscall(SYS_getrandom, buf, len, flags);
}

namespace {

using pelmar::BinomialError;
using pelmar::ChaChaRng;
using pelmar::Seed;

std::vector<std::uint8_t> from_hex(const std::string& hex) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

/// The keystream bytes of `rng` read through next_u32 (little-endian words in stream order).
std::vector<std::uint8_t> keystream(ChaChaRng& rng, std::size_t bytes) {
  std::vector<std::uint8_t> out;
  while (out.size() < bytes) {
    const std::uint32_t w = rng.next_u32();
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
  }
  return out;
}

Seed seed_of(std::uint8_t first, std::uint8_t fill = 0) {
  Seed s;
  s.fill(fill);
  s[0] = first;
  return s;
}

// ---- Keystream.

TEST(ChaChaKeystream, TwelveRoundsZeroKeyTwoBlocks) {
  // 12 rounds, all-zero key and nonce: blocks 0 and 1, so the counter increment is covered too.
  ChaChaRng rng(Seed{});
  EXPECT_EQ(keystream(rng, 128),
            from_hex("9bf49a6a0755f953811fce125f2683d50429c3bb49e074147e0089a52eae155f"
                     "0564f879d27ae3c02ce82834acfa8c793a629f2ca0de6919610be82f411326be"
                     "0bd58841203e74fe86fc71338ce0173dc628ebb719bdcbcc151585214cc089b4"
                     "42258dcda14cf111c602b8971b8cc843e91e46ca905151c02744a6b017e69316"));
}

TEST(ChaChaKeystream, TwelveRoundsKeyByteOrder) {
  // Key 01 00 … 00: the first key byte is the low byte of state word 4.
  ChaChaRng rng(seed_of(0x01));
  EXPECT_EQ(keystream(rng, 64),
            from_hex("12056e595d56b0f6eef090f0cd25a20949248c2790525d0f930218ff0b4ddd10"
                     "a6002239d9a454e29e107a7d06fefdfef0210feba044f9f29b1772c960dc29c0"));
}

TEST(ChaChaKeystream, BlockFunctionAtTwentyRounds) {
  // The ChaCha20 block test vector with a 96-bit nonce layout: key 00 01 … 1f, words 12–15 =
  // 1, 0x09000000, 0x4a000000, 0.
  std::array<std::uint32_t, 16> in = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574, 0x03020100, 0x07060504,
                                      0x0b0a0908, 0x0f0e0d0c, 0x13121110, 0x17161514, 0x1b1a1918, 0x1f1e1d1c,
                                      0x00000001, 0x09000000, 0x4a000000, 0x00000000};
  const std::array<std::uint32_t, 16> want = {0xe4e7f110, 0x15593bd1, 0x1fdd0f50, 0xc47120a3, 0xc7f4d1c7, 0x0368c033,
                                              0x9aaa2204, 0x4e6cd4c3, 0x466482d2, 0x09aa9f07, 0x05d7c214, 0xa2028bd9,
                                              0xd19c12b5, 0xb94e16de, 0xe883d0cb, 0x4e3c50a2};
  EXPECT_EQ(pelmar::detail::chacha_block(in, 20), want);
}

TEST(ChaChaDraws, BitAndUniformReadWordsInStreamOrder) {
  const Seed seed = seed_of(7, 0xA5);
  ChaChaRng a(seed), words(seed);
  for (int i = 0; i < 40; ++i) {  // crosses two block boundaries
    if (i % 3 == 0) {
      EXPECT_EQ(a.bit(), (words.next_u32() >> 31) != 0);
    } else {
      const std::uint64_t lo = words.next_u32();
      const std::uint64_t hi = words.next_u32();
      const double u = a.uniform();
      EXPECT_EQ(u, static_cast<double>(((hi << 32) | lo) >> 11) * 0x1p-53);
      EXPECT_GE(u, 0.0);
      EXPECT_LT(u, 1.0);
    }
  }
}

// ---- Keying.

TEST(ChaChaKeying, SeedKeysAndEntropyReads) {
  g_mode = EntropyMode::Forward;
  g_calls = 0;
  const Seed seed = seed_of(42);
  ChaChaRng s = ChaChaRng::from_seed(seed), t(seed);
  EXPECT_EQ(keystream(s, 256), keystream(t, 256));
  EXPECT_EQ(g_calls, 0);

  // Without a seed every generator reads fresh entropy.
  ChaChaRng u = ChaChaRng::from_seed(std::nullopt), v = ChaChaRng::from_seed(std::nullopt);
  EXPECT_EQ(g_calls, 2);
  EXPECT_NE(keystream(u, 32), keystream(v, 32));
}

TEST(ChaChaKeying, EntropyReadRetriesInterruptsAndShortReads) {
  g_calls = 0;
  g_mode = EntropyMode::InterruptOnce;
  (void)ChaChaRng::from_seed(std::nullopt);
  EXPECT_EQ(g_calls, 2);

  g_calls = 0;
  g_mode = EntropyMode::Partial;  // 5 bytes per call: 7 calls for 32 bytes
  (void)ChaChaRng::from_seed(std::nullopt);
  EXPECT_EQ(g_calls, 7);
  g_mode = EntropyMode::Forward;
}

TEST(ChaChaKeying, EntropyFailureThrowsSystemError) {
  g_mode = EntropyMode::Fail;
  try {
    (void)ChaChaRng::from_seed(std::nullopt);
    ADD_FAILURE() << "no exception";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), EIO);
  }
  g_mode = EntropyMode::Forward;
}

// ---- Binomial: arguments and certain outcomes.

TEST(Binomial, RefusedProbabilities) {
  ChaChaRng rng(Seed{});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double p : {nan, -nan, -0.1, -1e-300, -inf})
    EXPECT_EQ(rng.binomial(10, p), std::unexpected(BinomialError::ProbabilityBelowZeroOrNaN)) << p;
  for (double p : {std::nextafter(1.0, 2.0), 2.0, inf})
    EXPECT_EQ(rng.binomial(10, p), std::unexpected(BinomialError::ProbabilityAboveOne)) << p;
  // Refusals are checked for every n, including n = 0.
  EXPECT_EQ(rng.binomial(0, nan), std::unexpected(BinomialError::ProbabilityBelowZeroOrNaN));
}

TEST(Binomial, CertainOutcomesConsumeNoWords) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  ChaChaRng rng(Seed{}), twin(Seed{});
  EXPECT_EQ(rng.binomial(kMax, 0.0), 0u);
  EXPECT_EQ(rng.binomial(kMax, -0.0), 0u);
  EXPECT_EQ(rng.binomial(kMax, 1.0), kMax);
  EXPECT_EQ(rng.binomial(0, 0.5), 0u);
  EXPECT_EQ(rng.next_u32(), twin.next_u32());
}

TEST(Binomial, ResultsStayWithinZeroToN) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  ChaChaRng rng(seed_of(3));
  for (std::uint64_t n : {std::uint64_t{1}, std::uint64_t{2}, std::uint64_t{25}, kMax - 1, kMax})
    for (double p : {1e-300, 1e-19, 0.25, 0.5, std::nextafter(0.5, 1.0), 1 - 1e-16, std::nextafter(1.0, 0.0)})
      for (int i = 0; i < 200; ++i) {
        const auto x = rng.binomial(n, p);
        ASSERT_TRUE(x.has_value());
        ASSERT_LE(*x, n) << n << " " << p;
      }
}

// ---- Binomial: distribution.

/// Upper critical value of χ² with df degrees of freedom at p = 1e−4 (Wilson–Hilferty).
double chi2_critical(std::size_t df) {
  const double d = static_cast<double>(df), z = 3.719;
  return d * std::pow(1.0 - 2.0 / (9.0 * d) + z * std::sqrt(2.0 / (9.0 * d)), 3);
}

/// Bins [lo, hi] of outcomes with their probabilities.
struct Bin {
  std::uint64_t lo, hi;
  long double prob;
};

/// Exact probabilities near the mode by the ratio recurrence P(i)/P(i − 1) = (n − i + 1)/i · p/q,
/// over mode ± (enough to leave mass below 1e−20 outside), grouped into ~`want` bins of about
/// equal probability.
std::vector<Bin> exact_bins(std::uint64_t n, double p, int want) {
  const long double q = 1.0L - p, ratio = p / q;
  const auto mode = static_cast<std::uint64_t>(std::floor((static_cast<long double>(n) + 1) * p));
  std::vector<long double> up{0.0L}, down;  // log P(mode + j) − log P(mode)
  for (std::uint64_t i = mode + 1; i <= n && up.back() > -50; ++i)
    up.push_back(up.back() + std::log(static_cast<long double>(n - i + 1) / i * ratio));
  long double l = 0;
  for (std::uint64_t i = mode; i >= 1 && l > -50; --i) {
    l -= std::log(static_cast<long double>(n - i + 1) / i * ratio);
    down.push_back(l);  // log P(i − 1) − log P(mode)
  }
  const std::uint64_t first = mode - down.size();
  std::vector<long double> pm;
  for (auto it = down.rbegin(); it != down.rend(); ++it) pm.push_back(std::exp(*it));
  for (long double v : up) pm.push_back(std::exp(v));
  long double total = 0;
  for (long double v : pm) total += v;
  std::vector<Bin> bins;
  long double acc = 0;
  std::uint64_t lo = first;
  for (std::size_t i = 0; i < pm.size(); ++i) {
    acc += pm[i] / total;
    if (acc >= 1.0L / want || i + 1 == pm.size()) {
      bins.push_back({lo, first + i, acc});
      lo = first + i + 1;
      acc = 0;
    }
  }
  if (bins.size() > 1 && bins.back().prob < 0.5L / want) {  // fold a thin last bin
    bins[bins.size() - 2].hi = bins.back().hi;
    bins[bins.size() - 2].prob += bins.back().prob;
    bins.pop_back();
  }
  bins.front().lo = 0;
  bins.back().hi = n;
  return bins;
}

struct BinomialCase {
  const char* name;
  std::uint64_t n;
  double p;
};

class BinomialDistribution : public ::testing::TestWithParam<BinomialCase> {};

constexpr std::size_t kSamples = 100000;

TEST_P(BinomialDistribution, MeanVarianceAndShape) {
  const auto [name, n, p] = GetParam();
  ChaChaRng rng(seed_of(static_cast<std::uint8_t>(n % 251), static_cast<std::uint8_t>(p * 250)));
  std::vector<std::uint64_t> xs(kSamples);
  for (auto& x : xs) {
    const auto r = rng.binomial(n, p);
    ASSERT_TRUE(r.has_value());
    x = *r;
  }

  const long double mean = static_cast<long double>(n) * p;
  const long double var = mean * (1.0L - p);
  long double s1 = 0, s2 = 0;
  for (auto x : xs) {
    const long double d = static_cast<long double>(x) - mean;  // offsets keep the 64-bit detail
    s1 += d, s2 += d * d;
  }
  const long double m1 = s1 / kSamples, m2 = s2 / kSamples - m1 * m1;
  EXPECT_LT(std::fabs(m1), 5 * std::sqrt(var / kSamples) + 1e-12L) << "mean offset " << static_cast<double>(m1);
  if (var * kSamples > 1000) {
    EXPECT_LT(std::fabs(m2 / var - 1), 5 * std::sqrt(2.0L / kSamples))
        << "variance ratio " << static_cast<double>(m2 / var);
  }

  // Shape: exact probabilities where the spread is small enough to enumerate; otherwise
  // (σ ≥ 10^5, skewness below 10^−5) the normal limit on fixed z bins.
  std::vector<long double> expected;
  std::vector<std::size_t> counts;
  if (var < 4e10L) {
    const auto bins = exact_bins(n, p, 40);
    std::vector<std::uint64_t> his;
    for (const auto& b : bins) his.push_back(b.hi), expected.push_back(b.prob * kSamples);
    counts.assign(bins.size(), 0);
    for (auto x : xs) ++counts[std::lower_bound(his.begin(), his.end(), x) - his.begin()];
  } else {
    std::vector<double> edges;
    for (double z = -3.0; z <= 3.0 + 1e-9; z += 0.25) edges.push_back(z);
    const auto phi = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
    for (std::size_t i = 0; i <= edges.size(); ++i) {
      const double a = i == 0 ? 0.0 : phi(edges[i - 1]), b = i == edges.size() ? 1.0 : phi(edges[i]);
      expected.push_back((b - a) * kSamples);
    }
    counts.assign(expected.size(), 0);
    const long double sd = std::sqrt(var);
    for (auto x : xs) {
      const double z = static_cast<double>((static_cast<long double>(x) - mean) / sd);
      ++counts[std::upper_bound(edges.begin(), edges.end(), z) - edges.begin()];
    }
    // The low bits are exact too: x mod 16 is uniform when σ is this large.
    std::vector<std::size_t> low(16, 0);
    for (auto x : xs) ++low[x % 16];
    double chi = 0;
    for (auto c : low) chi += (c - kSamples / 16.0) * (c - kSamples / 16.0) / (kSamples / 16.0);
    EXPECT_LT(chi, chi2_critical(15)) << "low bits";
  }
  if (expected.size() >= 2) {
    double chi = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const double e = static_cast<double>(expected[i]);
      chi += (counts[i] - e) * (counts[i] - e) / e;
    }
    EXPECT_LT(chi, chi2_critical(expected.size() - 1)) << expected.size() << " bins";
  }
}

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
const BinomialCase kBinomialCases[] = {
    {"n10_p1em9", 10, 1e-9},
    {"n10_p03", 10, 0.3},
    {"n10_p05", 10, 0.5},
    {"n10_p09", 10, 0.9},
    {"n34_p03_first_btpe", 34, 0.3},  // n·p = 10.2
    {"n1000_p1em9", 1000, 1e-9},
    {"n1000_p0099_inversion_edge", 1000, 0.0099},
    {"n1000_p0101_btpe_edge", 1000, 0.0101},
    {"n1000_p03", 1000, 0.3},
    {"n1000_p05", 1000, 0.5},
    {"n1000_p09", 1000, 0.9},
    {"n1e6_p05", 1000000, 0.5},  // most draws take the squeeze and Stirling test
    {"n1e6_p0999", 1000000, 0.999},
    {"n1e12_p1em9", 1000000000000, 1e-9},
    {"n1e12_p03", 1000000000000, 0.3},
    {"n1e12_p05", 1000000000000, 0.5},
    {"n1e12_p09", 1000000000000, 0.9},
    {"nmax_p1em9", kMax, 1e-9},
    {"nmax_p03", kMax, 0.3},
    {"nmax_p05", kMax, 0.5},
    {"nmax_p09", kMax, 0.9},
};
INSTANTIATE_TEST_SUITE_P(Cases, BinomialDistribution, ::testing::ValuesIn(kBinomialCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
