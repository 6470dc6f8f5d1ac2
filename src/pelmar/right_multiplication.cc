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
  const std::size_t wq = q >> 6, bq = q & 63, stride = f_.stride();
  const std::uint64_t* f = f_.row(0) + wq;
  std::uint64_t* m = m_.row(0) + wq;
  std::uint8_t* gamma = gamma_.data();
  for (std::size_t i = 0, n = n_; i < n; ++i) {
    const std::uint64_t x = (f[i * stride] >> bq) & 1;
    m[i * stride] ^= x << bq;
    gamma[i] = static_cast<std::uint8_t>((gamma[i] + 6 * x) & 7);
  }
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
  const std::size_t wa = a >> 6, ba = a & 63, wb = b >> 6, bb = b & 63, stride = f_.stride();
  const std::uint64_t* f0 = f_.row(0);
  std::uint64_t* m0 = m_.row(0);
  std::uint8_t* gamma = gamma_.data();
  for (std::size_t i = 0, n = n_; i < n; ++i) {
    const std::uint64_t* row = f0 + i * stride;
    std::uint64_t* m = m0 + i * stride;
    const std::uint64_t xa = (row[wa] >> ba) & 1, xb = (row[wb] >> bb) & 1;
    m[wa] ^= xb << ba;
    m[wb] ^= xa << bb;
    gamma[i] = static_cast<std::uint8_t>((gamma[i] + 4 * (xa & xb)) & 7);
  }
  return {};
}

}  // namespace pelmar
