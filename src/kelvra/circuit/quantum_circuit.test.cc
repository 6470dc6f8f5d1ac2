#include "kelvra/circuit/quantum_circuit.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>

#include "pelmar/random_clifford.h"

namespace kelvra {
namespace {

using G = QuantumGate;

TEST(QuantumCircuit, BuildingNeverChecksIndices) {
  QuantumCircuit c(2);
  c.apply_h(7);
  c.apply_cx(1, 1);
  c.apply_ccx(0, 5, 9);
  c.apply_gate(G::Tdg(3));
  EXPECT_EQ(c.num_qubits(), 2u);
  EXPECT_EQ(c.gates(), (std::vector<G>{G::H(7), G::CX(1, 1), G::CCX(0, 5, 9), G::Tdg(3)}));
}

TEST(QuantumCircuit, EveryAppendMethodRecordsItsKind) {
  QuantumCircuit c(0);
  c.apply_h(0);
  c.apply_x(1);
  c.apply_y(2);
  c.apply_z(3);
  c.apply_s(4);
  c.apply_sdg(5);
  c.apply_sqrt_x(6);
  c.apply_sqrt_xdg(7);
  c.apply_cx(8, 9);
  c.apply_cz(10, 11);
  c.apply_swap(12, 13);
  c.apply_t(14);
  c.apply_tdg(15);
  c.apply_ccx(16, 17, 18);
  EXPECT_EQ(c.to_string(),
            "QuantumCircuit(num_qubits=0) [H(0), X(1), Y(2), Z(3), S(4), Sdg(5), SqrtX(6), SqrtXdg(7), CX(8, 9), "
            "CZ(10, 11), Swap(12, 13), T(14), Tdg(15), CCX(16, 17, 18)]");
}

TEST(QuantumCircuit, TextForm) {
  EXPECT_EQ(QuantumCircuit(3).to_string(), "QuantumCircuit(num_qubits=3) []");
  QuantumCircuit c(2);
  c.apply_h(0);
  c.apply_cx(0, 1);
  EXPECT_EQ(c.to_string(), "QuantumCircuit(num_qubits=2) [H(0), CX(0, 1)]");
}

TEST(QuantumCircuit, TensorShiftsEveryIndexOfTheSecondOperand) {
  const QuantumCircuit a(2, {G::CX(0, 1)});
  const QuantumCircuit b(3, {G::CCX(0, 1, 2), G::H(2)});
  const QuantumCircuit c = a.tensor(b);
  EXPECT_EQ(c, QuantumCircuit(5, {G::CX(0, 1), G::CCX(2, 3, 4), G::H(4)}));
  // Neither operand changes.
  EXPECT_EQ(a, QuantumCircuit(2, {G::CX(0, 1)}));
  EXPECT_EQ(b.gates().size(), 2u);
}

TEST(QuantumCircuit, TensorWithEmptyRegister) {
  const QuantumCircuit a(2, {G::CZ(0, 1), G::T(1)});
  const QuantumCircuit empty(0);
  EXPECT_EQ(a.tensor(empty), a);
  EXPECT_EQ(empty.tensor(a), a);
}

TEST(QuantumCircuit, TensorOfUncountableWidthIsImpossibleSize) {
  const QuantumCircuit a(std::numeric_limits<std::size_t>::max());
  EXPECT_THROW((void)a.tensor(QuantumCircuit(1)), std::bad_alloc);
}

TEST(QuantumCircuit, AppendKeepsWidthAndIndices) {
  QuantumCircuit a(1, {G::H(0)});
  a.append(QuantumCircuit(4, {G::CX(2, 3), G::T(3)}));
  EXPECT_EQ(a, QuantumCircuit(1, {G::H(0), G::CX(2, 3), G::T(3)}));
}

TEST(QuantumCircuit, AppendToItselfDoublesTheList) {
  QuantumCircuit a(2, {G::H(0), G::CX(0, 1), G::S(1)});
  a.append(a);
  EXPECT_EQ(a, QuantumCircuit(2, {G::H(0), G::CX(0, 1), G::S(1), G::H(0), G::CX(0, 1), G::S(1)}));
}

TEST(QuantumCircuit, RandomCliffordConvertsTheLibraryCircuit) {
  pelmar::Seed seed{};
  seed[0] = 7;
  for (std::size_t n : {0, 1, 5}) {
    const pelmar::CliffordCircuit lib = pelmar::random_clifford(n, seed);
    const QuantumCircuit c = QuantumCircuit::random_clifford(n, seed);
    EXPECT_EQ(c.num_qubits(), n);
    ASSERT_EQ(c.gates().size(), lib.gates().size());
    for (std::size_t i = 0; i < lib.gates().size(); ++i) EXPECT_EQ(*c.gates()[i].to_clifford_gate(), lib.gates()[i]);
  }
}

}  // namespace
}  // namespace kelvra
