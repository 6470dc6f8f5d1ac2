// Tensor product φ₁ ⊗ φ₂: U_C = U_C1 ⊗ U_C2 has a block-diagonal tableau, U_H and |s⟩ are
// concatenated, and the scalar factors multiply. φ₁ supplies the low qubits.

#include <cstddef>
#include <cstdint>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

/// dst |= src shifted up by `offset` bits; src holds src_words words, dst holds dst_words words
/// and has room for every set bit of src at its shifted position.
void or_shifted(std::uint64_t* dst, std::size_t dst_words, const std::uint64_t* src, std::size_t src_words,
                std::size_t offset) {
  const std::size_t ow = offset >> 6, ob = offset & 63;
  for (std::size_t k = 0; k < src_words; ++k) {
    dst[ow + k] |= src[k] << ob;
    if (ob != 0 && ow + k + 1 < dst_words) dst[ow + k + 1] |= src[k] >> (64 - ob);
  }
}

void block_diagonal(BitMatrix& out, const BitMatrix& low, const BitMatrix& high) {
  const std::size_t n1 = low.size();
  for (std::size_t r = 0; r < low.size(); ++r) or_shifted(out.row(r), out.stride(), low.row(r), low.stride(), 0);
  for (std::size_t r = 0; r < high.size(); ++r)
    or_shifted(out.row(n1 + r), out.stride(), high.row(r), high.stride(), n1);
}

}  // namespace

Result<StabilizerCHForm> StabilizerCHForm::kron(const StabilizerCHForm& other) const {
  const std::size_t n = checked_add(n_, other.n_);
  auto made = create(n);
  if (!made) return made;
  StabilizerCHForm& r = *made;
  for (std::size_t i = 0; i < n; ++i) {  // start the blocks from zero matrices
    r.g_.set(i, i, false);
    r.f_.set(i, i, false);
  }
  block_diagonal(r.g_, g_, other.g_);
  block_diagonal(r.f_, f_, other.f_);
  block_diagonal(r.m_, m_, other.m_);
  for (std::size_t j = 0; j < n_; ++j) r.gamma_[j] = gamma_[j];
  for (std::size_t j = 0; j < other.n_; ++j) r.gamma_[n_ + j] = other.gamma_[j];
  or_shifted(r.v_.words(), r.v_.num_words(), v_.words(), v_.num_words(), 0);
  or_shifted(r.v_.words(), r.v_.num_words(), other.v_.words(), other.v_.num_words(), n_);
  or_shifted(r.s_.words(), r.s_.num_words(), s_.words(), s_.num_words(), 0);
  or_shifted(r.s_.words(), r.s_.num_words(), other.s_.words(), other.s_.num_words(), n_);
  r.set_global_phase(global_phase_ * other.global_phase_);
  r.omega_ = static_cast<std::uint8_t>((omega_ + other.omega_) & 7);
  return made;
}

}  // namespace pelmar
