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
using pelmar::Error;
using pelmar::InternalFault;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;
constexpr double kTol = 1e-12;
const double kR = 1 / std::sqrt(2.0);

struct DiscardCase {
  const char* name;
  std::size_t n;
  std::vector<CliffordGate> prep;
  std::size_t qubit;
  std::vector<Amp> after;  // empty: CannotDiscardQubit, form unchanged
};

class Discard : public ::testing::TestWithParam<DiscardCase> {};

TEST_P(Discard, RemovesAZeroQubitOrRefusesWithoutChange) {
  const auto& c = GetParam();
  auto f = *StabilizerCHForm::create(c.n);
  for (const auto& g : c.prep) ASSERT_TRUE(f.apply_gate(g).has_value());
  const auto before = f;
  auto r = f.discard(c.qubit);
  if (c.after.empty()) {
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error(), Error::cannot_discard_qubit(c.qubit));
    EXPECT_EQ(f, before);
    return;
  }
  ASSERT_TRUE(r.has_value()) << r.error().message();
  EXPECT_EQ(f.num_qubits(), c.n - 1);
  const auto sv = f.to_statevector();
  ASSERT_EQ(sv.size(), c.after.size());
  for (std::size_t i = 0; i < sv.size(); ++i) EXPECT_LT(std::abs(sv[i] - c.after[i]), kTol) << "index " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Discard,
    ::testing::Values(
        DiscardCase{"IdleQubitBesidePlus", 2, {CliffordGate::H(0)}, 1, {kR, kR}},
        DiscardCase{"PlusQubit", 2, {CliffordGate::H(0)}, 0, {}},
        DiscardCase{"LastQubitZero", 1, {}, 0, {1}},
        DiscardCase{"LastQubitOne", 1, {CliffordGate::X(0)}, 0, {}},
        DiscardCase{"LastQubitPlus", 1, {CliffordGate::H(0)}, 0, {}},
        // Fixed at 1 while a partner qubit exists: refused up front rather than turned into a
        // different state.
        DiscardCase{"OneWithAPartner", 2, {CliffordGate::X(0)}, 0, {}},
        DiscardCase{"OneInsideAnEntangledState", 3, {CliffordGate::H(0), CliffordGate::CX(0, 1), CliffordGate::X(2)},
                    2, {}},
        // s = [1, 1] under U_C = CX(1, 0): qubit 0 is |0⟩ but has a basis bit 1 and no free partner.
        DiscardCase{"TwoOnesNoPartner", 2, {CliffordGate::X(0), CliffordGate::X(1), CliffordGate::CX(1, 0)}, 0,
                    {0, 1}},
        // The Hadamard sits on qubit 0 of the inner register while qubit 0 of the state is |0⟩.
        DiscardCase{"HadamardMovedAway", 2, {CliffordGate::H(0), CliffordGate::Swap(0, 1)}, 0, {kR, kR}},
        DiscardCase{"MiddleOfThree", 3, {CliffordGate::H(0), CliffordGate::X(2), CliffordGate::S(0)}, 1,
                    {0, 0, kR, Amp(0, kR)}},
        DiscardCase{"AfterAnEntanglingRoundTrip", 3,
                    {CliffordGate::H(1), CliffordGate::CX(1, 0), CliffordGate::CX(0, 2), CliffordGate::CX(1, 2),
                     CliffordGate::CX(1, 0)},
                    2, {kR, 0, kR, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Discard, TextAndIndexErrors) {
  auto f = *StabilizerCHForm::create(1);
  ASSERT_TRUE(f.apply_x(0).has_value());
  EXPECT_EQ(f.discard(0).error().message(), "Cannot discard qubit 0 because it is not in a proper state");
  EXPECT_EQ(f.discard(1).error(), Error::qubit_index_out_of_bounds(1, 1));
}

// ---- Removal of one row, column or entry from packed bits.

class RemoveAcrossWords : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RemoveAcrossWords, KeepsTheOtherEntriesInOrder) {
  const std::size_t size = GetParam();  // size of the result
  std::mt19937_64 rng(size);
  BitMatrix m(size + 1);
  BitVector v(size + 1);
  for (std::size_t i = 0; i <= size; ++i) {
    v.set(i, rng() & 1);
    for (std::size_t j = 0; j <= size; ++j) m.set(i, j, rng() & 1);
  }
  for (std::size_t index : {std::size_t{0}, std::size_t{1}, std::size_t{62}, std::size_t{63}, std::size_t{64},
                            std::size_t{65}, size / 2, size}) {
    if (index > size) continue;
    const BitMatrix r = pelmar::remove_row_col_from_matrix(size, m, index);
    const BitVector w = pelmar::remove_element_from_vector(size, v, index);
    ASSERT_EQ(r.size(), size);
    ASSERT_EQ(w.size(), size);
    BitMatrix expected_m(size);
    BitVector expected_v(size);
    for (std::size_t i = 0; i < size; ++i) {
      const std::size_t si = i + (i >= index);
      expected_v.set(i, v.get(si));
      for (std::size_t j = 0; j < size; ++j) expected_m.set(i, j, m.get(si, j + (j >= index)));
    }
    // Equality of the packed words also checks that the padding bits stay zero.
    EXPECT_EQ(r, expected_m) << "index " << index;
    EXPECT_EQ(w, expected_v) << "index " << index;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RemoveAcrossWords, ::testing::Values(0, 1, 62, 63, 64, 65, 127, 128, 129, 130),
                         [](const auto& info) { return "size" + std::to_string(info.param); });

TEST(RemoveAcrossWords, MismatchedShapesAreRefused) {
  EXPECT_THROW((void)pelmar::remove_row_col_from_matrix(3, BitMatrix(3), 0), InternalFault);
  EXPECT_THROW((void)pelmar::remove_row_col_from_matrix(3, BitMatrix(4), 4), InternalFault);
  EXPECT_THROW((void)pelmar::remove_element_from_vector(3, BitVector(5), 0), InternalFault);
}

}  // namespace
