#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/qasm/qasm.h"

namespace kelvra::qasm {
namespace {

using G = QuantumGate;

TEST(QasmWriter, BellCircuitText) {
  QuantumCircuit c(2);
  c.apply_h(0);
  c.apply_cx(0, 1);
  const std::string expected =
      "OPENQASM 2.0;\n"
      "include \"qelib1.inc\";\n"
      "qreg q[2];\n"
      "h q[0];\n"
      "cx q[0], q[1];";
  EXPECT_EQ(to_qasm_str(c, "q"), expected);
  EXPECT_EQ(c.to_qasm_str("q"), expected);
}

TEST(QasmWriter, EmptyCircuitIsTheHeaderOnly) {
  EXPECT_EQ(to_qasm_str(QuantumCircuit(3), "reg"), "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg reg[3];");
  EXPECT_EQ(to_qasm_str(QuantumCircuit(0), "q"), "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[0];");
}

TEST(QasmWriter, RegisterNameIsWrittenUnchanged) {
  EXPECT_EQ(G::CX(1, 2).to_qasm_str("a b"), "cx a b[1], a b[2];");
  EXPECT_EQ(G::H(0).to_qasm_str(""), "h [0];");
}

struct LineCase {
  const char* id;
  QuantumGate gate;
  std::string line;
};

const LineCase kLineCases[] = {
    {"H", G::H(3), "h r[3];"},
    {"X", G::X(0), "x r[0];"},
    {"Y", G::Y(1), "y r[1];"},
    {"Z", G::Z(2), "z r[2];"},
    {"S", G::S(4), "s r[4];"},
    {"Sdg", G::Sdg(5), "sdg r[5];"},
    {"SqrtX", G::SqrtX(6), "sx r[6];"},
    {"SqrtXdg", G::SqrtXdg(7), "sxdg r[7];"},
    {"CX_own_order", G::CX(1, 0), "cx r[1], r[0];"},
    {"CZ", G::CZ(2, 9), "cz r[2], r[9];"},
    {"Swap", G::Swap(3, 3), "swap r[3], r[3];"},
    {"T", G::T(10), "t r[10];"},
    {"Tdg", G::Tdg(11), "tdg r[11];"},
    {"CCX_own_order", G::CCX(4, 0, 2), "ccx r[4], r[0], r[2];"},
    {"largest_index", G::H(SIZE_MAX), "h r[18446744073709551615];"},
};

class GateLine : public testing::TestWithParam<LineCase> {};

TEST_P(GateLine, Text) { EXPECT_EQ(GetParam().gate.to_qasm_str("r"), GetParam().line); }

INSTANTIATE_TEST_SUITE_P(Kinds, GateLine, testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.id); });

// ---------------------------------------------------------------------------------------------
// Reading the writer's output gives the circuit back, for every gate kind and any register name of
// the declaration's name class, including names that look like keywords.

QuantumCircuit random_circuit(std::mt19937_64& rng) {
  std::uniform_int_distribution<std::size_t> width(0, 70);
  std::uniform_int_distribution<int> kind(0, 13);
  std::uniform_int_distribution<int> length(0, 40);
  QuantumCircuit c(width(rng));
  // Mostly small indices, sometimes beyond the register and up to the largest machine word.
  const auto index = [&] {
    switch (rng() % 8) {
      case 0: return static_cast<std::size_t>(rng());
      case 1: return SIZE_MAX - rng() % 3;
      default: return static_cast<std::size_t>(rng() % 80);
    }
  };
  for (int n = length(rng); n > 0; --n) {
    switch (static_cast<GateKind>(kind(rng))) {
      case GateKind::H: c.apply_h(index()); break;
      case GateKind::X: c.apply_x(index()); break;
      case GateKind::Y: c.apply_y(index()); break;
      case GateKind::Z: c.apply_z(index()); break;
      case GateKind::S: c.apply_s(index()); break;
      case GateKind::Sdg: c.apply_sdg(index()); break;
      case GateKind::SqrtX: c.apply_sqrt_x(index()); break;
      case GateKind::SqrtXdg: c.apply_sqrt_xdg(index()); break;
      case GateKind::CX: c.apply_cx(index(), index()); break;
      case GateKind::CZ: c.apply_cz(index(), index()); break;
      case GateKind::Swap: c.apply_swap(index(), index()); break;
      case GateKind::T: c.apply_t(index()); break;
      case GateKind::Tdg: c.apply_tdg(index()); break;
      case GateKind::CCX: c.apply_ccx(index(), index(), index()); break;
    }
  }
  return c;
}

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, ReadingTheWrittenTextGivesTheCircuit) {
  std::mt19937_64 rng(std::hash<std::string>{}(GetParam()));
  bool saw_kind[14] = {};
  for (int i = 0; i < 200; ++i) {
    const QuantumCircuit c = random_circuit(rng);
    for (const QuantumGate& g : c.gates()) saw_kind[static_cast<int>(g.kind())] = true;
    const std::string text = to_qasm_str(c, GetParam());
    const auto back = from_qasm_str(text);
    ASSERT_TRUE(back.has_value()) << back.error().message() << "\n" << text;
    ASSERT_EQ(*back, c) << text;
  }
  for (int k = 0; k < 14; ++k) EXPECT_TRUE(saw_kind[k]) << "kind " << k;
}

INSTANTIATE_TEST_SUITE_P(Registers, RoundTrip,
                         testing::Values("q", "r", "Reg_1", "a0", "Z", "qreg", "measure", "OPENQASM", "include",
                                         "h", "x__"));

}  // namespace
}  // namespace kelvra::qasm
