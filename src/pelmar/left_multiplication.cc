// Left multiplications: a gate g applied to the represented state. For S, S†, CX and CZ the
// tableau of U_C is conjugated (U_C ← g·U_C); X is absorbed into s and omega; H becomes a
// superposition of two basis states that the resolution turns back into CH form.

#include <cstddef>
#include <cstdint>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

/// Scratch for the two basis vectors of a Hadamard update, reused across calls on this thread.
struct HadamardScratch {
  BitVector u, t;
};
thread_local HadamardScratch hadamard_scratch;

}  // namespace

std::uint8_t StabilizerCHForm::x_on_basis(std::size_t q, std::uint64_t* s) const {
  // U_C† X_q U_C = e^(iπγ[q]/4) · X^F_q Z^M_q. Moved through U_H, a Hadamard-free qubit j sees
  // X^F[q][j] Z^M[q][j] and one under a Hadamard sees Z^F[q][j] X^M[q][j]. The Z factors meet
  // |s⟩ first (Z before X for a free qubit, X before Z under a Hadamard), which gives the sign
  //     α = parity(¬v ∧ M_q ∧ s) ⊕ parity(v ∧ F_q ∧ (M_q ⊕ s)),
  // and the X factors flip s where (¬v ∧ F_q) ∨ (v ∧ M_q).
  const std::uint64_t* f = f_.row(q);
  const std::uint64_t* m = m_.row(q);
  const std::uint64_t* v = v_.words();
  std::uint64_t acc = 0;
  for (std::size_t k = 0; k < v_.num_words(); ++k) {
    acc ^= (~v[k] & m[k] & s[k]) ^ (v[k] & f[k] & (m[k] ^ s[k]));
    s[k] ^= (~v[k] & f[k]) | (v[k] & m[k]);
  }
  return static_cast<std::uint8_t>((4 * parity(acc) + gamma_[q]) & 7);
}

Status StabilizerCHForm::left_multiply_x(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  omega_ = static_cast<std::uint8_t>((omega_ + x_on_basis(q, s_.words())) & 7);
  return {};
}

Status StabilizerCHForm::left_multiply_s(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  // S† X_q S = −i·X_q Z_q: the X-image of q takes on the Z-image (M_q ⊕= G_q) and the factor −i.
  m_.xor_row_from(q, g_, q);
  gamma_[q] = static_cast<std::uint8_t>((gamma_[q] + 6) & 7);
  return {};
}

Status StabilizerCHForm::left_multiply_sdg(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  // S X_q S† = i·X_q Z_q.
  m_.xor_row_from(q, g_, q);
  gamma_[q] = static_cast<std::uint8_t>((gamma_[q] + 2) & 7);
  return {};
}

Status StabilizerCHForm::left_multiply_cx(std::size_t control, std::size_t target) {
  if (auto r = check_qubit_pair(control, target); !r) return r;
  // CX conjugation: X_c → X_c X_t and Z_t → Z_c Z_t. Reordering the product of the two X-images
  // into the Z-then-X order costs the sign (−1)^parity(M_c ∧ F_t).
  const std::uint64_t* mc = m_.row(control);
  const std::uint64_t* ft = f_.row(target);
  std::uint64_t acc = 0;
  for (std::size_t k = 0; k < f_.stride(); ++k) acc ^= mc[k] & ft[k];
  gamma_[control] =
      static_cast<std::uint8_t>((gamma_[control] + gamma_[target] + 4 * parity(acc)) & 7);
  g_.xor_row(target, control);
  f_.xor_row(control, target);
  m_.xor_row(control, target);
  return {};
}

Status StabilizerCHForm::left_multiply_cz(std::size_t a, std::size_t b) {
  if (auto r = check_qubit_pair(a, b); !r) return r;
  // CZ conjugation: X_a → X_a Z_b and X_b → X_b Z_a; the Z-images are unchanged.
  m_.xor_row_from(a, g_, b);
  m_.xor_row_from(b, g_, a);
  return {};
}

Status StabilizerCHForm::left_multiply_h(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  // H_q = (X_q + Z_q)/√2. The Z-image of q flips the bits of G_q under a Hadamard and gives the
  // sign β; the X-image gives e^(iπγ[q]/4), the sign α and the flips of t. The result is
  //     2^(−1/2) · e^(iπβ) · U_C U_H (|u⟩ + e^(iπδ/4)|t⟩),   δ = γ[q] + 4(α ⊕ β).
  HadamardScratch& sc = hadamard_scratch;
  sc.u.reset(n_);
  sc.t.reset(n_);
  const std::uint64_t* g = g_.row(q);
  const std::uint64_t* f = f_.row(q);
  const std::uint64_t* m = m_.row(q);
  const std::uint64_t* v = v_.words();
  const std::uint64_t* s = s_.words();
  std::uint64_t* u = sc.u.words();
  std::uint64_t* t = sc.t.words();
  std::uint64_t alpha = 0, beta = 0;
  for (std::size_t k = 0; k < v_.num_words(); ++k) {
    u[k] = s[k] ^ (g[k] & v[k]);
    t[k] = s[k] ^ (f[k] & ~v[k]) ^ (m[k] & v[k]);
    beta ^= g[k] & ~v[k] & s[k];
    alpha ^= (~v[k] & m[k] & s[k]) ^ (v[k] & f[k] & (m[k] ^ s[k]));
  }
  const unsigned b = parity(beta) ? 1 : 0;
  const unsigned a = parity(alpha) ? 1 : 0;
  const auto delta = static_cast<std::uint8_t>((gamma_[q] + 4 * (a ^ b)) & 7);
  if (b) omega_ = static_cast<std::uint8_t>((omega_ + 4) & 7);
  return _resolve_superposition(sc.u, sc.t, delta);
}

}  // namespace pelmar
