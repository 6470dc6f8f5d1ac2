#include <complex>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

Result<std::complex<double>> StabilizerDecomposedState::inner_product(const StabilizerDecomposedState& other) const {
  // ⟨ψ|χ⟩ = conj(g)·h · Σ_i Σ_j conj(c_i)·d_j·⟨φ_i|χ_j⟩. The qubit counts are checked by the CH-form
  // inner product of the first pair; with no terms on either side the sum is empty and 0.
  const std::size_t m = num_pairs();
  const std::size_t m2 = other.num_pairs();
  std::complex<double> sum{0.0, 0.0};
  for (std::size_t i = 0; i < m; ++i) {
    for (std::size_t j = 0; j < m2; ++j) {
      auto overlap = terms_[i].inner_product(other.terms_[j]);
      if (!overlap) return std::unexpected(Error::from_ch_form(std::move(overlap.error())));
      const Scalar f = coefficients_[i].conj_mul(other.coefficients_[j]);
      if (!f.is_zero()) sum += *overlap * f.value();
    }
  }
  return std::conj(global_factor_) * other.global_factor_ * sum;
}

}  // namespace kelvra
