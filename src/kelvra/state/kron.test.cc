#include <gtest/gtest.h>

#include <vector>

#include "kelvra/state/dense_sum.test.h"
#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/dense_state.h"

namespace kelvra {
namespace {

using pelmar::StabilizerCHForm;

/// |x⟩ on n qubits for the bit pattern x.
StabilizerCHForm basis(std::size_t n, std::size_t x) {
  StabilizerCHForm f = *StabilizerCHForm::create(n);
  for (std::size_t q = 0; q < n; ++q)
    if ((x >> q) & 1) (void)f.apply_x(q);
  return f;
}

TEST(DecomposedKron, TermsAreLeftMajorWithMultipliedCoefficients) {
  // Basis-state terms make every product term identifiable by its one non-zero amplitude.
  const StabilizerDecomposedState a({basis(1, 0), basis(1, 1)}, {Scalar::make(1, 1), Scalar::make(2, -1)}, 1);
  const StabilizerDecomposedState b({basis(2, 1), basis(2, 2), basis(2, 3)},
                                    {Scalar::make(3, 0), Scalar::zero(), Scalar::make(7, 2)}, 2);
  auto c = a.kron(b);
  ASSERT_TRUE(c);
  ASSERT_EQ(c->stabilizer_rank(), 6u);
  EXPECT_EQ(c->num_qubits(), 3u);
  EXPECT_EQ(c->global_factor(), std::complex<double>(1, 0));
  for (std::size_t i = 0; i < 2; ++i) {
    for (std::size_t j = 0; j < 3; ++j) {
      const std::size_t k = i * 3 + j;
      EXPECT_EQ(c->coefficients()[k], a.coefficients()[i] * b.coefficients()[j]) << k;
      // a's qubit is the low qubit of the product.
      const auto v = c->terms()[k].to_statevector();
      EXPECT_NEAR(std::abs(v[i + 2 * (j + 1)]), 1.0, 1e-12) << k;
    }
  }
  EXPECT_TRUE(c->coefficients()[1].is_zero());
  EXPECT_TRUE(c->coefficients()[4].is_zero());
}

TEST(DecomposedKron, StateVectorIsTheTensorProduct) {
  StabilizerCHForm p = *StabilizerCHForm::create(2);
  (void)p.apply_h(0);
  (void)p.apply_cx(0, 1);
  (void)p.apply_s(1);
  StabilizerCHForm q = *StabilizerCHForm::create(2);
  (void)q.apply_h(1);
  StabilizerCHForm r = *StabilizerCHForm::create(1);
  (void)r.apply_h(0);
  (void)r.apply_s(0);
  const StabilizerDecomposedState a({p, q}, {Scalar::make(5, 1), Scalar::make(2, 3)}, 2);
  const StabilizerDecomposedState b({r, basis(1, 1)}, {Scalar::make(0, 0), Scalar::make(3, 1)}, 1);
  auto c = a.kron(b);
  ASSERT_TRUE(c);
  const testing_support::DenseState expected =
      testing_support::DenseState(test::dense_sum(a)).kron(testing_support::DenseState(test::dense_sum(b)));
  EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(*c), expected.amps()), 1e-12);
}

TEST(DecomposedKron, EmptyOperandGivesEmptyProduct) {
  const StabilizerDecomposedState a({}, {}, 2);
  const StabilizerDecomposedState b({basis(1, 0)}, {Scalar::one()}, 1);
  auto c = a.kron(b);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->stabilizer_rank(), 0u);
  EXPECT_EQ(c->num_qubits(), 3u);
}

}  // namespace
}  // namespace kelvra
