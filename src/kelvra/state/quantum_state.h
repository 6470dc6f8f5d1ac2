#pragma once
/// The one state type of the Python layer: a facade over one decomposition.

#include <complex>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/error.h"
#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/pauli_string.h"

namespace kelvra {

class QuantumState {
 public:
  /// Compiles the circuit; a CompileError becomes Compile.
  static Result<QuantumState> from_circuit(const QuantumCircuit& circuit);
  explicit QuantumState(StabilizerDecomposedState state) : state_(std::move(state)) {}

  std::size_t num_qubits() const { return state_.num_qubits(); }
  std::size_t stabilizer_rank() const { return state_.stabilizer_rank(); }
  const StabilizerDecomposedState& decomposition() const { return state_; }

  Status apply_gate(const QuantumGate& gate);
  Status apply_gates(std::span<const QuantumGate> gates);
  Status apply_h(std::size_t q);
  Status apply_s(std::size_t q);
  Status apply_sdg(std::size_t q);
  Status apply_x(std::size_t q);
  Status apply_y(std::size_t q);
  Status apply_z(std::size_t q);
  Status apply_sqrt_x(std::size_t q);
  Status apply_sqrt_xdg(std::size_t q);
  Status apply_cx(std::size_t control, std::size_t target);
  Status apply_cz(std::size_t a, std::size_t b);
  Status apply_swap(std::size_t a, std::size_t b);

  Result<std::vector<bool>> measure(std::span<const std::size_t> qubits, const std::optional<pelmar::Seed>& seed);
  Result<std::vector<bool>> measure_all(const std::optional<pelmar::Seed>& seed);
  Result<SampleResult> sample(std::span<const std::size_t> qubits, std::uint64_t shots,
                              const std::optional<pelmar::Seed>& seed) const;
  Result<double> exp_value(const pelmar::PauliString& pauli) const;
  Result<std::complex<double>> inner_product(const QuantumState& other) const;
  Result<double> norm() const;
  /// Projects and renormalises; ImpossibleProjection when the outcome has probability zero (the
  /// unnormalised projection is kept).
  Status project_normalized(std::size_t qubit, bool outcome);
  Status project_unnormalized(std::size_t qubit, bool outcome);
  Status discard(std::size_t qubit);
  Result<std::vector<std::complex<double>>> to_statevector() const;

 private:
  StabilizerDecomposedState state_;
};

}  // namespace kelvra
