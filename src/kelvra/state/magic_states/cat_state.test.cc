#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <vector>

#include "kelvra/state/dense_sum.test.h"
#include "kelvra/state/magic_states/magic_states.h"
#include "testing/dense_state.h"

namespace kelvra {
namespace {

using C = std::complex<double>;

/// 2^(−(k−1)/2) · i^(w/2) at every index of even weight w, 0 elsewhere.
std::vector<C> cat_vector(std::size_t k) {
  std::vector<C> v(std::size_t{1} << k);
  const double m = std::exp2(-(static_cast<double>(k) - 1) / 2);
  const C powers[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (std::size_t x = 0; x < v.size(); ++x) {
    const int w = std::popcount(x);
    if (w % 2 == 0) v[x] = m * powers[(w / 2) % 4];
  }
  return v;
}

struct CatCase {
  std::size_t k;
  std::size_t rank;
};

std::ostream& operator<<(std::ostream& os, const CatCase& c) { return os << "k=" << c.k; }

class CatState : public ::testing::TestWithParam<CatCase> {};

TEST_P(CatState, IsTheExactCatVector) {
  const auto& c = GetParam();
  auto s = construct_cat_state(c.k);
  ASSERT_TRUE(s) << s.error().message();
  EXPECT_EQ(s->num_qubits(), c.k);
  EXPECT_EQ(s->stabilizer_rank(), c.rank);
  EXPECT_EQ(s->coefficients().size(), c.rank);
  EXPECT_EQ(s->global_factor(), C(1, 0));
  for (const auto& t : s->terms()) EXPECT_EQ(t.num_qubits(), c.k);
  const auto v = test::dense_sum(*s);
  EXPECT_LT(testing_support::max_abs_diff(v, cat_vector(c.k)), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CatState,
                         ::testing::Values(CatCase{1, 1}, CatCase{2, 1}, CatCase{3, 2}, CatCase{4, 2}, CatCase{5, 3},
                                           CatCase{6, 3}, CatCase{7, 6}, CatCase{8, 6}, CatCase{9, 9},
                                           CatCase{10, 9}, CatCase{11, 18}),
                         [](const auto& info) { return "k" + std::to_string(info.param.k); });

TEST(CatState, ZeroQubitsIsRefused) {
  auto s = construct_cat_state(0);
  ASSERT_FALSE(s);
  EXPECT_EQ(s.error(), Error::invalid_num_qubits(0));
  EXPECT_EQ(s.error().message(), "Number of qubits must be greater than zero, got 0.");
}

TEST(CatState, TwoQubitVector) {
  const auto v = test::dense_sum(construct_cat_2_state());
  const double h = std::sqrt(0.5);
  EXPECT_LT(testing_support::max_abs_diff(v, std::vector<C>{{h, 0}, {0, 0}, {0, 0}, {0, h}}), 1e-15);
}

TEST(CatState, FourAndSixQubitTermOrder) {
  const auto c4 = construct_cat_4_state();
  ASSERT_EQ(c4.stabilizer_rank(), 2u);
  EXPECT_EQ(c4.terms()[0], *zero_minus_i_one_state(4));
  EXPECT_EQ(c4.terms()[1], *even_parity_state(4));
  EXPECT_EQ(c4.coefficients(), (std::vector<Scalar>{Scalar::make(7, 1), Scalar::make(2, 0)}));

  const auto c6 = construct_cat_6_state();
  ASSERT_EQ(c6.stabilizer_rank(), 3u);
  EXPECT_EQ(c6.terms()[0], *zero_minus_i_one_state(6));
  EXPECT_EQ(c6.terms()[1], *even_parity_state(6));
  EXPECT_EQ(c6.coefficients(), (std::vector<Scalar>{Scalar::make(0, 2), Scalar::make(3, 1), Scalar::make(5, 1)}));
  // The third term is the even-parity state with CZ on every pair: sign (−1)^C(w,2).
  std::vector<C> third(64);
  for (std::size_t x = 0; x < third.size(); ++x) {
    const int w = std::popcount(x);
    if (w % 2 == 0) third[x] = ((w * (w - 1) / 2) % 2 ? -1.0 : 1.0) / std::sqrt(32.0);
  }
  EXPECT_LT(testing_support::max_abs_diff(c6.terms()[2].to_statevector(), third), 1e-12);
}

// The odd sizes keep the coefficients of the next even size: only the terms lose their last qubit.
TEST(CatState, OddSizesKeepCoefficients) {
  EXPECT_EQ(construct_cat_state(3)->coefficients(), construct_cat_4_state().coefficients());
  EXPECT_EQ(construct_cat_state(5)->coefficients(), construct_cat_6_state().coefficients());
}

TEST(CatState, ParityAndZeroMinusIOneStates) {
  for (std::size_t k = 2; k <= 6; ++k) {
    const auto ep = even_parity_state(k)->to_statevector();
    const auto zm = zero_minus_i_one_state(k)->to_statevector();
    std::vector<C> ep_expected(std::size_t{1} << k), zm_expected(std::size_t{1} << k);
    for (std::size_t x = 0; x < ep_expected.size(); ++x)
      if (std::popcount(x) % 2 == 0) ep_expected[x] = std::exp2(-(static_cast<double>(k) - 1) / 2);
    zm_expected.front() = std::sqrt(0.5);
    zm_expected.back() = C(0, -std::sqrt(0.5));
    EXPECT_LT(testing_support::max_abs_diff(ep, ep_expected), 1e-12) << k;
    EXPECT_LT(testing_support::max_abs_diff(zm, zm_expected), 1e-12) << k;
  }
  EXPECT_EQ(even_parity_state(0).error(), pelmar::Error::invalid_num_qubits(0));
}

TEST(CatState, ContractionReportsChFormErrors) {
  auto s = construct_cat_state(4);
  ASSERT_TRUE(s);
  const Status r = project_stab_decomp_state_onto_cat_state(*s, 3, 4);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), Error::from_ch_form(pelmar::Error::qubit_index_out_of_bounds(4, 4)));
}

}  // namespace
}  // namespace kelvra
