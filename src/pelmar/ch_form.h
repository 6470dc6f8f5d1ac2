#pragma once
/// One n-qubit stabilizer state in the CH form of Bravyi et al.:
///
///     |φ⟩ = global_phase · e^(iπ·omega/4) · U_C U_H |s⟩,
///
/// with U_C a Clifford unitary fixing |0…0⟩ given by its tableau (G, F, M, γ), U_H = ∏_j H_j^v[j]
/// and |s⟩ a basis state.
///
///   * G row p is the Z-image of qubit p:  U_C† Z_p U_C = ∏_j Z_j^G[p][j].
///   * The X-image of qubit p is U_C† X_p U_C = e^(iπ·γ[p]/4) · ∏_j X_j^F[p][j] Z_j^M[p][j]
///     (per qubit, the Z factor acts first); γ[p] is always even.
///   * Phases are eighth-turn exponents: one byte 0..7 standing for e^(iπk/4).
///
/// Invariants of every form this library produces: G invertible over GF(2), F·Gᵀ = I, F·Mᵀ
/// symmetric, all γ even, omega in 0..7, |global_phase| = 1, all arrays n × n or of length n.
/// The represented vector always has norm 1. A form of 0 qubits (after discarding the last qubit)
/// represents the scalar global_phase · e^(iπ·omega/4).
///
/// Every fallible operation checks its indices before changing anything: a one-qubit operation
/// fails with QubitIndexOutOfBounds(q, n); a two-qubit operation checks its first index, then its
/// second, then reports DuplicateQubitIndices(first) when both are equal.

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pelmar/bits.h"
#include "pelmar/clifford_circuit.h"
#include "pelmar/error.h"

namespace pelmar {

class PauliString;

/// Answer of the computational-basis query on one qubit: 0 and 1 are `Determined` with that bit.
enum class QubitState : std::uint8_t { Zero = 0, One = 1, Superposition = 2 };

/// e^(iπk/4) evaluated as cos(kπ/4) + i·sin(kπ/4) in double precision (π/4 = 0.7853981633974483).
std::complex<double> eighth_turn(std::uint8_t k);

/// phase · 2^(−w/2) · e^(iπk/4), evaluated left to right as (phase · exp2(−0.5·w)) · eighth_turn(k).
/// Every amplitude and inner product of a form is this value (or zero), so all of them agree to
/// the last bit.
std::complex<double> scaled_phase(std::complex<double> phase, std::size_t w, std::uint8_t k);

class StabilizerCHForm {
 public:
  /// |0…0⟩ of n qubits; n = 0 fails with InvalidNumQubits(0). Throws std::bad_alloc when the
  /// ~3n² bits of the tableau cannot be held.
  static Result<StabilizerCHForm> create(std::size_t n);

  /// Turns a Clifford circuit into a form: `create(n)`, then `apply_gate` for every gate in order.
  static Result<StabilizerCHForm> from_clifford_circuit(const CliffordCircuit& circuit);

  StabilizerCHForm(const StabilizerCHForm&) = default;
  StabilizerCHForm(StabilizerCHForm&&) noexcept = default;
  StabilizerCHForm& operator=(const StabilizerCHForm&) = default;
  StabilizerCHForm& operator=(StabilizerCHForm&&) noexcept = default;
  bool operator==(const StabilizerCHForm&) const = default;

  std::size_t num_qubits() const { return n_; }

  // ---- Public gate operations (left multiplications on the represented state).
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
  Status apply_gate(const CliffordGate& gate);

  // ---- Primitive left multiplications (U_C ← g·U_C, or the equivalent change of s and omega).
  Status left_multiply_x(std::size_t q);
  Status left_multiply_s(std::size_t q);
  Status left_multiply_sdg(std::size_t q);
  Status left_multiply_h(std::size_t q);
  Status left_multiply_cx(std::size_t control, std::size_t target);
  Status left_multiply_cz(std::size_t a, std::size_t b);

  // ---- Primitive right multiplications (U_C ← U_C·g). They change the tableau without a matching
  // change of U_H|s⟩; only the superposition resolution and qubit removal use them.
  Status right_multiply_s(std::size_t q);
  Status right_multiply_cx(std::size_t control, std::size_t target);
  Status right_multiply_cz(std::size_t a, std::size_t b);

  /// Rewrites the form so that it represents
  ///     2^(−1/2) · global_phase · e^(iπ·omega/4) · U_C U_H (|a⟩ + e^(iπδ/4)|b⟩)
  /// in CH form again. δ is an eighth-turn exponent; callers pass even values.
  Status _resolve_superposition(const BitVector& a, const BitVector& b, std::uint8_t delta);

  // ---- Queries.
  Result<QubitState> get_qubit_state(std::size_t q) const;
  /// ⟨bits|φ⟩ for a list of n bits (bit j is qubit j), or InvalidQubitStateLength.
  Result<std::complex<double>> amplitude(std::span<const std::uint8_t> bits) const;
  /// The 2^n amplitudes in index order (qubit j is bit j of the index). The caller limits n.
  std::vector<std::complex<double>> to_statevector() const;
  /// ⟨self|other⟩ (self is the bra), or QubitCountMismatch("calculating inner product", ...).
  Result<std::complex<double>> inner_product(const StabilizerCHForm& other) const;

  // ---- Shape-changing operations.
  /// Normalised projection onto Z outcome `outcome` of qubit q. Returns true when the qubit already
  /// had that value with certainty (form unchanged), false when it was in superposition.
  Result<bool> project(std::size_t q, bool outcome);
  /// Removes qubit q, which must be |0⟩; qubits above q move down by one.
  Status discard(std::size_t q);
  /// self ⊗ other; self's qubits are the low qubits of the product.
  Result<StabilizerCHForm> kron(const StabilizerCHForm& other) const;

  /// Applies every non-identity factor of the Pauli string as the X, Y or Z gate.
  Status apply_pauli(const PauliString& pauli);

  /// Stores z as the global phase; |Re(z)² + Im(z)² − 1| > 1e-8 is an InternalFault.
  void set_global_phase(std::complex<double> z);

  // ---- Read access to the fields (tests and diagnostics).
  const BitMatrix& mat_g() const { return g_; }
  const BitMatrix& mat_f() const { return f_; }
  const BitMatrix& mat_m() const { return m_; }
  const std::vector<std::uint8_t>& gamma() const { return gamma_; }
  const BitVector& vec_v() const { return v_; }
  const BitVector& vec_s() const { return s_; }
  std::complex<double> global_phase() const { return global_phase_; }
  std::uint8_t omega() const { return omega_; }

 private:
  StabilizerCHForm() = default;
  explicit StabilizerCHForm(std::size_t n);  // the |0…0⟩ arrays, no check of n

  Status check_qubit(std::size_t q) const;
  Status check_qubit_pair(std::size_t a, std::size_t b) const;

  /// The X_q update on a basis vector: with the tableau and v of this form, X_q·U_C U_H|s⟩ =
  /// e^(iπk/4)·U_C U_H|s'⟩. Rewrites the n-bit word array `s` into s' and returns k (0..7).
  std::uint8_t x_on_basis(std::size_t q, std::uint64_t* s) const;

  BitMatrix g_, f_, m_;
  std::vector<std::uint8_t> gamma_;
  BitVector v_, s_;
  std::size_t n_ = 0;
  std::complex<double> global_phase_{1.0, 0.0};
  std::uint8_t omega_ = 0;
};

/// The (size + 1) × (size + 1) matrix without row and column `index`, other entries in order.
BitMatrix remove_row_col_from_matrix(std::size_t size, const BitMatrix& matrix, std::size_t index);
/// The (size + 1)-bit vector without entry `index`.
BitVector remove_element_from_vector(std::size_t size, const BitVector& vector, std::size_t index);

}  // namespace pelmar
