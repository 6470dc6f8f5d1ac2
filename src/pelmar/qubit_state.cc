// Computational-basis value of one qubit. U_C† Z_q U_C = Z^G_q; moved through U_H, a factor on a
// qubit under a Hadamard becomes an X that flips |s⟩, so Z_q then has no definite value (each
// outcome has probability 1/2). Otherwise Z_q|φ⟩ = (−1)^parity(G_q ∧ s)·|φ⟩.

#include <cstddef>
#include <cstdint>
#include <utility>

#include "pelmar/ch_form.h"

namespace pelmar {

Result<QubitState> StabilizerCHForm::get_qubit_state(std::size_t q) const {
  if (auto r = check_qubit(q); !r) return std::unexpected(std::move(r.error()));
  const std::uint64_t* g = g_.row(q);
  const std::uint64_t* v = v_.words();
  const std::uint64_t* s = s_.words();
  std::uint64_t under_h = 0, acc = 0;
  for (std::size_t k = 0; k < v_.num_words(); ++k) {
    under_h |= g[k] & v[k];
    acc ^= g[k] & s[k];
  }
  if (under_h) return QubitState::Superposition;
  return parity(acc) ? QubitState::One : QubitState::Zero;
}

}  // namespace pelmar
