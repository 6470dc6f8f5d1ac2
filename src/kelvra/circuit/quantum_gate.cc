#include "kelvra/circuit/quantum_gate.h"

#include <limits>

namespace kelvra {

namespace {

constexpr std::string_view kNames[] = {"H",       "X",  "Y",  "Z",    "S", "Sdg", "SqrtX",
                                       "SqrtXdg", "CX", "CZ", "Swap", "T", "Tdg", "CCX"};

/// a + b, or SIZE_MAX when the sum does not fit. An index that would wrap stays out of range for
/// every register, since no register has more than SIZE_MAX qubits.
std::size_t saturating_add(std::size_t a, std::size_t b) {
  std::size_t r;
  return __builtin_add_overflow(a, b, &r) ? std::numeric_limits<std::size_t>::max() : r;
}

}  // namespace

QuantumGate QuantumGate::from_clifford_gate(const pelmar::CliffordGate& gate) {
  const auto kind = static_cast<GateKind>(gate.kind);
  // One-qubit kinds leave the unused index at 0 so that equal gates compare equal.
  if (gate.is_two_qubit()) return {kind, gate.q0, gate.q1};
  return {kind, gate.q0};
}

std::size_t QuantumGate::arity() const {
  switch (kind_) {
    case GateKind::CX:
    case GateKind::CZ:
    case GateKind::Swap:
      return 2;
    case GateKind::CCX:
      return 3;
    default:
      return 1;
  }
}

std::vector<std::size_t> QuantumGate::qubits() const { return {q_.begin(), q_.begin() + arity()}; }

std::string_view QuantumGate::name() const {
  const auto i = static_cast<std::size_t>(kind_);
  return i < std::size(kNames) ? kNames[i] : std::string_view("?");
}

Result<pelmar::CliffordGate> QuantumGate::to_clifford_gate() const {
  if (!is_clifford()) return std::unexpected(Error::gate_not_clifford(std::string(name())));
  pelmar::CliffordGate g;
  g.kind = static_cast<pelmar::CliffordGateKind>(kind_);
  g.q0 = q_[0];
  g.q1 = arity() == 2 ? q_[1] : 0;
  return g;
}

QuantumGate QuantumGate::shifted(std::size_t offset) const {
  QuantumGate g = *this;
  for (std::size_t i = 0; i < arity(); ++i) g.q_[i] = saturating_add(q_[i], offset);
  return g;
}

std::string QuantumGate::to_string() const {
  std::string s(name());
  s += '(';
  for (std::size_t i = 0; i < arity(); ++i) {
    if (i) s += ", ";
    s += std::to_string(q_[i]);
  }
  s += ')';
  return s;
}

}  // namespace kelvra
