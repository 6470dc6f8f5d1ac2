#pragma once
/// A weighted sum of stabilizer states: ψ = g · Σ_i c_i · φ_i with CH-form terms φ_i, exact
/// coefficients c_i and a complex global factor g (1 when made). The number of terms is the
/// stabilizer rank; only compilation, projection and tensor products change it.
///
/// Invariants: the term and coefficient lists have the same length (every walk pairs them and stops
/// at the shorter one should they ever differ); every term has `num_qubits` qubits; the lists may be
/// empty (the zero vector), and every per-term operation then succeeds doing nothing.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/error.h"
#include "kelvra/state/scalar.h"
#include "pelmar/ch_form.h"
#include "pelmar/clifford_circuit.h"
#include "pelmar/pauli_string.h"

namespace kelvra {

/// One (outcome list, shot count) pair per distinct outcome, in the sampler's depth-first order.
using SampleResult = std::vector<std::pair<std::vector<bool>, std::uint64_t>>;

class StabilizerDecomposedState {
 public:
  StabilizerDecomposedState(std::vector<pelmar::StabilizerCHForm> terms, std::vector<Scalar> coefficients,
                            std::size_t num_qubits)
      : terms_(std::move(terms)), coefficients_(std::move(coefficients)), num_qubits_(num_qubits) {}

  std::size_t num_qubits() const { return num_qubits_; }
  std::size_t stabilizer_rank() const { return terms_.size(); }
  /// Number of (term, coefficient) pairs that every walk visits.
  std::size_t num_pairs() const { return std::min(terms_.size(), coefficients_.size()); }

  const std::vector<pelmar::StabilizerCHForm>& terms() const { return terms_; }
  const std::vector<Scalar>& coefficients() const { return coefficients_; }
  std::vector<pelmar::StabilizerCHForm>& terms() { return terms_; }
  std::vector<Scalar>& coefficients() { return coefficients_; }
  std::complex<double> global_factor() const { return global_factor_; }
  void set_global_factor(std::complex<double> g) { global_factor_ = g; }
  void set_num_qubits(std::size_t n) { num_qubits_ = n; }

  /// EmptyQubitIndices, then the first index ≥ n in list order, then the smallest repeated index.
  static Status validate_qargs(std::size_t n, std::span<const std::size_t> qargs);

  // ---- Gates (gates.cc).
  /// T, Tdg and CCX: NonCliffordGateApplication before any term is touched; otherwise the CH-form
  /// gate on every term, the first failure returned as ChForm.
  Status apply_gate(const QuantumGate& gate);
  /// The CH-form gate on every term in order; the first failure is returned as ChForm.
  Status apply_clifford(const pelmar::CliffordGate& gate);
  /// X on every term.
  Status apply_x(std::size_t q);

  // ---- Norm, projection, measurement (norm.cc, projection.cc, measurement.cc).
  Result<double> norm_squared() const;
  /// P·ψ for the projector P onto `outcome` of `qubit`; never renormalises. Terms whose qubit is
  /// determined with the other value are dropped.
  Status project_unnormalized(std::size_t qubit, bool outcome);
  Result<std::vector<bool>> measure(std::span<const std::size_t> qubits, const std::optional<pelmar::Seed>& seed);
  Result<std::vector<bool>> measure_all(const std::optional<pelmar::Seed>& seed);

  // ---- Sampling (sampling.cc).
  Result<SampleResult> sample(std::span<const std::size_t> qubits, std::uint64_t shots,
                              const std::optional<pelmar::Seed>& seed) const;

  // ---- Queries (exp_value.cc, inner_product.cc, statevector.cc).
  /// ⟨ψ|P|ψ⟩, not divided by the squared norm.
  Result<double> exp_value(const pelmar::PauliString& pauli) const;
  /// ⟨this|other⟩.
  Result<std::complex<double>> inner_product(const StabilizerDecomposedState& other) const;
  /// 2^n amplitudes; StatevectorTooLarge for 29 or more qubits.
  Result<std::vector<std::complex<double>>> to_statevector() const;

  // ---- Structure (discard.cc, kron.cc).
  /// Removes a qubit that is |0⟩ in every term; checks every term before changing any.
  Status discard(std::size_t qubit);
  /// this ⊗ other, terms ordered this-major, coefficients multiplied, global factor 1.
  Result<StabilizerDecomposedState> kron(const StabilizerDecomposedState& other) const;

 private:
  std::vector<pelmar::StabilizerCHForm> terms_;
  std::vector<Scalar> coefficients_;
  std::size_t num_qubits_;
  std::complex<double> global_factor_{1.0, 0.0};
};

}  // namespace kelvra
