#include "pelmar/chacha_rng.h"

#include <sys/random.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <limits>
#include <system_error>

namespace pelmar {

namespace detail {

namespace {
constexpr void quarter_round(std::array<std::uint32_t, 16>& x, int a, int b, int c, int d) {
  x[a] += x[b], x[d] = std::rotl(x[d] ^ x[a], 16);
  x[c] += x[d], x[b] = std::rotl(x[b] ^ x[c], 12);
  x[a] += x[b], x[d] = std::rotl(x[d] ^ x[a], 8);
  x[c] += x[d], x[b] = std::rotl(x[b] ^ x[c], 7);
}
}  // namespace

std::array<std::uint32_t, 16> chacha_block(const std::array<std::uint32_t, 16>& input, int rounds) {
  std::array<std::uint32_t, 16> x = input;
  for (int i = 0; i < rounds; i += 2) {
    // Column round, then diagonal round.
    quarter_round(x, 0, 4, 8, 12);
    quarter_round(x, 1, 5, 9, 13);
    quarter_round(x, 2, 6, 10, 14);
    quarter_round(x, 3, 7, 11, 15);
    quarter_round(x, 0, 5, 10, 15);
    quarter_round(x, 1, 6, 11, 12);
    quarter_round(x, 2, 7, 8, 13);
    quarter_round(x, 3, 4, 9, 14);
  }
  for (int i = 0; i < 16; ++i) x[i] += input[i];
  return x;
}

}  // namespace detail

namespace {

constexpr int kRounds = 12;

Seed entropy_seed() {
  Seed key{};
  std::size_t got = 0;
  while (got < key.size()) {
    const ssize_t r = getrandom(key.data() + got, key.size() - got, 0);
    if (r < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "getrandom");
    }
    got += static_cast<std::size_t>(r);
  }
  return key;
}

// ---- Binomial helpers.

/// log(1 + u) − u with small relative error, also for tiny u where the direct difference would
/// cancel: the alternating series −u²/2 + u³/3 − … for |u| < 1/16 (20 terms reach 2^−80).
double log1p_minus(double u) {
  if (std::fabs(u) >= 0.0625) return std::log1p(u) - u;
  double acc = 0.0;
  for (int j = 21; j >= 2; --j) acc = ((j % 2) ? 1.0 : -1.0) / j + u * acc;
  return u * u * acc;
}

/// The Stirling-series remainder of ln Γ(z): 1/(12z) − 1/(360z³) + 1/(1260z⁵) − 1/(1680z⁷) +
/// 1/(1188z⁹).
double stirling_tail(double z) {
  const double z2 = z * z;
  return (1.0 / 12 - (1.0 / 360 - (1.0 / 1260 - (1.0 / 1680 - 1.0 / (1188 * z2)) / z2) / z2) / z2) / z;
}

/// Binomial(n, r) by inversion of the distribution function from 0 upwards; for n·r < 10 the
/// expected number of steps is below 11. A run that passes 110 (probability below 1e-70) or n,
/// which only rounding can cause, restarts with a fresh uniform number.
std::uint64_t binomial_inversion(ChaChaRng& rng, std::uint64_t n, double r) {
  const double q = 1.0 - r;
  const double s = r / q;
  const double f0 = std::exp(static_cast<double>(n) * std::log1p(-r));  // q^n
  const std::uint64_t bound = std::min<std::uint64_t>(n, 110);
  for (;;) {
    double u = rng.uniform();
    double f = f0;
    std::uint64_t x = 0;
    for (;;) {
      if (u < f) return x;
      u -= f;
      if (x == bound) break;
      ++x;
      // P(x) / P(x − 1) = (n − x + 1)/x · r/q, with n − x + 1 formed exactly in integers.
      f *= s * (static_cast<double>(n - x + 1) / static_cast<double>(x));
    }
  }
}

/// Binomial(n, r) for r ≤ 1/2 and n·r ≥ 10 by BTPE (Kachitvichyanukul & Schmeiser, "Binomial
/// random variate generation", CACM 31(2), 1988): a triangle/parallelogram/exponential-tails hat
/// over the distribution, sampled by two uniform numbers per trial, with a squeeze and an exact
/// acceptance test.
///
/// Everything is computed relative to the mode M = ⌊(n + 1)·r⌋, which is formed exactly in
/// 128-bit integers together with its fraction δ = (n + 1)·r − M. The sample is the integer
/// offset k = y − M, and every quantity the acceptance test needs is written in k and in exact
/// integer differences (n − y, n − M), so that for n near 2^64 nothing is lost to the 11 bits a
/// double cannot hold, and the cancelling terms of the Stirling comparison are summed as their
/// small differences.
std::uint64_t binomial_btpe(ChaChaRng& rng, std::uint64_t n, double r) {
  const double q = 1.0 - r;
  const double nd = static_cast<double>(n);
  const double nrq = nd * r * q;

  // r = mr · 2^e exactly with mr a 53-bit integer; n·r ≥ 10 and r ≤ 1/2 bound the shift to
  // [54, 113], and (n + 1)·mr < 2^117 fits in 128 bits.
  int e = 0;
  const double fr = std::frexp(r, &e);
  const auto mr = static_cast<std::uint64_t>(std::ldexp(fr, 53));
  const int shift = 53 - e;
  const unsigned __int128 prod = (static_cast<unsigned __int128>(n) + 1) * mr;
  const auto M = static_cast<std::uint64_t>(prod >> shift);  // ≤ (n + 1)/2 ≤ n
  const unsigned __int128 frac_bits = prod & ((static_cast<unsigned __int128>(1) << shift) - 1);
  const double delta = std::min(std::ldexp(static_cast<double>(frac_bits), -shift), 1.0);
  const double Md = static_cast<double>(M);
  const double n_minus_M = static_cast<double>(n - M);

  // The hat, with abscissae as offsets from M (the paper's xm = M + 1/2, xl = xm − p1,
  // xr = xm + p1, fm = M + δ).
  const double p1 = std::floor(2.195 * std::sqrt(nrq) - 4.6 * q) + 0.5;
  const double xl = 0.5 - p1;
  const double xr = 0.5 + p1;
  const double c = 0.134 + 20.5 / (15.3 + Md);
  double a = (delta - xl) / (Md * q + delta - xl * r);  // (fm − xl)/(fm − xl·r)
  const double lam_l = a * (1.0 + 0.5 * a);
  a = (xr - delta) / ((Md + xr) * q);  // (xr − fm)/(xr·q)
  const double lam_r = a * (1.0 + 0.5 * a);
  const double p2 = p1 * (1.0 + 2.0 * c);
  const double p3 = p2 + c / lam_l;
  const double p4 = p3 + c / lam_r;
  const double s = r / q;

  for (;;) {
    const double u = rng.uniform() * p4;
    double v = rng.uniform();
    double j;  // y − M, an integer-valued double
    bool accept = false;
    if (u <= p1) {
      // Triangle: always accepted.
      j = std::floor(0.5 - p1 * v + u);
      accept = true;
    } else if (u <= p2) {
      // Parallelogram.
      const double x = xl + (u - p1) / c;
      v = v * c + 1.0 - std::fabs(0.5 - x) / p1;
      if (v > 1.0) continue;
      j = std::floor(x);
    } else if (u <= p3) {
      // Left exponential tail.
      if (v == 0.0) continue;
      j = std::floor(xl + std::log(v) / lam_l);
      if (j < -Md) continue;  // y < 0
      v *= (u - p2) * lam_l;
    } else {
      // Right exponential tail.
      if (v == 0.0) continue;
      j = std::floor(xr - std::log(v) / lam_r);
      if (j > n_minus_M) continue;  // y > n
      v *= (u - p3) * lam_r;
    }
    // Offsets are bounded by a few dozen hat widths (|j| < 2^40); anything beyond carries no
    // probability a double can hold and is rejected, which keeps the conversion defined.
    if (!(std::fabs(j) < 0x1p62)) continue;
    const auto k = static_cast<std::int64_t>(j);
    const std::uint64_t y = M + static_cast<std::uint64_t>(k);  // modular: k may be negative

    if (!accept && v > 0.0) {
      const double kabs = std::fabs(j);
      if (kabs <= 20.0 || kabs >= nrq / 2.0 - 1.0) {
        // f(y)/f(M) as the product of successive ratios P(i)/P(i − 1) = (n − i + 1)/i · r/q.
        // The partial products only fall (every ratio above the mode is ≤ 1, every one below it
        // ≥ 1), so the walk stops as soon as it drops below v.
        double f = 1.0;
        if (k > 0) {
          for (std::uint64_t i = M + 1; i <= y && f >= v; ++i)
            f *= s * (static_cast<double>(n - i + 1) / static_cast<double>(i));
        } else {
          for (std::uint64_t i = y + 1; i <= M && f >= v; ++i)
            f /= s * (static_cast<double>(n - i + 1) / static_cast<double>(i));
        }
        accept = v <= f;
      } else {
        // Squeeze on log(f(y)/f(M)) around −k²/(2·n·r·q).
        const double rho = (kabs / nrq) * ((kabs * (kabs / 3.0 + 0.625) + 1.0 / 6.0) / nrq + 0.5);
        const double t = -kabs * kabs / (2.0 * nrq);
        const double A = std::log(v);
        if (A < t - rho) {
          accept = true;
        } else if (A <= t + rho) {
          // Exact test: by Stirling's series,
          //   log f(y)/f(M) = (M + ½)·log(f1/x1) + (n − M + ½)·log(z/w) + k·log(w·r/(x1·q))
          //                   + σ(f1) − σ(x1) + σ(z) − σ(w),
          // with x1 = y + 1, f1 = M + 1, z = n − M + 1, w = n − y + 1. Writing
          // log(1 + t) = t + (log(1 + t) − t), the linear parts of the first two terms add up
          // to k·((k − ½)/w + (k + ½)/x1), and w·r − x1·q = δ − k − q.
          const double x1 = static_cast<double>(y) + 1.0;
          const double f1 = Md + 1.0;
          const double z = n_minus_M + 1.0;
          const double w = static_cast<double>(n - y) + 1.0;
          const double bound = j * ((j - 0.5) / w + (j + 0.5) / x1) + (Md + 0.5) * log1p_minus(-j / x1) +
                               (n_minus_M + 0.5) * log1p_minus(j / w) +
                               j * std::log1p((delta - j - q) / (x1 * q)) + stirling_tail(f1) -
                               stirling_tail(x1) + stirling_tail(z) - stirling_tail(w);
          accept = A <= bound;
        }
      }
    } else {
      accept = true;  // triangle, or a parallelogram point with v ≤ 0 (below every f)
    }
    if (accept) return std::min(y, n);
  }
}

}  // namespace

ChaChaRng::ChaChaRng(const Seed& key) {
  // "expand 32-byte k"
  state_[0] = 0x61707865;
  state_[1] = 0x3320646e;
  state_[2] = 0x79622d32;
  state_[3] = 0x6b206574;
  for (int i = 0; i < 8; ++i)
    state_[4 + i] = static_cast<std::uint32_t>(key[4 * i]) | static_cast<std::uint32_t>(key[4 * i + 1]) << 8 |
                    static_cast<std::uint32_t>(key[4 * i + 2]) << 16 |
                    static_cast<std::uint32_t>(key[4 * i + 3]) << 24;
  // Words 12–13: the 64-bit block counter, low word first; words 14–15: the 64-bit nonce, 0.
}

ChaChaRng ChaChaRng::from_seed(const std::optional<Seed>& seed) {
  return ChaChaRng(seed ? *seed : entropy_seed());
}

void ChaChaRng::refill() {
  block_ = detail::chacha_block(state_, kRounds);
  if (++state_[12] == 0) ++state_[13];
  next_ = 0;
}

std::uint32_t ChaChaRng::next_u32() {
  if (next_ == 16) refill();
  return block_[next_++];
}

bool ChaChaRng::bit() { return (next_u32() >> 31) != 0; }

double ChaChaRng::uniform() {
  const std::uint64_t lo = next_u32();
  const std::uint64_t hi = next_u32();
  return static_cast<double>(((hi << 32) | lo) >> 11) * 0x1p-53;
}

std::expected<std::uint64_t, BinomialError> ChaChaRng::binomial(std::uint64_t n, double p) {
  if (std::isnan(p) || p < 0.0) return std::unexpected(BinomialError::ProbabilityBelowZeroOrNaN);
  if (p > 1.0) return std::unexpected(BinomialError::ProbabilityAboveOne);
  if (n == 0 || p == 0.0) return 0;
  if (p == 1.0) return n;
  // Bin(n, p) = n − Bin(n, 1 − p); 1 − p is exact for p ≥ 1/2.
  const bool flip = p > 0.5;
  const double r = flip ? 1.0 - p : p;
  const std::uint64_t x =
      static_cast<double>(n) * r < 10.0 ? binomial_inversion(*this, n, r) : binomial_btpe(*this, n, r);
  return flip ? n - x : x;
}

}  // namespace pelmar
