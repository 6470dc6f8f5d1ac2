#include <gtest/gtest.h>

#include <cmath>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::ErrorKind;
using kelvra::Scalar;
using testing_support::ch_form;
using testing_support::decomposition;

class InnerProductOfCompiledCircuits : public ::testing::TestWithParam<std::uint64_t> {};

// Two different circuits on the same register, each with its own global factor.
TEST_P(InnerProductOfCompiledCircuits, MatchesDenseReference) {
  const auto a = testing_support::seeded_case(GetParam());
  std::mt19937_64 rng(GetParam() + 1000);
  const auto b = testing_support::random_clifford_t_circuit(rng, a.dense.num_qubits(), rng() % 9, 12);
  SCOPED_TRACE(a.circuit.to_string() + " | " + b.circuit.to_string());
  auto sa = testing_support::compile(a.circuit).decomposition();
  auto sb = testing_support::compile(b.circuit).decomposition();
  const std::complex<double> ga{0.5, 1.25}, gb{-2.0, 0.25};
  sa.set_global_factor(ga);
  sb.set_global_factor(gb);

  const auto r = sa.inner_product(sb);
  ASSERT_TRUE(r.has_value()) << r.error().message();
  EXPECT_LT(std::abs(*r - std::conj(ga) * gb * a.dense.inner(b.dense)), 1e-9);

  const auto self = sa.inner_product(sa);
  ASSERT_TRUE(self.has_value());
  EXPECT_NEAR(self->real(), *sa.norm_squared(), 1e-9);
  EXPECT_NEAR(self->imag(), 0.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Seeds, InnerProductOfCompiledCircuits, ::testing::Range<std::uint64_t>(0, 30));

TEST(InnerProduct, QubitCountsMustMatchWhenBothHaveTerms) {
  const auto two = decomposition(2, {ch_form(2)}, {Scalar::one()});
  const auto three = decomposition(3, {ch_form(3)}, {Scalar::one()});
  const auto r = two.inner_product(three);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::ChForm);
  EXPECT_EQ(r.error().message(), "The qubit counts of the two states must match for calculating inner product, got 2 and 3.");

  const auto empty = decomposition(3, {}, {});
  EXPECT_EQ(two.inner_product(empty), std::complex<double>(0.0, 0.0));
  EXPECT_EQ(empty.inner_product(two), std::complex<double>(0.0, 0.0));
}

TEST(InnerProduct, ZeroCoefficientsContributeNothing) {
  using pelmar::CliffordGate;
  const auto a = decomposition(1, {ch_form(1), ch_form(1, {CliffordGate::H(0)})}, {Scalar::zero(), Scalar::make(2, 0)});
  const auto b = decomposition(1, {ch_form(1)}, {Scalar::make(1, 1)});
  // ⟨i·+|e^(iπ/4)/√2·0⟩ = −i · e^(iπ/4) / 2.
  const auto r = a.inner_product(b);
  ASSERT_TRUE(r.has_value());
  EXPECT_LT(std::abs(*r - std::complex<double>(0, -1) * std::polar(0.5, M_PI / 4)), 1e-12);
}

}  // namespace
