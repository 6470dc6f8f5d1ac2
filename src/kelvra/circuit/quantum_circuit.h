#pragma once
/// A circuit: a register width fixed at construction and an ordered gate list. Building a circuit
/// never checks indices and never simulates anything.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/error.h"
#include "pelmar/clifford_circuit.h"

namespace kelvra {

class QuantumCircuit {
 public:
  explicit QuantumCircuit(std::size_t num_qubits = 0) : num_qubits_(num_qubits) {}
  QuantumCircuit(std::size_t num_qubits, std::vector<QuantumGate> gates)
      : num_qubits_(num_qubits), gates_(std::move(gates)) {}

  std::size_t num_qubits() const { return num_qubits_; }
  const std::vector<QuantumGate>& gates() const { return gates_; }

  void apply_h(std::size_t q) { gates_.push_back(QuantumGate::H(q)); }
  void apply_x(std::size_t q) { gates_.push_back(QuantumGate::X(q)); }
  void apply_y(std::size_t q) { gates_.push_back(QuantumGate::Y(q)); }
  void apply_z(std::size_t q) { gates_.push_back(QuantumGate::Z(q)); }
  void apply_s(std::size_t q) { gates_.push_back(QuantumGate::S(q)); }
  void apply_sdg(std::size_t q) { gates_.push_back(QuantumGate::Sdg(q)); }
  void apply_sqrt_x(std::size_t q) { gates_.push_back(QuantumGate::SqrtX(q)); }
  void apply_sqrt_xdg(std::size_t q) { gates_.push_back(QuantumGate::SqrtXdg(q)); }
  void apply_t(std::size_t q) { gates_.push_back(QuantumGate::T(q)); }
  void apply_tdg(std::size_t q) { gates_.push_back(QuantumGate::Tdg(q)); }
  void apply_cx(std::size_t c, std::size_t t) { gates_.push_back(QuantumGate::CX(c, t)); }
  void apply_cz(std::size_t a, std::size_t b) { gates_.push_back(QuantumGate::CZ(a, b)); }
  void apply_swap(std::size_t a, std::size_t b) { gates_.push_back(QuantumGate::Swap(a, b)); }
  void apply_ccx(std::size_t c1, std::size_t c2, std::size_t t) { gates_.push_back(QuantumGate::CCX(c1, c2, t)); }
  void apply_gate(const QuantumGate& gate) { gates_.push_back(gate); }

  /// Appends all gates of `other` in order; this circuit's width is unchanged.
  void append(const QuantumCircuit& other);
  /// This circuit's gates, then `other`'s shifted up by this circuit's width, on both registers.
  QuantumCircuit tensor(const QuantumCircuit& other) const;

  /// The CH-form library's random Clifford circuit, converted gate by gate.
  static QuantumCircuit random_clifford(std::size_t n, const std::optional<pelmar::Seed>& seed);

  /// "QuantumCircuit(num_qubits=2) [H(0), CX(0, 1)]".
  std::string to_string() const;
  /// OpenQASM 2 text; see qasm/qasm.h.
  std::string to_qasm_str(std::string_view reg) const;
  static Result<QuantumCircuit> from_qasm_str(std::string_view text);

  bool operator==(const QuantumCircuit&) const = default;

 private:
  std::size_t num_qubits_;
  std::vector<QuantumGate> gates_;
};

}  // namespace kelvra
