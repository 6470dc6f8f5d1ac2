#include <gtest/gtest.h>

#include "kelvra/state/projection.h"
#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::Scalar;
using kelvra::StabilizerDecomposedState;
using pelmar::CliffordGate;
using testing_support::ch_form;
using testing_support::decomposition;
using testing_support::max_abs_diff;

void expect_same(const StabilizerDecomposedState& a, const StabilizerDecomposedState& b) {
  EXPECT_EQ(a.num_qubits(), b.num_qubits());
  EXPECT_EQ(a.terms(), b.terms());
  EXPECT_EQ(a.coefficients(), b.coefficients());
  EXPECT_EQ(a.global_factor(), b.global_factor());
}

class ProjectionOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

// Every qubit, both outcomes: P·ψ against the dense projection, its squared norm, and the branch
// pair used by measurement and sampling against two projected copies.
TEST_P(ProjectionOfCompiledCircuit, MatchesDenseProjection) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  auto state = testing_support::compile(c.circuit).decomposition();
  state.set_global_factor({0.8, -0.6});
  const std::size_t n = state.num_qubits();
  for (std::size_t q = 0; q < n; ++q) {
    const auto branches = kelvra::split_on_qubit(state, q);
    for (const bool outcome : {false, true}) {
      SCOPED_TRACE(testing::Message() << "qubit " << q << " outcome " << outcome);
      auto projected = state;
      ASSERT_TRUE(projected.project_unnormalized(q, outcome).has_value());
      auto dense = c.dense;
      dense.project(q, outcome);
      for (auto& a : dense.amps()) a *= std::complex<double>(0.8, -0.6);
      EXPECT_LT(max_abs_diff(testing_support::vector_of(projected), dense.amps()), 1e-9);
      const auto p = projected.norm_squared();
      ASSERT_TRUE(p.has_value());
      EXPECT_NEAR(*p, dense.norm_squared(), 1e-9);
      expect_same(outcome ? branches.one : branches.zero, projected);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ProjectionOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 30));

TEST(Projection, SuperposedQubitHalvesTheWeight) {
  auto s = decomposition(1, {ch_form(1, {CliffordGate::H(0)})}, {Scalar::make(3, 2)});
  ASSERT_TRUE(s.project_unnormalized(0, true).has_value());
  ASSERT_EQ(s.stabilizer_rank(), 1u);
  EXPECT_EQ(s.coefficients()[0], Scalar::make(3, 3));
  EXPECT_NEAR(*s.norm_squared(), 0.125, 1e-15);
}

TEST(Projection, OtherValueDropsTheTermAndKeepsTheRestInOrder) {
  const auto zero = ch_form(2), one = ch_form(2, {CliffordGate::X(1)}), plus = ch_form(2, {CliffordGate::H(1)});
  auto s = decomposition(2, {one, zero, plus, one, zero},
                         {Scalar::make(1, 0), Scalar::make(2, 0), Scalar::make(5, 1), Scalar::one(), Scalar::zero()});
  ASSERT_TRUE(s.project_unnormalized(1, false).has_value());
  ASSERT_EQ(s.stabilizer_rank(), 3u);
  EXPECT_EQ(s.terms()[0], zero);
  EXPECT_EQ(s.terms()[2], zero);
  EXPECT_EQ(s.coefficients(), (std::vector{Scalar::make(2, 0), Scalar::make(5, 2), Scalar::zero()}));

  ASSERT_TRUE(s.project_unnormalized(0, true).has_value());
  EXPECT_EQ(s.stabilizer_rank(), 0u);
  EXPECT_EQ(s.num_qubits(), 2u);
  EXPECT_EQ(s.norm_squared(), 0.0);
}

TEST(Projection, IndexOutOfRangeLeavesTheStateAlone) {
  auto s = decomposition(3, {ch_form(3, {CliffordGate::H(0)})}, {Scalar::one()});
  const auto before = s;
  const auto r = s.project_unnormalized(3, false);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "Qubit index 3 is out of bounds for 3 qubits.");
  expect_same(s, before);
}

}  // namespace
