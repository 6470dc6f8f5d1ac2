#include "kelvra/circuit/quantum_gate.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace kelvra {
namespace {

struct GateCase {
  QuantumGate gate;
  const char* name;
  std::vector<std::size_t> qubits;
  bool clifford;
  bool t_type;
  const char* text;
};

std::ostream& operator<<(std::ostream& os, const GateCase& c) { return os << c.text; }

class GateKinds : public ::testing::TestWithParam<GateCase> {};

// Distinct indices per slot so that a swapped or dropped field shows.
const GateCase kGates[] = {
    {QuantumGate::H(3), "H", {3}, true, false, "H(3)"},
    {QuantumGate::X(1), "X", {1}, true, false, "X(1)"},
    {QuantumGate::Y(2), "Y", {2}, true, false, "Y(2)"},
    {QuantumGate::Z(0), "Z", {0}, true, false, "Z(0)"},
    {QuantumGate::S(4), "S", {4}, true, false, "S(4)"},
    {QuantumGate::Sdg(5), "Sdg", {5}, true, false, "Sdg(5)"},
    {QuantumGate::SqrtX(6), "SqrtX", {6}, true, false, "SqrtX(6)"},
    {QuantumGate::SqrtXdg(7), "SqrtXdg", {7}, true, false, "SqrtXdg(7)"},
    {QuantumGate::CX(1, 0), "CX", {1, 0}, true, false, "CX(1, 0)"},
    {QuantumGate::CZ(2, 9), "CZ", {2, 9}, true, false, "CZ(2, 9)"},
    {QuantumGate::Swap(3, 4), "Swap", {3, 4}, true, false, "Swap(3, 4)"},
    {QuantumGate::T(8), "T", {8}, false, true, "T(8)"},
    {QuantumGate::Tdg(3), "Tdg", {3}, false, true, "Tdg(3)"},
    {QuantumGate::CCX(4, 0, 2), "CCX", {4, 0, 2}, false, false, "CCX(4, 0, 2)"},
};

TEST_P(GateKinds, Queries) {
  const GateCase& c = GetParam();
  EXPECT_EQ(c.gate.name(), c.name);
  EXPECT_EQ(c.gate.qubits(), c.qubits);  // argument order, never sorted
  EXPECT_EQ(c.gate.arity(), c.qubits.size());
  EXPECT_EQ(c.gate.is_clifford(), c.clifford);
  EXPECT_EQ(c.gate.is_t_type(), c.t_type);
  EXPECT_EQ(c.gate.to_string(), c.text);
}

TEST_P(GateKinds, CliffordConversion) {
  const GateCase& c = GetParam();
  auto g = c.gate.to_clifford_gate();
  if (!c.clifford) {
    ASSERT_FALSE(g);
    EXPECT_EQ(g.error(), Error::gate_not_clifford(c.name));
    return;
  }
  ASSERT_TRUE(g);
  EXPECT_EQ(static_cast<int>(g->kind), static_cast<int>(c.gate.kind()));
  EXPECT_EQ(g->q0, c.qubits[0]);
  if (c.qubits.size() == 2) {
    EXPECT_EQ(g->q1, c.qubits[1]);
  }
  EXPECT_EQ(QuantumGate::from_clifford_gate(*g), c.gate);
}

TEST_P(GateKinds, ShiftMovesEveryIndex) {
  const GateCase& c = GetParam();
  const QuantumGate s = c.gate.shifted(10);
  EXPECT_EQ(s.kind(), c.gate.kind());
  for (std::size_t i = 0; i < c.qubits.size(); ++i) EXPECT_EQ(s.qubit(i), c.qubits[i] + 10);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, GateKinds, ::testing::ValuesIn(kGates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuantumGate, ConversionKeepsUnorderedAndRepeatedIndices) {
  auto swap = QuantumGate::Swap(1, 0).to_clifford_gate();
  ASSERT_TRUE(swap);
  EXPECT_EQ(*swap, pelmar::CliffordGate::Swap(1, 0));
  auto cx = QuantumGate::CX(2, 2).to_clifford_gate();
  ASSERT_TRUE(cx);
  EXPECT_EQ(*cx, pelmar::CliffordGate::CX(2, 2));
}

TEST(QuantumGate, FromOneQubitCliffordGateIgnoresSecondField) {
  pelmar::CliffordGate g = pelmar::CliffordGate::H(2);
  g.q1 = 99;
  EXPECT_EQ(QuantumGate::from_clifford_gate(g), QuantumGate::H(2));
}

// An index that would wrap past the largest word stays out of range instead of becoming a small,
// valid index.
TEST(QuantumGate, ShiftSaturatesInsteadOfWrapping) {
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  const QuantumGate g = QuantumGate::CX(kMax - 1, 3).shifted(5);
  EXPECT_EQ(g.qubit(0), kMax);
  EXPECT_EQ(g.qubit(1), 8u);
}

}  // namespace
}  // namespace kelvra
