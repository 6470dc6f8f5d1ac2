#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <limits>
#include <new>
#include <vector>

#include "kelvra/state/dense_sum.test.h"
#include "kelvra/state/magic_states/magic_states.h"
#include "testing/dense_state.h"

namespace kelvra {
namespace {

using C = std::complex<double>;

/// 2^(−k/2) · e^(iπ|x|/4) at every index x.
std::vector<C> t_tensor_vector(std::size_t k) {
  std::vector<C> v(std::size_t{1} << k);
  const double m = std::exp2(-static_cast<double>(k) / 2);
  for (std::size_t x = 0; x < v.size(); ++x) v[x] = m * std::polar(1.0, std::popcount(x) * M_PI / 4);
  return v;
}

class TTensorState : public ::testing::TestWithParam<std::size_t> {};

TEST_P(TTensorState, IsTheExactTensorPowerBuiltFromTheCatState) {
  const std::size_t k = GetParam();
  auto s = construct_t_tensor_state(k);
  ASSERT_TRUE(s) << s.error().message();
  const auto cat = construct_cat_state(k);
  const std::size_t m = cat->stabilizer_rank();
  ASSERT_EQ(s->stabilizer_rank(), 2 * m);
  EXPECT_EQ(s->stabilizer_rank(), t_tensor_state_rank(k));
  EXPECT_EQ(s->num_qubits(), k);
  EXPECT_EQ(s->global_factor(), C(1, 0));
  // First the cat terms with c/√2, then X_0 S_0 copies with c/√2 · e^(−iπ/4), in the cat's order.
  for (std::size_t i = 0; i < m; ++i) {
    EXPECT_EQ(s->terms()[i], cat->terms()[i]);
    EXPECT_EQ(s->coefficients()[i], cat->coefficients()[i].times_inv_sqrt2());
    EXPECT_EQ(s->coefficients()[m + i], cat->coefficients()[i].times_inv_sqrt2().times_exp_minus_i_pi_4());
    pelmar::StabilizerCHForm odd = cat->terms()[i];
    ASSERT_TRUE(odd.apply_x(0));
    ASSERT_TRUE(odd.apply_s(0));
    EXPECT_EQ(s->terms()[m + i], odd);
  }
  EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(*s), t_tensor_vector(k)), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Sizes, TTensorState, ::testing::Range<std::size_t>(1, 12));

TEST(TTensorState, OneQubit) {
  auto s = construct_t_tensor_state(1);
  ASSERT_TRUE(s);
  ASSERT_EQ(s->stabilizer_rank(), 2u);
  EXPECT_EQ(s->coefficients(), (std::vector<Scalar>{Scalar::make(0, 1), Scalar::make(7, 1)}));
  const double h = std::sqrt(0.5);
  EXPECT_LT(testing_support::max_abs_diff(s->terms()[0].to_statevector(), std::vector<C>{1, 0}), 1e-15);
  EXPECT_LT(testing_support::max_abs_diff(s->terms()[1].to_statevector(), std::vector<C>{0, {0, 1}}), 1e-15);
  EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(*s), std::vector<C>{h, {0.5, 0.5}}), 1e-15);
}

TEST(TTensorState, ZeroQubitsIsRefused) {
  auto s = construct_t_tensor_state(0);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), Error::invalid_num_qubits(0));
}

TEST(TTensorStateRank, FollowsTheCatRecursion) {
  const std::size_t expected[] = {0, 2, 2, 4, 4, 6, 6, 12, 12, 18, 18, 36, 36, 54, 54, 108};
  for (std::size_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(t_tensor_state_rank(k), expected[k]) << k;
  // 2·3^((k−4)/4)·2 for k ≡ 0 mod 4: k = 100 gives 4·3^24.
  EXPECT_EQ(t_tensor_state_rank(100), std::size_t{4} * 282429536481ull);
}

TEST(TTensorStateRank, UnrepresentableCountsThrow) {
  EXPECT_THROW((void)t_tensor_state_rank(200), std::bad_alloc);
  EXPECT_THROW((void)t_tensor_state_rank(std::numeric_limits<std::size_t>::max()), std::bad_alloc);
  EXPECT_THROW((void)construct_cat_state(std::numeric_limits<std::size_t>::max()), std::bad_alloc);
}

}  // namespace
}  // namespace kelvra
