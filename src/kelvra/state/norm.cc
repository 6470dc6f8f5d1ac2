#include <complex>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

Result<double> StabilizerDecomposedState::norm_squared() const {
  // ⟨ψ|ψ⟩ = |g|² · (Σ_i |c_i|²⟨φ_i|φ_i⟩ + 2·Σ_{i<j} Re(conj(c_i)·c_j·⟨φ_i|φ_j⟩)): the upper triangle
  // of the Gram matrix, m(m+1)/2 CH-form inner products. Every product is computed, even against
  // a zero coefficient, so a broken term is reported rather than skipped.
  const std::size_t m = num_pairs();
  double sum = 0.0;
  for (std::size_t i = 0; i < m; ++i) {
    const pelmar::StabilizerCHForm& bra = terms_[i];
    auto diagonal = bra.inner_product(bra);
    if (!diagonal) return std::unexpected(Error::from_ch_form(std::move(diagonal.error())));
    sum += (*diagonal * coefficients_[i].squared_magnitude()).real();
    for (std::size_t j = i + 1; j < m; ++j) {
      auto overlap = bra.inner_product(terms_[j]);
      if (!overlap) return std::unexpected(Error::from_ch_form(std::move(overlap.error())));
      // conj(c_i)·c_j = 2^(−(r_i+r_j)/2) · e^(iπ(k_j−k_i)/4), or 0.
      const std::complex<double> f = coefficients_[i].conj_mul(coefficients_[j]).value();
      sum += 2.0 * (*overlap * f).real();
    }
  }
  const double gr = global_factor_.real(), gi = global_factor_.imag();
  return (gr * gr + gi * gi) * sum;
}

}  // namespace kelvra
