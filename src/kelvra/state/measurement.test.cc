#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/chacha_rng.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::ErrorKind;
using kelvra::Scalar;
using kelvra::StabilizerDecomposedState;
using pelmar::CliffordGate;
using testing_support::ch_form;
using testing_support::decomposition;
using testing_support::DenseState;
using testing_support::max_abs_diff;
using testing_support::seed_bytes;

struct DenseMeasurement {
  std::vector<bool> outcomes;
  DenseState after;
};

/// The measurement rule on the dense reference, drawing from a generator keyed like the engine's:
/// one uniform u per qubit in list order; outcome 0 exactly when p0 / (p0 + p1) > u.
DenseMeasurement dense_measure(DenseState d, const std::vector<std::size_t>& qubits, const pelmar::Seed& seed) {
  pelmar::ChaChaRng rng(seed);
  DenseMeasurement out{{}, d};
  for (const std::size_t q : qubits) {
    DenseState d0 = out.after, d1 = out.after;
    d0.project(q, false);
    d1.project(q, true);
    const double p0 = d0.norm_squared(), p1 = d1.norm_squared();
    const double u = rng.uniform();
    const bool one = !(p0 / (p0 + p1) > u);
    out.after = one ? d1 : d0;
    for (auto& a : out.after.amps()) a /= std::sqrt(one ? p1 : p0);
    out.outcomes.push_back(one);
  }
  return out;
}

class MeasurementOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(MeasurementOfCompiledCircuit, FollowsTheDrawRuleAndCollapses) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  std::mt19937_64 pick(GetParam());
  std::vector<std::size_t> qubits(c.dense.num_qubits());
  std::iota(qubits.begin(), qubits.end(), std::size_t{0});
  std::shuffle(qubits.begin(), qubits.end(), pick);
  qubits.resize(std::uniform_int_distribution<std::size_t>(1, qubits.size())(pick));

  for (std::uint64_t k = 0; k < 4; ++k) {
    const pelmar::Seed seed = seed_bytes(GetParam() * 16 + k);
    auto state = testing_support::compile(c.circuit).decomposition();
    const auto outcomes = state.measure(qubits, seed);
    ASSERT_TRUE(outcomes.has_value()) << outcomes.error().message();
    const DenseMeasurement expected = dense_measure(c.dense, qubits, seed);
    EXPECT_EQ(*outcomes, expected.outcomes);
    EXPECT_LT(max_abs_diff(testing_support::vector_of(state), expected.after.amps()), 1e-9);
    EXPECT_NEAR(*state.norm_squared(), 1.0, 1e-9);
  }
}

TEST_P(MeasurementOfCompiledCircuit, MeasureAllIsMeasureOfEveryQubitInOrder) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  const pelmar::Seed seed = seed_bytes(GetParam());
  auto a = testing_support::compile(c.circuit).decomposition();
  auto b = a;
  std::vector<std::size_t> all(a.num_qubits());
  std::iota(all.begin(), all.end(), std::size_t{0});
  const auto ra = a.measure_all(seed);
  const auto rb = b.measure(all, seed);
  ASSERT_TRUE(ra.has_value());
  EXPECT_EQ(ra, rb);
  EXPECT_EQ(a.terms(), b.terms());
  EXPECT_EQ(a.coefficients(), b.coefficients());
  EXPECT_EQ(a.global_factor(), b.global_factor());
  EXPECT_EQ(*ra, dense_measure(c.dense, all, seed).outcomes);
}

INSTANTIATE_TEST_SUITE_P(Seeds, MeasurementOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 30));

TEST(Measurement, ZeroStateMeasuresZeroAndStaysAsItWas) {
  const auto before = decomposition(2, {ch_form(2)}, {Scalar::one()});
  for (std::uint64_t k = 0; k < 8; ++k) {
    auto s = before;
    EXPECT_EQ(s.measure(std::vector<std::size_t>{0}, seed_bytes(k)), std::vector<bool>{false});
    EXPECT_EQ(s.terms(), before.terms());
    EXPECT_EQ(s.coefficients(), before.coefficients());
    EXPECT_EQ(s.global_factor(), std::complex<double>(1.0, 0.0));
  }
}

TEST(Measurement, CertainOutcomesStillConsumeADraw) {
  // Qubit 0 is certainly 1, qubit 1 is |+⟩: the outcome of qubit 1 comes from the second draw.
  for (std::uint64_t k = 0; k < 16; ++k) {
    auto s = decomposition(2, {ch_form(2, {CliffordGate::X(0), CliffordGate::H(1)})}, {Scalar::one()});
    pelmar::ChaChaRng rng(seed_bytes(k));
    rng.uniform();
    const bool second = !(0.5 > rng.uniform());
    EXPECT_EQ(s.measure(std::vector<std::size_t>{0, 1}, seed_bytes(k)), (std::vector<bool>{true, second}));
  }
}

TEST(Measurement, GlobalFactorDoesNotChangeOutcomesOrTheNormalisedState) {
  const auto c = testing_support::seeded_case(7);
  auto a = testing_support::compile(c.circuit).decomposition();
  auto b = a;
  b.set_global_factor({2.0, 0.0});
  std::vector<std::size_t> all(a.num_qubits());
  std::iota(all.begin(), all.end(), std::size_t{0});
  const auto ra = a.measure(all, seed_bytes(99));
  const auto rb = b.measure(all, seed_bytes(99));
  ASSERT_TRUE(ra.has_value());
  EXPECT_EQ(ra, rb);
  EXPECT_LT(max_abs_diff(testing_support::vector_of(a), testing_support::vector_of(b)), 1e-12);
}

struct BadList {
  const char* name;
  std::vector<std::size_t> qubits;
  ErrorKind kind;
  const char* message;
};

class MeasurementRefusesList : public ::testing::TestWithParam<BadList> {};

TEST_P(MeasurementRefusesList, BeforeAnyChange) {
  auto s = decomposition(3, {ch_form(3, {CliffordGate::H(0)})}, {Scalar::one()});
  const auto before = s;
  const auto r = s.measure(GetParam().qubits, seed_bytes(1));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, GetParam().kind);
  EXPECT_EQ(r.error().message(), GetParam().message);
  EXPECT_EQ(s.terms(), before.terms());
  EXPECT_EQ(s.coefficients(), before.coefficients());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MeasurementRefusesList,
    ::testing::Values(BadList{"empty", {}, ErrorKind::EmptyQubitIndices, "Qubit index list is empty."},
                      BadList{"duplicate", {1, 1}, ErrorKind::DuplicateQubitIndex, "Duplicate qubit index found: 1."},
                      BadList{"out_of_range", {0, 5}, ErrorKind::QubitIndexOutOfBounds,
                              "Qubit index 5 is out of bounds for 3 qubits."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Measurement, MeasureAllOfNoQubitsIsAnEmptyList) {
  auto s = decomposition(0, {}, {});
  const auto r = s.measure_all(seed_bytes(0));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::EmptyQubitIndices);
}

TEST(Measurement, ZeroNormStateIsRefused) {
  auto s = decomposition(1, {ch_form(1)}, {Scalar::one()});
  ASSERT_TRUE(s.project_unnormalized(0, true).has_value());
  ASSERT_EQ(s.stabilizer_rank(), 0u);
  const auto r = s.measure(std::vector<std::size_t>{0}, seed_bytes(3));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "Not implemented: Measurement on a zero-norm state is not possible.");
}

}  // namespace
