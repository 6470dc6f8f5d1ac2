// Removal of a qubit in |0⟩. First the qubit is given a Hadamard-free basis bit 0, then row and
// column q of G are made the unit vector e_q by gates that do not change the vector (right CX
// controlled by q, left CX controlled by q, right CX onto q whose s-changes cancel). U_C then
// acts on the block where qubit q is 0 as the tableau without row and column q, which is what is
// kept.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

/// Copies the `src_bits`-bit word array `src` without bit `index` into `dst`, which holds
/// words_for(src_bits − 1) words: bits above `index` move down by one, across word boundaries.
void copy_without_bit(const std::uint64_t* src, std::size_t src_bits, std::size_t index, std::uint64_t* dst) {
  const std::size_t src_words = words_for(src_bits);
  const std::size_t dst_words = words_for(src_bits - 1);
  const std::size_t wi = index >> 6;
  const std::uint64_t below = (std::uint64_t{1} << (index & 63)) - 1;
  for (std::size_t k = 0; k < dst_words; ++k) {
    const std::uint64_t cur = src[k];
    const std::uint64_t next = k + 1 < src_words ? src[k + 1] : 0;
    if (k < wi)
      dst[k] = cur;
    else if (k == wi)
      dst[k] = (cur & below) | ((cur >> 1) & ~below) | (next << 63);
    else
      dst[k] = (cur >> 1) | (next << 63);
  }
}

/// Lowest j with bit j set in `word(k)` for the word index k, or kNone.
template <class WordFn>
std::size_t lowest_set(std::size_t num_words, WordFn word) {
  for (std::size_t k = 0; k < num_words; ++k)
    if (std::uint64_t w = word(k)) return 64 * k + static_cast<std::size_t>(std::countr_zero(w));
  return kNone;
}

}  // namespace

BitMatrix remove_row_col_from_matrix(std::size_t size, const BitMatrix& matrix, std::size_t index) {
  if (matrix.size() != size + 1 || index > size)
    throw InternalFault("Row and column removal needs a matrix one larger than the result.");
  BitMatrix out(size);
  std::size_t dst = 0;
  for (std::size_t r = 0; r <= size; ++r) {
    if (r == index) continue;
    copy_without_bit(matrix.row(r), size + 1, index, out.row(dst++));
  }
  return out;
}

BitVector remove_element_from_vector(std::size_t size, const BitVector& vector, std::size_t index) {
  if (vector.size() != size + 1 || index > size)
    throw InternalFault("Element removal needs a vector one longer than the result.");
  BitVector out(size);
  copy_without_bit(vector.words(), size + 1, index, out.words());
  return out;
}

Status StabilizerCHForm::discard(std::size_t q) {
  // A qubit in superposition, or fixed at 1, is not |0⟩: refuse before anything changes.
  auto state = get_qubit_state(q);
  if (!state) return std::unexpected(std::move(state.error()));
  if (*state != QubitState::Zero) return std::unexpected(Error::cannot_discard_qubit(q));

  const std::size_t words = v_.num_words();
  const std::uint64_t* v = v_.words();
  const std::uint64_t* s = s_.words();
  const std::uint64_t last = last_word_mask(n_);
  auto valid = [&](std::size_t k) { return k + 1 == words ? last : ~std::uint64_t{0}; };

  // Give q a Hadamard-free basis bit 0, via a partner qubit that already has one.
  if (v_.get(q) || s_.get(q)) {
    std::size_t i = lowest_set(words, [&](std::size_t k) {
      std::uint64_t w = ~v[k] & ~s[k] & valid(k);
      if (k == (q >> 6)) w &= ~(std::uint64_t{1} << (q & 63));
      return w;
    });
    if (i == kNone) {
      // Two Hadamard-free ones k < i: CX(k, i) turns s[i] into 0.
      const std::size_t k = lowest_set(words, [&](std::size_t x) { return ~v[x] & s[x]; });
      if (k == kNone) return std::unexpected(Error::cannot_discard_qubit(q));
      i = lowest_set(words, [&](std::size_t x) {
        std::uint64_t w = ~v[x] & s[x];
        if (x < (k >> 6)) return std::uint64_t{0};
        if (x == (k >> 6)) w &= ~std::uint64_t{0} << (k & 63) << 1;
        return w;
      });
      if (i == kNone) return std::unexpected(Error::cannot_discard_qubit(q));
      if (auto r = right_multiply_cx(k, i); !r) return r;
      s_.set(i, false);
    }
    if (i != q) {
      // U_C ← U_C·SWAP(i, q), with v and s exchanged to match.
      if (auto r = right_multiply_cx(i, q); !r) return r;
      if (auto r = right_multiply_cx(q, i); !r) return r;
      if (auto r = right_multiply_cx(i, q); !r) return r;
      const bool vi = v_.get(i), si = s_.get(i);
      v_.set(i, v_.get(q));
      s_.set(i, s_.get(q));
      v_.set(q, vi);
      s_.set(q, si);
    }
  }

  // Row q and column q of G become e_q.
  if (!g_.get(q, q)) {
    const std::uint64_t* gq = g_.row(q);
    const std::size_t j = lowest_set(words, [&](std::size_t k) { return gq[k]; });
    if (j == kNone) throw InternalFault("Cannot zero G row due to G matrix state.");
    if (auto r = right_multiply_cx(q, j); !r) return r;
  }
  for (std::size_t k = 0; k < n_; ++k) {
    if (k != q && g_.get(k, q)) {
      if (auto r = left_multiply_cx(q, k); !r) return r;
    }
  }
  {
    const std::uint64_t* gq = g_.row(q);
    for (std::size_t k = 0; k < words; ++k) {
      std::uint64_t w = gq[k] & v[k];
      if (k == (q >> 6)) w &= ~(std::uint64_t{1} << (q & 63));
      if (w) throw InternalFault("Cannot zero G column due to v vector state");
    }
  }
  for (std::size_t k = 0; k < n_; ++k) {
    if (k != q && g_.get(q, k)) {
      if (auto r = right_multiply_cx(k, q); !r) return r;
    }
  }

  // Drop qubit q; qubit j > q becomes j − 1.
  const std::size_t m = n_ - 1;
  g_ = remove_row_col_from_matrix(m, g_, q);
  f_ = remove_row_col_from_matrix(m, f_, q);
  m_ = remove_row_col_from_matrix(m, m_, q);
  gamma_.erase(gamma_.begin() + static_cast<std::ptrdiff_t>(q));
  v_ = remove_element_from_vector(m, v_, q);
  s_ = remove_element_from_vector(m, s_, q);
  n_ = m;
  return {};
}

}  // namespace pelmar
