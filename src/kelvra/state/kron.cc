#include <new>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/bits.h"

namespace kelvra {

Result<StabilizerDecomposedState> StabilizerDecomposedState::kron(const StabilizerDecomposedState& other) const {
  const std::size_t ma = num_pairs();
  const std::size_t mb = other.num_pairs();
  const std::size_t m = pelmar::checked_mul(ma, mb);
  const std::size_t n = pelmar::checked_add(num_qubits_, other.num_qubits_);

  std::vector<pelmar::StabilizerCHForm> terms;
  std::vector<Scalar> coefficients;
  if (m > terms.max_size()) throw std::bad_alloc();
  terms.reserve(m);
  coefficients.reserve(m);
  // Term i·m_B + j is a_i ⊗ b_j; this state's qubits are the low qubits of every product.
  for (std::size_t i = 0; i < ma; ++i) {
    for (std::size_t j = 0; j < mb; ++j) {
      auto t = terms_[i].kron(other.terms_[j]);
      if (!t) return std::unexpected(Error::from_ch_form(std::move(t.error())));
      terms.push_back(std::move(*t));
      coefficients.push_back(coefficients_[i] * other.coefficients_[j]);
    }
  }
  // The operands' global factors are not carried over: callers pass factors of 1.
  return StabilizerDecomposedState(std::move(terms), std::move(coefficients), n);
}

}  // namespace kelvra
