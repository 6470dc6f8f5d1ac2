// The OpenQASM 2 writer: a fixed two-line header, one register declaration, one line per gate.

#include <string>
#include <string_view>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/qasm/qasm.h"

namespace kelvra {

namespace {

std::string_view qasm_name(GateKind kind) {
  switch (kind) {
    case GateKind::H: return "h";
    case GateKind::X: return "x";
    case GateKind::Y: return "y";
    case GateKind::Z: return "z";
    case GateKind::S: return "s";
    case GateKind::Sdg: return "sdg";
    case GateKind::SqrtX: return "sx";
    case GateKind::SqrtXdg: return "sxdg";
    case GateKind::CX: return "cx";
    case GateKind::CZ: return "cz";
    case GateKind::Swap: return "swap";
    case GateKind::T: return "t";
    case GateKind::Tdg: return "tdg";
    case GateKind::CCX: return "ccx";
  }
  return "";
}

/// Appends "name R[a], R[b];" (as many operands as the gate has) without a terminator.
void append_gate_line(std::string& out, const QuantumGate& gate, std::string_view reg) {
  out += qasm_name(gate.kind());
  const std::size_t arity = gate.arity();
  for (std::size_t i = 0; i < arity; ++i) {
    out += i == 0 ? " " : ", ";
    out += reg;
    out += '[';
    out += std::to_string(gate.qubit(i));
    out += ']';
  }
  out += ';';
}

}  // namespace

std::string QuantumGate::to_qasm_str(std::string_view reg) const {
  std::string out;
  append_gate_line(out, *this, reg);
  return out;
}

std::string QuantumCircuit::to_qasm_str(std::string_view reg) const { return qasm::to_qasm_str(*this, reg); }

namespace qasm {

std::string to_qasm_str(const QuantumCircuit& circuit, std::string_view reg) {
  std::string out = "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg ";
  out += reg;
  out += '[';
  out += std::to_string(circuit.num_qubits());
  out += "];";
  for (const QuantumGate& gate : circuit.gates()) {
    out += '\n';
    append_gate_line(out, gate, reg);
  }
  return out;
}

}  // namespace qasm
}  // namespace kelvra
