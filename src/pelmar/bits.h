#pragma once
/// Packed bit vectors and square bit matrices over GF(2).
///
/// Encoding: bit i of a vector lives in word i / 64 at bit position i % 64. A matrix of size n is
/// stored row-major with `stride() = ceil(n / 64)` words per row, so row operations are word loops
/// and column operations touch one bit per row.
///
/// Invariant: the padding bits above bit n - 1 in the last word of a vector or of every matrix row
/// are always zero. Popcounts and parities over whole words, and `==`, rely on it; every mutator
/// keeps it (only `set`/`flip` with in-range indices and word operations on in-range words exist).

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace pelmar {

/// Number of 64-bit words that hold `bits` bits.
constexpr std::size_t words_for(std::size_t bits) { return bits / 64 + (bits % 64 != 0); }

/// a * b, or std::bad_alloc when the product does not fit in a size_t.
inline std::size_t checked_mul(std::size_t a, std::size_t b) {
  std::size_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw std::bad_alloc();
  return r;
}

/// a + b, or std::bad_alloc when the sum does not fit in a size_t.
inline std::size_t checked_add(std::size_t a, std::size_t b) {
  std::size_t r;
  if (__builtin_add_overflow(a, b, &r)) throw std::bad_alloc();
  return r;
}

/// Parity (sum mod 2) of the set bits of a word.
constexpr bool parity(std::uint64_t w) { return __builtin_parityll(w) != 0; }

/// Mask of the valid bits in the last word of an n-bit row (all ones when n is a multiple of 64).
constexpr std::uint64_t last_word_mask(std::size_t n) {
  return n % 64 == 0 ? ~std::uint64_t{0} : (std::uint64_t{1} << (n % 64)) - 1;
}

class BitVector {
 public:
  BitVector() = default;
  /// n zero bits.
  explicit BitVector(std::size_t n) : n_(n), w_(words_for(n), 0) {}

  std::size_t size() const { return n_; }
  std::size_t num_words() const { return w_.size(); }
  std::uint64_t* words() { return w_.data(); }
  const std::uint64_t* words() const { return w_.data(); }

  bool get(std::size_t i) const { return (w_[i >> 6] >> (i & 63)) & 1; }
  void set(std::size_t i, bool b) {
    std::uint64_t m = std::uint64_t{1} << (i & 63);
    w_[i >> 6] = b ? (w_[i >> 6] | m) : (w_[i >> 6] & ~m);
  }
  void flip(std::size_t i) { w_[i >> 6] ^= std::uint64_t{1} << (i & 63); }
  void clear() {
    for (auto& w : w_) w = 0;
  }
  /// Becomes n zero bits, reusing the storage when it is large enough (scratch buffers).
  void reset(std::size_t n) {
    n_ = n;
    w_.assign(words_for(n), 0);
  }
  std::size_t popcount() const {
    std::size_t c = 0;
    for (auto w : w_) c += static_cast<std::size_t>(std::popcount(w));
    return c;
  }
  bool any() const {
    for (auto w : w_)
      if (w) return true;
    return false;
  }
  BitVector& operator^=(const BitVector& o) {
    for (std::size_t k = 0; k < w_.size(); ++k) w_[k] ^= o.w_[k];
    return *this;
  }
  bool operator==(const BitVector&) const = default;

 private:
  std::size_t n_ = 0;
  std::vector<std::uint64_t> w_;
};

class BitMatrix {
 public:
  BitMatrix() = default;
  /// n × n zeros. Throws std::bad_alloc when n² bits cannot be addressed.
  explicit BitMatrix(std::size_t n) : n_(n), stride_(words_for(n)), w_(checked_mul(n, words_for(n)), 0) {}

  static BitMatrix identity(std::size_t n) {
    BitMatrix m(n);
    for (std::size_t i = 0; i < n; ++i) m.set(i, i, true);
    return m;
  }

  std::size_t size() const { return n_; }
  std::size_t stride() const { return stride_; }
  std::uint64_t* row(std::size_t r) { return w_.data() + r * stride_; }
  const std::uint64_t* row(std::size_t r) const { return w_.data() + r * stride_; }

  bool get(std::size_t r, std::size_t c) const { return (row(r)[c >> 6] >> (c & 63)) & 1; }
  void set(std::size_t r, std::size_t c, bool b) {
    std::uint64_t m = std::uint64_t{1} << (c & 63);
    std::uint64_t& w = row(r)[c >> 6];
    w = b ? (w | m) : (w & ~m);
  }
  void flip(std::size_t r, std::size_t c) { row(r)[c >> 6] ^= std::uint64_t{1} << (c & 63); }

  /// row dst ^= row src.
  void xor_row(std::size_t dst, std::size_t src) {
    std::uint64_t* d = row(dst);
    const std::uint64_t* s = row(src);
    for (std::size_t k = 0; k < stride_; ++k) d[k] ^= s[k];
  }
  /// row dst ^= row src of another matrix of the same size.
  void xor_row_from(std::size_t dst, const BitMatrix& other, std::size_t src) {
    std::uint64_t* d = row(dst);
    const std::uint64_t* s = other.row(src);
    for (std::size_t k = 0; k < stride_; ++k) d[k] ^= s[k];
  }
  /// column dst ^= column src (one bit per row).
  void xor_col(std::size_t dst, std::size_t src) {
    const std::size_t ws = src >> 6, bs = src & 63, wd = dst >> 6, bd = dst & 63;
    for (std::size_t r = 0; r < n_; ++r) {
      std::uint64_t* p = row(r);
      p[wd] ^= ((p[ws] >> bs) & 1) << bd;
    }
  }
  /// column dst ^= column src of another matrix of the same size.
  void xor_col_from(std::size_t dst, const BitMatrix& other, std::size_t src) {
    const std::size_t ws = src >> 6, bs = src & 63, wd = dst >> 6, bd = dst & 63;
    for (std::size_t r = 0; r < n_; ++r) row(r)[wd] ^= ((other.row(r)[ws] >> bs) & 1) << bd;
  }
  void swap_rows(std::size_t a, std::size_t b) {
    std::uint64_t* x = row(a);
    std::uint64_t* y = row(b);
    for (std::size_t k = 0; k < stride_; ++k) std::swap(x[k], y[k]);
  }

  bool operator==(const BitMatrix&) const = default;

 private:
  std::size_t n_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint64_t> w_;
};

}  // namespace pelmar
