// Right multiplications U_C ← U_C·g. Conjugating by g first and by U_C second means the Pauli
// images are rewritten column by column: column j of G, F, M says how qubit j of the inner
// register enters each image. U_H|s⟩ is not touched; the callers compensate.

#include <cstddef>
#include <cstdint>

#include "pelmar/ch_form.h"

namespace pelmar {

Status StabilizerCHForm::right_multiply_s(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  // S† X_q S = −i·X_q Z_q: every image with an X on q gains a Z on q (M column q ⊕= F column q)
  // and the factor −i (γ += 6). The Z-images carry no X and are unchanged.
  m_.xor_col_from(q, f_, q);
  const std::size_t wq = q >> 6, bq = q & 63;
  for (std::size_t i = 0; i < n_; ++i)
    if ((f_.row(i)[wq] >> bq) & 1) gamma_[i] = static_cast<std::uint8_t>((gamma_[i] + 6) & 7);
  return {};
}

Status StabilizerCHForm::right_multiply_cx(std::size_t control, std::size_t target) {
  if (auto r = check_qubit_pair(control, target); !r) return r;
  // CX maps Z_t → Z_c Z_t, X_c → X_c X_t (and fixes Z_c, X_t); the Z-then-X order per qubit needs
  // no reordering because the two new factors sit on different qubits.
  g_.xor_col(control, target);
  f_.xor_col(target, control);
  m_.xor_col(control, target);
  return {};
}

Status StabilizerCHForm::right_multiply_cz(std::size_t a, std::size_t b) {
  if (auto r = check_qubit_pair(a, b); !r) return r;
  // CZ maps X_a → X_a Z_b and X_b → X_b Z_a. An image with X on both a and b gets Z_b X_b Z_a X_a
  // reordered against the X factors: one anticommutation, a sign.
  m_.xor_col_from(a, f_, b);
  m_.xor_col_from(b, f_, a);
  const std::size_t wa = a >> 6, ba = a & 63, wb = b >> 6, bb = b & 63;
  for (std::size_t i = 0; i < n_; ++i) {
    const std::uint64_t* row = f_.row(i);
    if (((row[wa] >> ba) & (row[wb] >> bb) & 1) != 0) gamma_[i] = static_cast<std::uint8_t>((gamma_[i] + 4) & 7);
  }
  return {};
}

}  // namespace pelmar
