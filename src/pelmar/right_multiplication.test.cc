// Right multiplications change U_C alone. When the gate, moved through U_H, fixes |s⟩ the
// represented vector is unchanged; when it maps |s⟩ to another basis vector the new vector is
// orthogonal to the old one. Both are checked through inner products on random forms, together
// with the tableau conditions.

#include <gtest/gtest.h>

#include <array>
#include <complex>
#include <cstdint>
#include <random>
#include <string>

#include "pelmar/ch_form.h"

namespace {

using pelmar::CliffordGateKind;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;
constexpr double kTol = 1e-12;

bool row_dot(const pelmar::BitMatrix& a, std::size_t i, const pelmar::BitMatrix& b, std::size_t j) {
  std::uint64_t acc = 0;
  for (std::size_t k = 0; k < a.stride(); ++k) acc ^= a.row(i)[k] & b.row(j)[k];
  return pelmar::parity(acc);
}

::testing::AssertionResult tableau_is_valid(const StabilizerCHForm& f) {
  const std::size_t n = f.num_qubits();
  for (std::size_t i = 0; i < n; ++i) {
    if (f.gamma()[i] % 2 != 0) return ::testing::AssertionFailure() << "gamma " << i;
    for (std::size_t j = 0; j < n; ++j) {
      if (row_dot(f.mat_f(), i, f.mat_g(), j) != (i == j))
        return ::testing::AssertionFailure() << "FG^T " << i << "," << j;
      if (row_dot(f.mat_f(), i, f.mat_m(), j) != row_dot(f.mat_f(), j, f.mat_m(), i))
        return ::testing::AssertionFailure() << "FM^T " << i << "," << j;
    }
  }
  return ::testing::AssertionSuccess();
}

StabilizerCHForm random_form(std::mt19937& rng, std::size_t n) {
  auto f = *StabilizerCHForm::create(n);
  std::uniform_int_distribution<int> kind(0, 10);
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  for (std::size_t i = 0; i < 8 * n; ++i) {
    const std::size_t a = qubit(rng);
    EXPECT_TRUE(f.apply_gate({static_cast<CliffordGateKind>(kind(rng)), a, (a + 1 + qubit(rng) % (n - 1)) % n})
                    .has_value());
  }
  return f;
}

/// Expected overlap ⟨before|after⟩ of a right multiplication: 1 when the gate moved through U_H
/// fixes |s⟩, 0 when it flips a bit of s, and no prediction otherwise.
enum class Overlap { One, Zero, Unknown };

Overlap predict(const StabilizerCHForm& f, CliffordGateKind kind, std::size_t a, std::size_t b) {
  const auto& v = f.vec_v();
  const auto& s = f.vec_s();
  switch (kind) {
    case CliffordGateKind::S:  // S|0⟩ = |0⟩ on a Hadamard-free qubit
      return !v.get(a) && !s.get(a) ? Overlap::One : Overlap::Unknown;
    case CliffordGateKind::CX:
      // Without Hadamards CX(a, b) flips s[b] when s[a] = 1; under two it is CX(b, a).
      if (!v.get(a) && !v.get(b)) return s.get(a) ? Overlap::Zero : Overlap::One;
      if (v.get(a) && v.get(b)) return s.get(b) ? Overlap::Zero : Overlap::One;
      return Overlap::Unknown;
    case CliffordGateKind::CZ:
      // Without Hadamards CZ is a sign; with one on a it is CX(b, a), flipping s[a] when s[b] = 1.
      if (!v.get(a) && !v.get(b)) return Overlap::Unknown;
      if (v.get(a) && !v.get(b)) return s.get(b) ? Overlap::Zero : Overlap::One;
      return Overlap::Unknown;
    default:
      return Overlap::Unknown;
  }
}

class RightMultiplication : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RightMultiplication, ChangesTheVectorExactlyAsUCTimesTheGate) {
  const std::size_t n = GetParam();
  std::mt19937 rng(static_cast<unsigned>(n));
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  int predicted = 0;
  for (int trial = 0; trial < 6; ++trial) {
    const auto f = random_form(rng, n);
    for (int i = 0; i < 20; ++i) {
      const CliffordGateKind kind = std::array{CliffordGateKind::S, CliffordGateKind::CX, CliffordGateKind::CZ}[i % 3];
      const std::size_t a = qubit(rng), b = (a + 1 + qubit(rng) % (n - 1)) % n;
      const Overlap expected = predict(f, kind, a, b);
      auto g = f;
      const auto r = kind == CliffordGateKind::S ? g.right_multiply_s(a)
                     : kind == CliffordGateKind::CX ? g.right_multiply_cx(a, b)
                                                    : g.right_multiply_cz(a, b);
      ASSERT_TRUE(r.has_value());
      ASSERT_TRUE(tableau_is_valid(g));
      if (expected == Overlap::Unknown) continue;
      ++predicted;
      const Amp overlap = *f.inner_product(g);
      EXPECT_LT(std::abs(overlap - (expected == Overlap::One ? Amp(1, 0) : Amp(0, 0))), kTol)
          << "kind " << int(kind) << " on " << a << "," << b;
    }
  }
  EXPECT_GT(predicted, 20);  // the random forms offer enough predictable cases
}

INSTANTIATE_TEST_SUITE_P(Sizes, RightMultiplication, ::testing::Values(2, 5, 63, 65, 130),
                         [](const auto& info) { return "n" + std::to_string(info.param); });

}  // namespace
