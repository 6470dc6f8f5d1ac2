#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::Scalar;
using pelmar::CliffordGate;
using testing_support::Amp;
using testing_support::ch_form;
using testing_support::decomposition;
using testing_support::max_abs_diff;

class StatevectorOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(StatevectorOfCompiledCircuit, MatchesDenseReference) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  const auto state = testing_support::compile(c.circuit);
  const auto v = state.to_statevector();
  ASSERT_TRUE(v.has_value()) << v.error().message();
  EXPECT_LT(max_abs_diff(*v, c.dense.amps()), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Seeds, StatevectorOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 40));

TEST(Statevector, SumsCoefficientsTimesTermsTimesGlobalFactor) {
  // g · (i/√2 · |0⟩ + (1 − i) · |1⟩ + 0 · |+⟩), g = 2i.
  const auto s = decomposition(1, {ch_form(1), ch_form(1, {CliffordGate::X(0)}), ch_form(1, {CliffordGate::H(0)})},
                               {Scalar::make(2, 1), Scalar::make(7, -1), Scalar::zero()}, {0.0, 2.0});
  const Amp g{0.0, 2.0};
  const std::vector<Amp> expected{g * Amp{0.0, 1.0 / std::sqrt(2.0)}, g * Amp{1.0, -1.0}};
  EXPECT_LT(max_abs_diff(testing_support::vector_of(s), expected), 1e-12);
}

TEST(Statevector, ZeroStateOfThreeQubits) {
  const auto v = testing_support::vector_of(testing_support::compile(kelvra::QuantumCircuit(3)).decomposition());
  std::vector<Amp> expected(8, Amp{0.0, 0.0});
  expected[0] = 1.0;
  EXPECT_EQ(v, expected);
}

TEST(Statevector, EmptyTermListIsTheZeroVector) {
  const auto v = testing_support::vector_of(decomposition(2, {}, {}));
  EXPECT_EQ(v, std::vector<Amp>(4, Amp{0.0, 0.0}));
}

TEST(Statevector, RefusesTwentyNineQubits) {
  const auto state = testing_support::compile(kelvra::QuantumCircuit(29));
  const auto v = state.to_statevector();
  ASSERT_FALSE(v.has_value());
  EXPECT_EQ(v.error().kind, kelvra::ErrorKind::StatevectorTooLarge);
  EXPECT_EQ(v.error().message(), "Calculating the statevector for a state with 29 qubits is not feasible.");
}

}  // namespace
