#include "kelvra/state/quantum_state.h"

#include <cmath>
#include <utility>

#include "kelvra/state/compiler/circuit_compiler.h"

namespace kelvra {

namespace {
constexpr double kZeroNorm = 1e-12;
}

Result<QuantumState> QuantumState::from_circuit(const QuantumCircuit& circuit) {
  auto compiled = StabDecompCompiler{}.compile(circuit);
  if (!compiled) return std::unexpected(Error::from_compile(std::move(compiled.error())));
  return QuantumState(std::move(*compiled));
}

Status QuantumState::apply_gate(const QuantumGate& gate) { return state_.apply_gate(gate); }

Status QuantumState::apply_gates(std::span<const QuantumGate> gates) {
  // Gates before a failing one stay applied; the failing one and those after it are not.
  for (const QuantumGate& gate : gates)
    if (auto r = state_.apply_gate(gate); !r) return r;
  return {};
}

Status QuantumState::apply_h(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::H(q)); }
Status QuantumState::apply_s(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::S(q)); }
Status QuantumState::apply_sdg(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::Sdg(q)); }
Status QuantumState::apply_x(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::X(q)); }
Status QuantumState::apply_y(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::Y(q)); }
Status QuantumState::apply_z(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::Z(q)); }
Status QuantumState::apply_sqrt_x(std::size_t q) { return state_.apply_clifford(pelmar::CliffordGate::SqrtX(q)); }
Status QuantumState::apply_sqrt_xdg(std::size_t q) {
  return state_.apply_clifford(pelmar::CliffordGate::SqrtXdg(q));
}
Status QuantumState::apply_cx(std::size_t control, std::size_t target) {
  return state_.apply_clifford(pelmar::CliffordGate::CX(control, target));
}
Status QuantumState::apply_cz(std::size_t a, std::size_t b) { return state_.apply_clifford(pelmar::CliffordGate::CZ(a, b)); }
Status QuantumState::apply_swap(std::size_t a, std::size_t b) {
  return state_.apply_clifford(pelmar::CliffordGate::Swap(a, b));
}

Result<std::vector<bool>> QuantumState::measure(std::span<const std::size_t> qubits,
                                                const std::optional<pelmar::Seed>& seed) {
  return state_.measure(qubits, seed);
}

Result<std::vector<bool>> QuantumState::measure_all(const std::optional<pelmar::Seed>& seed) {
  return state_.measure_all(seed);
}

Result<SampleResult> QuantumState::sample(std::span<const std::size_t> qubits, std::uint64_t shots,
                                          const std::optional<pelmar::Seed>& seed) const {
  return state_.sample(qubits, shots, seed);
}

Result<double> QuantumState::exp_value(const pelmar::PauliString& pauli) const { return state_.exp_value(pauli); }

Result<std::complex<double>> QuantumState::inner_product(const QuantumState& other) const {
  return state_.inner_product(other.state_);
}

Result<double> QuantumState::norm() const {
  auto s = state_.norm_squared();
  if (!s) return std::unexpected(std::move(s.error()));
  return std::sqrt(*s);
}

Status QuantumState::project_normalized(std::size_t qubit, bool outcome) {
  if (auto r = state_.project_unnormalized(qubit, outcome); !r) return r;
  auto s = state_.norm_squared();
  if (!s) return std::unexpected(std::move(s.error()));
  // An outcome of probability zero keeps the unnormalised projection (usually no terms at all).
  if (*s < 0.0 || std::isnan(*s)) return std::unexpected(Error::impossible_projection(qubit, outcome));
  const double m = std::sqrt(*s);
  if (std::fabs(m) < kZeroNorm) return std::unexpected(Error::impossible_projection(qubit, outcome));
  const std::complex<double> g = state_.global_factor();
  state_.set_global_factor({g.real() / m, g.imag() / m});
  return {};
}

Status QuantumState::project_unnormalized(std::size_t qubit, bool outcome) {
  return state_.project_unnormalized(qubit, outcome);
}

Status QuantumState::discard(std::size_t qubit) { return state_.discard(qubit); }

Result<std::vector<std::complex<double>>> QuantumState::to_statevector() const { return state_.to_statevector(); }

}  // namespace kelvra
