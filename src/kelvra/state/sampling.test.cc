#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/chacha_rng.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::ErrorKind;
using kelvra::SampleResult;
using kelvra::Scalar;
using kelvra::StabilizerDecomposedState;
using pelmar::CliffordGate;
using testing_support::ch_form;
using testing_support::decomposition;
using testing_support::DenseState;
using testing_support::seed_bytes;

using Work = std::vector<std::pair<std::size_t, std::size_t>>;

/// The shot-splitting recursion written out on the dense reference. Each branch point also carries
/// the decomposition's own projections: the dense probability must agree with it to rounding, and
/// the draw uses the decomposition's value, since a binomial draw may change completely when its
/// probability moves by one unit in the last place (0.5 against 0.5000000000000001).
void reference_sample(StabilizerDecomposedState s, DenseState d, const Work& work, std::size_t index,
                      std::uint64_t shots, std::vector<bool> outcome, SampleResult& tally, pelmar::ChaChaRng& rng) {
  if (shots == 0) return;
  if (index == work.size()) {
    tally.emplace_back(outcome, shots);
    return;
  }
  const auto [q, j] = work[index];
  DenseState d0 = d, d1 = d;
  d0.project(q, false);
  d1.project(q, true);
  StabilizerDecomposedState s0 = s, s1 = s;
  ASSERT_TRUE(s0.project_unnormalized(q, false).has_value());
  ASSERT_TRUE(s1.project_unnormalized(q, true).has_value());
  const double p0 = *s0.norm_squared(), p1 = *s1.norm_squared();
  const double p = std::clamp(p0 / (p0 + p1), 0.0, 1.0);
  ASSERT_NEAR(p, d0.norm_squared() / (d0.norm_squared() + d1.norm_squared()), 1e-9);
  const std::uint64_t zeros = rng.binomial(shots, p).value();
  if (zeros > 0) {
    d0.discard(q);
    ASSERT_TRUE(s0.discard(q).has_value());
    reference_sample(std::move(s0), d0, work, index + 1, zeros, outcome, tally, rng);
  }
  if (zeros == shots) return;
  d1.x(q);
  d1.discard(q);
  ASSERT_TRUE(s1.apply_x(q).has_value());
  ASSERT_TRUE(s1.discard(q).has_value());
  outcome[j] = true;
  reference_sample(std::move(s1), d1, work, index + 1, shots - zeros, outcome, tally, rng);
}

SampleResult reference_sample(const StabilizerDecomposedState& s, const DenseState& d,
                              const std::vector<std::size_t>& qubits, std::uint64_t shots, const pelmar::Seed& seed) {
  Work work;
  for (std::size_t j = 0; j < qubits.size(); ++j) work.emplace_back(qubits[j], j);
  std::stable_sort(work.begin(), work.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  pelmar::ChaChaRng rng(seed);
  SampleResult tally;
  reference_sample(s, d, work, 0, shots, std::vector<bool>(qubits.size()), tally, rng);
  return tally;
}

std::vector<std::size_t> random_qubit_list(std::size_t n, std::mt19937_64& pick) {
  std::vector<std::size_t> qubits(n);
  std::iota(qubits.begin(), qubits.end(), std::size_t{0});
  std::shuffle(qubits.begin(), qubits.end(), pick);
  qubits.resize(std::uniform_int_distribution<std::size_t>(1, n)(pick));
  return qubits;
}

class SamplingOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

// Same tally, same order, same draws as the recursion written out beside the dense reference.
TEST_P(SamplingOfCompiledCircuit, ReplaysTheShotSplitting) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  std::mt19937_64 pick(GetParam());
  const auto qubits = random_qubit_list(c.dense.num_qubits(), pick);
  const auto state = testing_support::compile(c.circuit).decomposition();
  const auto before = state;
  for (const std::uint64_t shots : {1ull, 7ull, 1000ull, 1ull << 40}) {
    const pelmar::Seed seed = seed_bytes(GetParam() + shots);
    const auto r = state.sample(qubits, shots, seed);
    ASSERT_TRUE(r.has_value()) << r.error().message();
    EXPECT_EQ(*r, reference_sample(state, c.dense, qubits, shots, seed)) << "shots " << shots;
  }
  EXPECT_EQ(state.terms(), before.terms());
}

INSTANTIATE_TEST_SUITE_P(Seeds, SamplingOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 30));

/// The 1 − 3·10⁻⁷ quantile of χ² with df degrees of freedom (Wilson–Hilferty).
double chi_squared_bound(double df) {
  const double a = 2.0 / (9.0 * df);
  return df * std::pow(1.0 - a + 5.0 * std::sqrt(a), 3.0);
}

class SamplingStatistics : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(SamplingStatistics, CountsFollowTheExactMarginals) {
  const auto c = testing_support::seeded_case(100 + GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  std::mt19937_64 pick(GetParam());
  const auto qubits = random_qubit_list(c.dense.num_qubits(), pick);
  const std::uint64_t shots = 20000;

  std::map<std::vector<bool>, double> exact;
  const auto& amps = c.dense.amps();
  for (std::size_t b = 0; b < amps.size(); ++b) {
    std::vector<bool> key(qubits.size());
    for (std::size_t j = 0; j < qubits.size(); ++j) key[j] = (b >> qubits[j]) & 1;
    exact[key] += std::norm(amps[b]);
  }
  const auto r = testing_support::compile(c.circuit).decomposition().sample(qubits, shots, seed_bytes(GetParam()));
  ASSERT_TRUE(r.has_value()) << r.error().message();

  std::uint64_t total = 0;
  std::map<std::vector<bool>, std::uint64_t> counts;
  for (const auto& [key, count] : *r) {
    EXPECT_GE(count, 1u);
    EXPECT_TRUE(counts.emplace(key, count).second) << "outcome listed twice";
    total += count;
  }
  EXPECT_EQ(total, shots);

  // Outcomes expected fewer than 5 times are pooled into one cell.
  double chi2 = 0, pooled_expected = 0, pooled_observed = 0;
  std::size_t cells = 0;
  for (const auto& [key, p] : exact) {
    const double observed = counts.contains(key) ? static_cast<double>(counts[key]) : 0.0;
    if (p < 1e-10) {
      EXPECT_EQ(observed, 0.0) << "impossible outcome sampled";
      continue;
    }
    const double expected = p * static_cast<double>(shots);
    if (expected < 5) {
      pooled_expected += expected;
      pooled_observed += observed;
      continue;
    }
    chi2 += (observed - expected) * (observed - expected) / expected;
    ++cells;
  }
  if (pooled_expected > 0) {
    chi2 += (pooled_observed - pooled_expected) * (pooled_observed - pooled_expected) / pooled_expected;
    ++cells;
  }
  if (cells >= 2) {
    EXPECT_LT(chi2, chi_squared_bound(static_cast<double>(cells - 1)));
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SamplingStatistics, ::testing::Range<std::uint64_t>(0, 12));

TEST(Sampling, ZeroShotsGiveNoPairs) {
  const auto s = decomposition(1, {ch_form(1, {CliffordGate::H(0)})}, {Scalar::one()});
  const auto r = s.sample(std::vector<std::size_t>{0}, 0, seed_bytes(0));
  ASSERT_TRUE(r.has_value());
  EXPECT_TRUE(r->empty());
}

TEST(Sampling, OutcomeEntriesFollowTheCallersList) {
  // Qubit 0 is |1⟩, qubit 1 is |0⟩.
  const auto s = decomposition(2, {ch_form(2, {CliffordGate::X(0)})}, {Scalar::one()});
  EXPECT_EQ(s.sample(std::vector<std::size_t>{1, 0}, 50, seed_bytes(1)), (SampleResult{{{false, true}, 50}}));
  EXPECT_EQ(s.sample(std::vector<std::size_t>{0}, 3, std::nullopt), (SampleResult{{{true}, 3}}));
}

TEST(Sampling, DepthFirstFromTheHighestListedQubit) {
  const auto s = decomposition(2, {ch_form(2, {CliffordGate::H(0), CliffordGate::H(1)})}, {Scalar::one()});
  const auto r = s.sample(std::vector<std::size_t>{0, 1}, 1000, seed_bytes(2));
  ASSERT_TRUE(r.has_value());
  // Entry 0 is qubit 0; qubit 1 is split first, outcome 0 before outcome 1.
  const std::vector<std::vector<bool>> order{{false, false}, {true, false}, {false, true}, {true, true}};
  std::uint64_t total = 0;
  std::size_t at = 0;
  for (const auto& [key, count] : *r) {
    while (at < order.size() && order[at] != key) ++at;
    EXPECT_LT(at, order.size()) << "outcome out of depth-first order";
    total += count;
  }
  EXPECT_EQ(total, 1000u);
  EXPECT_EQ(r->size(), 4u);
}

TEST(Sampling, WideKeys) {
  // 40 listed qubits use 64-bit keys, 128 use 128-bit keys; bits above 32 and 64 must survive.
  kelvra::QuantumCircuit circuit(128);
  for (const std::size_t q : {0, 33, 64, 100, 127}) circuit.apply_x(q);
  const auto s = testing_support::compile(circuit).decomposition();

  std::vector<std::size_t> all(128);
  std::iota(all.begin(), all.end(), std::size_t{0});
  std::vector<bool> expected(128, false);
  for (const std::size_t q : {0, 33, 64, 100, 127}) expected[q] = true;
  EXPECT_EQ(s.sample(all, 9, seed_bytes(3)), (SampleResult{{expected, 9}}));

  std::vector<std::size_t> forty(all.begin() + 30, all.begin() + 70);
  std::vector<bool> expected40(40, false);
  expected40[33 - 30] = expected40[64 - 30] = true;
  EXPECT_EQ(s.sample(forty, 9, seed_bytes(3)), (SampleResult{{expected40, 9}}));
}

TEST(Sampling, MoreThan128QubitsAreRefused) {
  const auto s = testing_support::compile(kelvra::QuantumCircuit(129)).decomposition();
  std::vector<std::size_t> all(129);
  std::iota(all.begin(), all.end(), std::size_t{0});
  for (const std::uint64_t shots : {0ull, 10ull}) {
    const auto r = s.sample(all, shots, seed_bytes(4));
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error().kind, ErrorKind::SamplingTooManyQubits);
    EXPECT_EQ(r.error().message(), "Sampling more than 128 qubits is not supported.");
  }
}

TEST(Sampling, ZeroNormStateIsABinomialError) {
  auto s = decomposition(1, {ch_form(1)}, {Scalar::one()});
  ASSERT_TRUE(s.project_unnormalized(0, true).has_value());
  const auto r = s.sample(std::vector<std::size_t>{0}, 10, seed_bytes(5));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::Binomial);
  EXPECT_EQ(r.error().message(), "p < 0 or is NaN in binomial distribution");
}

TEST(Sampling, ListErrorsComeFirst) {
  const auto s = decomposition(3, {ch_form(3)}, {Scalar::one()});
  EXPECT_EQ(s.sample(std::vector<std::size_t>{}, 5, seed_bytes(0)).error().kind, ErrorKind::EmptyQubitIndices);
  EXPECT_EQ(s.sample(std::vector<std::size_t>{2, 2, 3}, 5, seed_bytes(0)).error().message(),
            "Qubit index 3 is out of bounds for 3 qubits.");
  EXPECT_EQ(s.sample(std::vector<std::size_t>{2, 0, 2}, 5, seed_bytes(0)).error().message(),
            "Duplicate qubit index found: 2.");
}

}  // namespace
