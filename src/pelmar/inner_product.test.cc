#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::Error;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;
constexpr double kTol = 1e-12;

StabilizerCHForm fresh(std::size_t n) { return *StabilizerCHForm::create(n); }

CliffordGate random_gate(std::mt19937& rng, std::size_t n) {
  std::uniform_int_distribution<int> kind(0, n >= 2 ? 10 : 7);
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  const auto k = static_cast<CliffordGateKind>(kind(rng));
  const std::size_t a = qubit(rng);
  const std::size_t b = n >= 2 ? (a + 1 + qubit(rng) % (n - 1)) % n : a;
  return {k, a, b};
}

StabilizerCHForm random_form(std::mt19937& rng, std::size_t n, std::size_t gates) {
  auto f = fresh(n);
  for (std::size_t i = 0; i < gates; ++i) EXPECT_TRUE(f.apply_gate(random_gate(rng, n)).has_value());
  return f;
}

TEST(InnerProduct, SmallCases) {
  auto zero = fresh(1), one = fresh(1), plus = fresh(1);
  ASSERT_TRUE(one.apply_x(0).has_value());
  ASSERT_TRUE(plus.apply_h(0).has_value());
  EXPECT_EQ(*zero.inner_product(zero), Amp(1, 0));
  EXPECT_EQ(*zero.inner_product(one), Amp(0, 0));
  EXPECT_LT(std::abs(*plus.inner_product(zero) - std::exp2(-0.5)), kTol);
  EXPECT_LT(std::abs(*fresh(5).inner_product(fresh(5)) - Amp(1, 0)), kTol);
}

TEST(InnerProduct, QubitCountMismatch) {
  auto r = fresh(2).inner_product(fresh(3));
  ASSERT_FALSE(r.has_value());
  // Compared field by field: `operation` is a pointer to text, equal text need not be one pointer.
  EXPECT_EQ(r.error().kind, pelmar::ErrorKind::QubitCountMismatch);
  EXPECT_EQ(r.error().operation, "calculating inner product");
  EXPECT_EQ(r.error().left, 2u);
  EXPECT_EQ(r.error().right, 3u);
  EXPECT_EQ(r.error().message(),
            "The qubit counts of the two states must match for calculating inner product, got 2 and 3.");
}

TEST(InnerProduct, TheBraIsConjugated) {
  // ⟨0|i·1⟩ style: Y|0⟩ = i|1⟩, and ⟨Y0|1⟩ = −i while ⟨1|Y0⟩ = i.
  auto y = fresh(1), one = fresh(1);
  ASSERT_TRUE(y.apply_y(0).has_value());
  ASSERT_TRUE(one.apply_x(0).has_value());
  EXPECT_LT(std::abs(*y.inner_product(one) - Amp(0, -1)), kTol);
  EXPECT_LT(std::abs(*one.inner_product(y) - Amp(0, 1)), kTol);
  // Global phases: conj on the bra side, plain on the ket side.
  auto a = fresh(1), b = fresh(1);
  a.set_global_phase(std::polar(1.0, 0.4));
  b.set_global_phase(std::polar(1.0, 1.1));
  EXPECT_LT(std::abs(*a.inner_product(b) - std::polar(1.0, 0.7)), kTol);
}

TEST(InnerProduct, ZeroQubitFormsNeedNoReduction) {
  auto a = fresh(1), b = fresh(1);
  for (int i = 0; i < 3; ++i) {  // (H S)^3 = e^(iπ/4)·I
    ASSERT_TRUE(b.apply_h(0).has_value());
    ASSERT_TRUE(b.apply_s(0).has_value());
  }
  ASSERT_TRUE(a.discard(0).has_value());
  ASSERT_TRUE(b.discard(0).has_value());
  EXPECT_EQ(*a.inner_product(b), pelmar::eighth_turn(1));
  EXPECT_EQ(*b.inner_product(a), pelmar::eighth_turn(7));
}

TEST(InnerProduct, LeavesBothFormsUnchanged) {
  std::mt19937 rng(3);
  const auto a = random_form(rng, 6, 40), b = random_form(rng, 6, 40);
  auto a2 = a, b2 = b;
  (void)a2.inner_product(b2);
  EXPECT_EQ(a2, a);
  EXPECT_EQ(b2, b);
}

class WideInnerProducts : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WideInnerProducts, AreInvariantUnderACommonClifford) {
  // Wide enough that the reduction record is replayed in several chunks.
  const std::size_t n = GetParam();
  std::mt19937 rng(static_cast<unsigned>(n));
  for (int trial = 0; trial < 3; ++trial) {
    // b shares a's first gates, so the overlap is usually a nonzero power of 2^(−1/2).
    auto a = random_form(rng, n, 8 * n);
    auto b = a;
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(b.apply_gate(random_gate(rng, n)).has_value());
    const Amp before = *a.inner_product(b);
    EXPECT_LT(std::abs(*a.inner_product(a) - Amp(1, 0)), kTol);
    for (int i = 0; i < 3 * static_cast<int>(n); ++i) {
      const CliffordGate g = random_gate(rng, n);
      ASSERT_TRUE(a.apply_gate(g).has_value());
      ASSERT_TRUE(b.apply_gate(g).has_value());
    }
    EXPECT_LT(std::abs(*a.inner_product(b) - before), kTol) << "trial " << trial;
    EXPECT_LT(std::abs(*b.inner_product(a) - std::conj(before)), kTol) << "trial " << trial;
  }
}

TEST_P(WideInnerProducts, WithABasisStateIsTheAmplitude) {
  const std::size_t n = GetParam();
  std::mt19937 rng(static_cast<unsigned>(10 * n));
  const auto f = random_form(rng, n, 4 * n);
  // A basis state on the support of f: project qubit by qubit onto an outcome that is possible.
  for (int trial = 0; trial < 4; ++trial) {
    std::vector<std::uint8_t> bits(n, 0);
    auto collapsed = f;
    auto basis = fresh(n);
    for (std::size_t j = 0; j < n; ++j) {
      const auto st = *collapsed.get_qubit_state(j);
      const bool bit = st == pelmar::QubitState::Superposition ? (rng() & 1) : st == pelmar::QubitState::One;
      ASSERT_TRUE(collapsed.project(j, bit).has_value());
      bits[j] = bit;
      if (bit) {
        ASSERT_TRUE(basis.apply_x(j).has_value());
      }
    }
    const Amp amp = *f.amplitude(bits);
    EXPECT_GT(std::abs(amp), 1e-30);
    EXPECT_LT(std::abs(*basis.inner_product(f) - amp), kTol) << "trial " << trial;
    EXPECT_LT(std::abs(std::abs(*collapsed.inner_product(basis)) - 1), kTol);
    // A neighbouring basis state, often off the support.
    bits[trial] ^= 1;
    ASSERT_TRUE(basis.apply_x(static_cast<std::size_t>(trial)).has_value());
    EXPECT_LT(std::abs(*basis.inner_product(f) - *f.amplitude(bits)), kTol) << "trial " << trial;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WideInnerProducts, ::testing::Values(63, 64, 65, 130),
                         [](const auto& info) { return "n" + std::to_string(info.param); });

}  // namespace
