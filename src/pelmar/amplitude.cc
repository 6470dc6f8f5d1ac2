// Amplitudes and the state vector. ⟨x|φ⟩ = ⟨0…0|X^x|φ⟩, and X^x|φ⟩ is again a CH form that
// differs from φ only in s and omega; since ⟨0…0|U_C = ⟨0…0|, the amplitude is
//     global_phase · e^(iπ·omega'/4) · ⟨0…0|U_H|s'⟩,
// which is 0 when some Hadamard-free qubit has s'[j] = 1 and 2^(−w/2)·e^(iπ·omega'/4) otherwise,
// w being the number of Hadamards.

#include <bit>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

thread_local std::vector<std::uint64_t> amplitude_scratch;

/// True when ⟨0…0|U_H|s⟩ ≠ 0, i.e. every set bit of s sits under a Hadamard.
bool basis_overlaps_zero(const std::uint64_t* s, const BitVector& v) {
  const std::uint64_t* vw = v.words();
  for (std::size_t k = 0; k < v.num_words(); ++k)
    if (s[k] & ~vw[k]) return false;
  return true;
}

}  // namespace

Result<std::complex<double>> StabilizerCHForm::amplitude(std::span<const std::uint8_t> bits) const {
  if (bits.size() != n_) return std::unexpected(Error::invalid_qubit_state_length(bits.size(), n_));
  // Only s and omega change under X, so the copy of the form is a copy of those two.
  std::vector<std::uint64_t>& s = amplitude_scratch;
  s.assign(s_.words(), s_.words() + s_.num_words());
  unsigned omega = omega_;
  for (std::size_t j = 0; j < n_; ++j)
    if (bits[j]) omega = (omega + x_on_basis(j, s.data())) & 7;
  if (!basis_overlaps_zero(s.data(), v_)) return std::complex<double>(0.0, 0.0);
  return scaled_phase(global_phase_, v_.popcount(), static_cast<std::uint8_t>(omega));
}

std::vector<std::complex<double>> StabilizerCHForm::to_statevector() const {
  // 16 bytes per entry: 2^n entries must be addressable in bytes.
  if (n_ >= 63) throw std::bad_alloc();
  const std::size_t size = std::size_t{1} << n_;
  if (checked_mul(size, sizeof(std::complex<double>)) > static_cast<std::size_t>(PTRDIFF_MAX))
    throw std::bad_alloc();
  std::vector<std::complex<double>> out(size, std::complex<double>(0.0, 0.0));

  // Every nonzero entry is one of eight values, computed by the same function as `amplitude`.
  const std::size_t w = v_.popcount();
  std::complex<double> value[8];
  for (std::uint8_t k = 0; k < 8; ++k) value[k] = scaled_phase(global_phase_, w, k);

  // Walk the indices in Gray-code order: step i applies one X on the qubit of the lowest set bit
  // of i, so the basis vector reached is i ^ (i >> 1). X gates commute, and (s', omega') of X^x|φ⟩
  // is unique, so this gives exactly the s' and omega' of a fresh copy with X applied per set bit.
  std::vector<std::uint64_t> s(s_.words(), s_.words() + s_.num_words());
  unsigned omega = omega_;
  for (std::size_t i = 0; i < size; ++i) {
    if (i != 0) omega = (omega + x_on_basis(static_cast<std::size_t>(std::countr_zero(i)), s.data())) & 7;
    if (basis_overlaps_zero(s.data(), v_)) out[i ^ (i >> 1)] = value[omega];
  }
  return out;
}

}  // namespace pelmar
