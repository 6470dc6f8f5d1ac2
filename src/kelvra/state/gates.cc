#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

Status StabilizerDecomposedState::apply_gate(const QuantumGate& gate) {
  // Non-Clifford kinds are refused before any term is touched, whatever their indices.
  auto clifford = gate.to_clifford_gate();
  if (!clifford) return std::unexpected(Error::non_clifford_gate_application(std::string(gate.name())));
  return apply_clifford(*clifford);
}

Status StabilizerDecomposedState::apply_clifford(const pelmar::CliffordGate& gate) {
  // Coefficients, the register width and the global factor are untouched: each CH form carries
  // its own phase. Every term checks the same indices against the same width, so a failure comes
  // from the first term in practice and leaves the state as it was.
  const std::size_t m = num_pairs();
  for (std::size_t i = 0; i < m; ++i) {
    auto r = terms_[i].apply_gate(gate);
    if (!r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
  }
  return {};
}

Status StabilizerDecomposedState::apply_x(std::size_t q) {
  const std::size_t m = num_pairs();
  for (std::size_t i = 0; i < m; ++i) {
    auto r = terms_[i].apply_x(q);
    if (!r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
  }
  return {};
}

}  // namespace kelvra
