#include "kelvra/circuit/quantum_circuit.h"

#include "pelmar/bits.h"
#include "pelmar/random_clifford.h"

namespace kelvra {

void QuantumCircuit::append(const QuantumCircuit& other) {
  // Copy the count first: `other` may be this circuit, whose list grows while it is read.
  const std::size_t m = other.gates_.size();
  gates_.reserve(pelmar::checked_add(gates_.size(), m));
  for (std::size_t i = 0; i < m; ++i) gates_.push_back(other.gates_[i]);
}

QuantumCircuit QuantumCircuit::tensor(const QuantumCircuit& other) const {
  // A register wider than a machine word can count is an impossible size.
  const std::size_t n = pelmar::checked_add(num_qubits_, other.num_qubits_);
  std::vector<QuantumGate> gates;
  gates.reserve(pelmar::checked_add(gates_.size(), other.gates_.size()));
  gates.insert(gates.end(), gates_.begin(), gates_.end());
  for (const auto& g : other.gates_) gates.push_back(g.shifted(num_qubits_));
  return QuantumCircuit(n, std::move(gates));
}

QuantumCircuit QuantumCircuit::random_clifford(std::size_t n, const std::optional<pelmar::Seed>& seed) {
  const pelmar::CliffordCircuit c = pelmar::random_clifford(n, seed);
  std::vector<QuantumGate> gates;
  gates.reserve(c.gates().size());
  for (const auto& g : c.gates()) gates.push_back(QuantumGate::from_clifford_gate(g));
  return QuantumCircuit(n, std::move(gates));
}

std::string QuantumCircuit::to_string() const {
  std::string s = "QuantumCircuit(num_qubits=" + std::to_string(num_qubits_) + ") [";
  for (std::size_t i = 0; i < gates_.size(); ++i) {
    if (i) s += ", ";
    s += gates_[i].to_string();
  }
  s += ']';
  return s;
}

}  // namespace kelvra
