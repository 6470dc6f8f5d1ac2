#include <algorithm>
#include <complex>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

namespace {

/// InvalidPauliStringLength unless the string fits n qubits: a dense string has exactly n letters,
/// a sparse one names no qubit ≥ n (an empty sparse string counts as naming qubit 0).
Status check_pauli_width(const pelmar::PauliString& pauli, std::size_t n) {
  if (pauli.form() == pelmar::PauliString::Form::Dense) {
    const std::size_t length = pauli.dense_paulis().size();
    if (length != n) return std::unexpected(Error::invalid_pauli_string_length(n, length));
    return {};
  }
  std::size_t largest = 0;
  for (const auto& [qubit, letter] : pauli.sparse_terms()) largest = std::max(largest, qubit);
  if (largest >= n) return std::unexpected(Error::invalid_pauli_string_length(n, largest + 1));
  return {};
}

}  // namespace

Result<double> StabilizerDecomposedState::exp_value(const pelmar::PauliString& pauli) const {
  if (auto fits = check_pauli_width(pauli, num_qubits_); !fits) return std::unexpected(std::move(fits.error()));

  // ⟨ψ|P|ψ⟩ = |g|² · (Σ_i |c_i|²⟨φ_i|Pφ_i⟩ + 2·Σ_{j>i} Re(conj(c_j)·c_i·⟨φ_j|Pφ_i⟩)): P is Hermitian,
  // so ⟨φ_i|Pφ_j⟩ = conj⟨φ_j|Pφ_i⟩ and the lower triangle is enough. P is applied once per term.
  const std::size_t m = num_pairs();
  double sum = 0.0;
  for (std::size_t i = 0; i < m; ++i) {
    pelmar::StabilizerCHForm image = terms_[i];
    if (auto r = image.apply_pauli(pauli); !r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
    auto diagonal = terms_[i].inner_product(image);
    if (!diagonal) return std::unexpected(Error::from_ch_form(std::move(diagonal.error())));
    sum += (*diagonal * coefficients_[i].squared_magnitude()).real();
    for (std::size_t j = i + 1; j < m; ++j) {
      auto overlap = terms_[j].inner_product(image);
      if (!overlap) return std::unexpected(Error::from_ch_form(std::move(overlap.error())));
      const std::complex<double> f = coefficients_[j].conj_mul(coefficients_[i]).value();
      sum += 2.0 * (*overlap * f).real();
    }
  }
  const double gr = global_factor_.real(), gi = global_factor_.imag();
  return (gr * gr + gi * gi) * sum;
}

}  // namespace kelvra
