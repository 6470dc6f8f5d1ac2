#pragma once
/// A dense state-vector reference for the tests: 2^n amplitudes, qubit j is bit j of the index.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pelmar/clifford_circuit.h"

namespace testing_support {

using Amp = std::complex<double>;

class DenseState {
 public:
  /// |0…0⟩ of n qubits.
  explicit DenseState(std::size_t n);
  explicit DenseState(std::vector<Amp> amps);

  std::size_t num_qubits() const { return n_; }
  const std::vector<Amp>& amps() const { return a_; }
  std::vector<Amp>& amps() { return a_; }

  void h(std::size_t q);
  void x(std::size_t q);
  void y(std::size_t q);
  void z(std::size_t q);
  void s(std::size_t q);
  void sdg(std::size_t q);
  void t(std::size_t q);
  void tdg(std::size_t q);
  void sqrt_x(std::size_t q);
  void sqrt_xdg(std::size_t q);
  void cx(std::size_t c, std::size_t t);
  void cz(std::size_t a, std::size_t b);
  void swap(std::size_t a, std::size_t b);
  void apply(const pelmar::CliffordGate& g);
  void apply(const pelmar::CliffordCircuit& c);

  /// Zeroes the amplitudes where qubit q differs from `outcome` (no renormalisation).
  void project(std::size_t q, bool outcome);
  /// Removes qubit q, keeping the amplitudes where it is 0.
  void discard(std::size_t q);
  double norm_squared() const;
  /// ⟨this|other⟩.
  Amp inner(const DenseState& other) const;
  /// Applies the Pauli factor letters ('I', 'X', 'Y', 'Z') given per qubit.
  void apply_pauli(std::span<const char> letters);
  /// this ⊗ other (this supplies the low qubits).
  DenseState kron(const DenseState& other) const;

 private:
  void phase_on_one(std::size_t q, Amp phase);
  std::size_t n_;
  std::vector<Amp> a_;
};

/// Largest |a_i − b_i| (infinity when the sizes differ).
double max_abs_diff(std::span<const Amp> a, std::span<const Amp> b);

}  // namespace testing_support
