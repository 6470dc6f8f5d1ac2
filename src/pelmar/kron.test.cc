#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::Error;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;

StabilizerCHForm fresh(std::size_t n) { return *StabilizerCHForm::create(n); }

std::vector<Amp> unit(std::size_t size, std::size_t at) {
  std::vector<Amp> v(size, 0);
  v[at] = 1;
  return v;
}

TEST(Kron, TheFirstFactorSuppliesTheLowQubits) {
  auto one = fresh(1);
  ASSERT_TRUE(one.apply_x(0).has_value());
  auto a = one.kron(fresh(2));
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->num_qubits(), 3u);
  EXPECT_EQ(a->to_statevector(), unit(8, 1));
  auto b = fresh(2).kron(one);
  ASSERT_TRUE(b.has_value());
  EXPECT_EQ(b->to_statevector(), unit(8, 4));
}

TEST(Kron, PhasesMultiplyAndOmegasAdd) {
  auto a = fresh(1), b = fresh(1);
  ASSERT_TRUE(a.apply_y(0).has_value());  // omega 6
  ASSERT_TRUE(b.apply_y(0).has_value());
  a.set_global_phase(std::polar(1.0, 0.25));
  b.set_global_phase(std::polar(1.0, 0.5));
  auto r = a.kron(b);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->omega(), (a.omega() + b.omega()) % 8);
  EXPECT_EQ(r->global_phase(), a.global_phase() * b.global_phase());
  // Neither operand changed.
  EXPECT_EQ(a.omega(), 6);
  EXPECT_EQ(b.global_phase(), std::polar(1.0, 0.5));
}

TEST(Kron, ZeroQubitFactors) {
  auto scalar = fresh(1);
  ASSERT_TRUE(scalar.apply_y(0).has_value());
  ASSERT_TRUE(scalar.apply_y(0).has_value());  // Y² = I, with the phase bookkeeping run through
  ASSERT_TRUE(scalar.discard(0).has_value());
  auto empty = scalar.kron(scalar);
  ASSERT_FALSE(empty.has_value());
  EXPECT_EQ(empty.error(), Error::invalid_num_qubits(0));
  auto plus = fresh(1);
  ASSERT_TRUE(plus.apply_h(0).has_value());
  for (auto r : {scalar.kron(plus), plus.kron(scalar)}) {
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->num_qubits(), 1u);
    EXPECT_EQ(r->vec_v(), plus.vec_v());
    EXPECT_EQ(r->mat_g(), plus.mat_g());
  }
}

TEST(Kron, BlocksAtNonWordOffsets) {
  // 65 ⊗ 63 and 63 ⊗ 65 qubits: the second block starts inside a word.
  for (auto [n1, n2] : {std::pair<std::size_t, std::size_t>{65, 63}, {63, 65}, {64, 64}, {1, 130}, {130, 1}}) {
    auto a = fresh(n1), b = fresh(n2);
    ASSERT_TRUE(a.apply_h(n1 - 1).has_value());
    if (n1 > 1) {
      ASSERT_TRUE(a.apply_cx(n1 - 1, 0).has_value());
    }
    ASSERT_TRUE(b.apply_x(0).has_value());
    ASSERT_TRUE(b.apply_h(n2 - 1).has_value());
    ASSERT_TRUE(b.apply_s(n2 - 1).has_value());
    auto r = a.kron(b);
    ASSERT_TRUE(r.has_value());
    const std::size_t n = n1 + n2;
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = 0; j < n; ++j) {
        const bool low = i < n1 && j < n1, high = i >= n1 && j >= n1;
        const auto& m1 = a.mat_g();
        const auto& m2 = b.mat_g();
        const bool g = low ? m1.get(i, j) : high ? m2.get(i - n1, j - n1) : false;
        ASSERT_EQ(r->mat_g().get(i, j), g) << n1 << "+" << n2 << " G " << i << "," << j;
        const bool f = low ? a.mat_f().get(i, j) : high ? b.mat_f().get(i - n1, j - n1) : false;
        ASSERT_EQ(r->mat_f().get(i, j), f) << n1 << "+" << n2 << " F " << i << "," << j;
        const bool m = low ? a.mat_m().get(i, j) : high ? b.mat_m().get(i - n1, j - n1) : false;
        ASSERT_EQ(r->mat_m().get(i, j), m) << n1 << "+" << n2 << " M " << i << "," << j;
      }
      const bool lo = i < n1;
      EXPECT_EQ(r->vec_v().get(i), lo ? a.vec_v().get(i) : b.vec_v().get(i - n1));
      EXPECT_EQ(r->vec_s().get(i), lo ? a.vec_s().get(i) : b.vec_s().get(i - n1));
      EXPECT_EQ(r->gamma()[i], lo ? a.gamma()[i] : b.gamma()[i - n1]);
    }
    // Padding stays clear, so whole-word comparisons and popcounts hold.
    EXPECT_EQ(r->vec_v().popcount(), a.vec_v().popcount() + b.vec_v().popcount());
    auto expected = fresh(n);
    ASSERT_TRUE(expected.apply_h(n1 - 1).has_value());
    if (n1 > 1) {
      ASSERT_TRUE(expected.apply_cx(n1 - 1, 0).has_value());
    }
    ASSERT_TRUE(expected.apply_x(n1).has_value());
    ASSERT_TRUE(expected.apply_h(n - 1).has_value());
    ASSERT_TRUE(expected.apply_s(n - 1).has_value());
    EXPECT_LT(std::abs(*expected.inner_product(*r) - Amp(1, 0)), 1e-12);
  }
}

}  // namespace
