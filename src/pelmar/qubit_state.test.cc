#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::CliffordGate;
using pelmar::Error;
using pelmar::QubitState;
using pelmar::StabilizerCHForm;

struct QubitStateCase {
  const char* name;
  std::size_t n;
  std::vector<CliffordGate> prep;
  std::vector<QubitState> expected;
};

class QubitStates : public ::testing::TestWithParam<QubitStateCase> {};

TEST_P(QubitStates, ReportTheBasisValueOrSuperposition) {
  const auto& c = GetParam();
  auto f = *StabilizerCHForm::create(c.n);
  for (const auto& g : c.prep) ASSERT_TRUE(f.apply_gate(g).has_value());
  for (std::size_t q = 0; q < c.n; ++q) EXPECT_EQ(*f.get_qubit_state(q), c.expected[q]) << "qubit " << q;
}

using Q = QubitState;
INSTANTIATE_TEST_SUITE_P(
    Cases, QubitStates,
    ::testing::Values(
        QubitStateCase{"Fresh", 3, {}, {Q::Zero, Q::Zero, Q::Zero}},
        QubitStateCase{"Plus", 1, {CliffordGate::H(0)}, {Q::Superposition}},
        QubitStateCase{"XOnQubit1", 2, {CliffordGate::X(1)}, {Q::Zero, Q::One}},
        QubitStateCase{"Bell", 2, {CliffordGate::H(0), CliffordGate::CX(0, 1)}, {Q::Superposition, Q::Superposition}},
        QubitStateCase{"HH", 1, {CliffordGate::H(0), CliffordGate::H(0)}, {Q::Zero}},
        // The parity of a GHZ pair, copied onto a third qubit, is fixed though each qubit is not.
        QubitStateCase{"ParityOntoAncilla", 3,
                       {CliffordGate::H(0), CliffordGate::CX(0, 1), CliffordGate::CX(0, 2), CliffordGate::CX(1, 2)},
                       {Q::Superposition, Q::Superposition, Q::Zero}},
        QubitStateCase{"SwapCarriesTheOne", 3, {CliffordGate::X(0), CliffordGate::Swap(0, 2)},
                       {Q::Zero, Q::Zero, Q::One}},
        QubitStateCase{"WordBoundary", 66, {CliffordGate::X(63), CliffordGate::CX(63, 64), CliffordGate::H(65)},
                       [] {
                         std::vector<Q> e(66, Q::Zero);
                         e[63] = e[64] = Q::One;
                         e[65] = Q::Superposition;
                         return e;
                       }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QubitState, IndexOutOfBounds) {
  auto f = *StabilizerCHForm::create(2);
  EXPECT_EQ(f.get_qubit_state(2).error(), Error::qubit_index_out_of_bounds(2, 2));
}

}  // namespace
