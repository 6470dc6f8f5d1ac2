#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::BitMatrix;
using pelmar::BitVector;
using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::InternalFault;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;
constexpr double kTol = 1e-12;
const double kR = 1 / std::sqrt(2.0);

StabilizerCHForm fresh(std::size_t n) { return *StabilizerCHForm::create(n); }

BitVector bits(std::size_t n, std::vector<std::size_t> ones) {
  BitVector v(n);
  for (auto j : ones) v.set(j, true);
  return v;
}

double max_diff(const std::vector<Amp>& a, const std::vector<Amp>& b) {
  double m = a.size() == b.size() ? 0 : 1e9;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) m = std::max(m, std::abs(a[i] - b[i]));
  return m;
}

// ---- One-qubit Hadamard updates: which row of the settling table each one takes.

TEST(HadamardResolution, FreshQubitBecomesPlusAndBack) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_h(0).has_value());
  EXPECT_EQ(f.vec_s(), bits(1, {}));
  EXPECT_EQ(f.vec_v(), bits(1, {0}));
  EXPECT_EQ(f.omega(), 0);
  EXPECT_LT(max_diff(f.to_statevector(), {kR, kR}), kTol);
  ASSERT_TRUE(f.apply_h(0).has_value());
  EXPECT_EQ(f, fresh(1));
}

TEST(HadamardResolution, OneBecomesMinusWithOmegaBackToZero) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_x(0).has_value());
  ASSERT_TRUE(f.apply_h(0).has_value());
  EXPECT_EQ(f.vec_s(), bits(1, {0}));
  EXPECT_EQ(f.vec_v(), bits(1, {0}));
  EXPECT_EQ(f.omega(), 0);
  EXPECT_LT(max_diff(f.to_statevector(), {kR, -kR}), kTol);
}

TEST(HadamardResolution, AfterSOnZeroUsesARightS) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_s(0).has_value());
  ASSERT_TRUE(f.apply_h(0).has_value());
  EXPECT_EQ(f.vec_s(), bits(1, {0}));
  EXPECT_EQ(f.vec_v(), bits(1, {0}));
  EXPECT_EQ(f.mat_m(), BitMatrix(1));
  EXPECT_EQ(f.gamma(), std::vector<std::uint8_t>{4});
  EXPECT_LT(max_diff(f.to_statevector(), {kR, kR}), kTol);
}

TEST(HadamardResolution, AfterSOnPlusGivesEqualVectors) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_h(0).has_value());
  ASSERT_TRUE(f.apply_s(0).has_value());
  ASSERT_TRUE(f.apply_h(0).has_value());
  EXPECT_EQ(f.vec_s(), bits(1, {0}));
  EXPECT_EQ(f.omega(), 1);
  const Amp e = std::polar(1.0, M_PI / 4);
  EXPECT_LT(max_diff(f.to_statevector(), {e * kR, e * Amp(0, -kR)}), kTol);
}

// ---- Pivot choice and the order of the right multiplications.

/// The right multiplications the resolution performs, applied one by one through the public
/// primitives: the reference for the batched row-wise update.
StabilizerCHForm sequential_reference(StabilizerCHForm f, const BitVector& a, const BitVector& b, std::uint8_t delta) {
  const std::size_t n = f.num_qubits();
  std::vector<std::size_t> free_diff, h_diff;
  for (std::size_t j = 0; j < n; ++j)
    if (a.get(j) != b.get(j)) (f.vec_v().get(j) ? h_diff : free_diff).push_back(j);
  std::size_t q;
  if (!free_diff.empty()) {
    q = free_diff[0];
    for (std::size_t i = 1; i < free_diff.size(); ++i) EXPECT_TRUE(f.right_multiply_cx(q, free_diff[i]).has_value());
    for (auto k : h_diff) EXPECT_TRUE(f.right_multiply_cz(q, k).has_value());
  } else {
    q = h_diff[0];
    for (std::size_t i = 1; i < h_diff.size(); ++i) EXPECT_TRUE(f.right_multiply_cx(h_diff[i], q).has_value());
  }
  if (delta == 2 || delta == 6) {
    EXPECT_TRUE(f.right_multiply_s(q).has_value());
  }
  return f;
}

TEST(Pivot, LowerHadamardFreePositionWithOneCxAndOneCz) {
  auto f = fresh(3);
  ASSERT_TRUE(f.apply_h(1).has_value());  // v = [0, 1, 0]
  // A tableau that is not the identity; left multiplications by these leave v alone.
  for (auto g : {CliffordGate::CX(0, 2), CliffordGate::CZ(0, 1), CliffordGate::S(2), CliffordGate::CX(1, 0)})
    ASSERT_TRUE(f.apply_gate(g).has_value());
  ASSERT_EQ(f.vec_v(), bits(3, {1}));
  const BitVector a = bits(3, {}), b = bits(3, {0, 1, 2});
  auto expected = f;
  ASSERT_TRUE(expected.right_multiply_cx(0, 2).has_value());
  ASSERT_TRUE(expected.right_multiply_cz(0, 1).has_value());
  ASSERT_TRUE(f._resolve_superposition(a, b, 0).has_value());
  EXPECT_EQ(f.mat_g(), expected.mat_g());
  EXPECT_EQ(f.mat_f(), expected.mat_f());
  EXPECT_EQ(f.mat_m(), expected.mat_m());
  EXPECT_EQ(f.gamma(), expected.gamma());
  EXPECT_EQ(f.vec_s(), bits(3, {}));
  EXPECT_EQ(f.vec_v(), bits(3, {0, 1}));
}

struct WideCase {
  std::size_t n;
  unsigned seed;
};

class BatchedRightMultiplications : public ::testing::TestWithParam<WideCase> {};

TEST_P(BatchedRightMultiplications, EqualTheGateByGateUpdate) {
  const auto [n, seed] = GetParam();
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> kind(0, 10);
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  for (int trial = 0; trial < 12; ++trial) {
    auto f = fresh(n);
    for (std::size_t i = 0; i < 6 * n; ++i) {
      const auto k = static_cast<CliffordGateKind>(kind(rng));
      const std::size_t x = qubit(rng);
      std::size_t y = (x + 1 + qubit(rng) % (n - 1)) % n;
      ASSERT_TRUE(f.apply_gate({k, x, y}).has_value());
    }
    // Dense, sparse and Hadamard-only differences.
    BitVector a(n), b(n);
    const int mode = trial % 3;
    for (std::size_t j = 0; j < n; ++j) {
      a.set(j, rng() & 1);
      const bool differ = mode == 0 ? (rng() & 1) : mode == 1 ? (rng() % 16 == 0) : f.vec_v().get(j) && (rng() & 1);
      b.set(j, a.get(j) != differ);
    }
    if (a == b) b.flip(f.vec_v().get(n - 1) || mode != 2 ? n - 1 : 0);
    if (a == b) continue;
    const auto delta = static_cast<std::uint8_t>(2 * (trial % 4));
    const auto expected = sequential_reference(f, a, b, delta);
    ASSERT_TRUE(f._resolve_superposition(a, b, delta).has_value());
    ASSERT_EQ(f.mat_g(), expected.mat_g()) << "trial " << trial;
    ASSERT_EQ(f.mat_f(), expected.mat_f()) << "trial " << trial;
    ASSERT_EQ(f.mat_m(), expected.mat_m()) << "trial " << trial;
    ASSERT_EQ(f.gamma(), expected.gamma()) << "trial " << trial;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BatchedRightMultiplications,
                         ::testing::Values(WideCase{2, 1}, WideCase{5, 2}, WideCase{63, 3}, WideCase{64, 4},
                                           WideCase{65, 5}, WideCase{130, 6}),
                         [](const auto& info) { return "n" + std::to_string(info.param.n); });

// ---- Inputs that no valid caller produces.

TEST(ResolutionFaults, EqualVectorsWithMinusOneCoefficient) {
  auto f = fresh(2);
  const auto before = f;
  try {
    (void)f._resolve_superposition(bits(2, {1}), bits(2, {1}), 4);
    ADD_FAILURE() << "no fault";
  } catch (const InternalFault& e) {
    EXPECT_STREQ(e.what(), "Inconsistent state: superposition with -1 coefficient.");
  }
  EXPECT_EQ(f, before);
}

TEST(ResolutionFaults, OddPhaseAndWrongLengthAreRefused) {
  auto f = fresh(2);
  const auto before = f;
  for (std::uint8_t delta : {1, 3, 5, 7}) {
    EXPECT_THROW((void)f._resolve_superposition(bits(2, {}), bits(2, {0}), delta), InternalFault) << int(delta);
    EXPECT_THROW((void)f._resolve_superposition(bits(2, {0}), bits(2, {0}), delta), InternalFault) << int(delta);
  }
  EXPECT_THROW((void)f._resolve_superposition(bits(3, {}), bits(2, {0}), 0), InternalFault);
  EXPECT_EQ(f, before);
}

TEST(ResolutionEqualVectors, PhasesTwoAndSixAddAnEighthTurn) {
  for (auto [delta, omega] : {std::pair{0, 0}, std::pair{2, 1}, std::pair{6, 7}}) {
    auto f = fresh(2);
    ASSERT_TRUE(f._resolve_superposition(bits(2, {1}), bits(2, {1}), static_cast<std::uint8_t>(delta)).has_value());
    EXPECT_EQ(f.vec_s(), bits(2, {1})) << delta;
    EXPECT_EQ(f.omega(), omega) << delta;
  }
}

}  // namespace
