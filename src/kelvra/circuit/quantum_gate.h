#pragma once
/// The engine's gate set: eleven Clifford kinds (the CH-form library's CliffordGate kinds, same
/// order), the T-type kinds T and Tdg, and CCX, which is recorded but never simulated. Nothing in a
/// gate constrains its indices.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kelvra/error.h"
#include "pelmar/clifford_circuit.h"

namespace kelvra {

enum class GateKind : std::uint8_t { H, X, Y, Z, S, Sdg, SqrtX, SqrtXdg, CX, CZ, Swap, T, Tdg, CCX };

class QuantumGate {
 public:
  static QuantumGate H(std::size_t qubit) { return {GateKind::H, qubit}; }
  static QuantumGate X(std::size_t qubit) { return {GateKind::X, qubit}; }
  static QuantumGate Y(std::size_t qubit) { return {GateKind::Y, qubit}; }
  static QuantumGate Z(std::size_t qubit) { return {GateKind::Z, qubit}; }
  static QuantumGate S(std::size_t qubit) { return {GateKind::S, qubit}; }
  static QuantumGate Sdg(std::size_t qubit) { return {GateKind::Sdg, qubit}; }
  static QuantumGate SqrtX(std::size_t qubit) { return {GateKind::SqrtX, qubit}; }
  static QuantumGate SqrtXdg(std::size_t qubit) { return {GateKind::SqrtXdg, qubit}; }
  static QuantumGate CX(std::size_t control, std::size_t target) { return {GateKind::CX, control, target}; }
  static QuantumGate CZ(std::size_t qarg1, std::size_t qarg2) { return {GateKind::CZ, qarg1, qarg2}; }
  static QuantumGate Swap(std::size_t qarg1, std::size_t qarg2) { return {GateKind::Swap, qarg1, qarg2}; }
  static QuantumGate T(std::size_t qubit) { return {GateKind::T, qubit}; }
  static QuantumGate Tdg(std::size_t qubit) { return {GateKind::Tdg, qubit}; }
  static QuantumGate CCX(std::size_t control1, std::size_t control2, std::size_t target) {
    return {GateKind::CCX, control1, control2, target};
  }
  /// The gate of the same kind and qubits as a CH-form library gate.
  static QuantumGate from_clifford_gate(const pelmar::CliffordGate& gate);

  GateKind kind() const { return kind_; }
  /// Number of qubit indices of the kind: 1, 2 or 3.
  std::size_t arity() const;
  /// Index i (< arity()) in argument order.
  std::size_t qubit(std::size_t i) const { return q_[i]; }
  /// The qubit indices in argument order.
  std::vector<std::size_t> qubits() const;

  /// Short name: "H", "X", …, "SqrtXdg", "CX", "CZ", "Swap", "T", "Tdg", "CCX".
  std::string_view name() const;
  bool is_clifford() const { return kind_ <= GateKind::Swap; }
  bool is_t_type() const { return kind_ == GateKind::T || kind_ == GateKind::Tdg; }

  /// The CliffordGate of the same kind and qubits, or GateNotClifford(short name).
  Result<pelmar::CliffordGate> to_clifford_gate() const;
  /// The same gate with every qubit index increased by `offset`.
  QuantumGate shifted(std::size_t offset) const;

  /// "CX(0, 1)".
  std::string to_string() const;
  /// One OpenQASM 2 line without terminator, e.g. "cx q[0], q[1];".
  std::string to_qasm_str(std::string_view reg) const;

  bool operator==(const QuantumGate&) const = default;

 private:
  QuantumGate(GateKind kind, std::size_t a, std::size_t b = 0, std::size_t c = 0) : kind_(kind), q_{a, b, c} {}

  GateKind kind_;
  std::array<std::size_t, 3> q_;
};

}  // namespace kelvra
