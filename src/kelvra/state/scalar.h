#pragma once
/// An exact coefficient: zero, or 2^(−r/2) · e^(iπk/4) with a phase k in 0..7 and a signed 64-bit
/// exponent r (r factors of 1/√2; r may be negative).

#include <complex>
#include <cstdint>

namespace kelvra {

class Scalar {
 public:
  /// The zero scalar.
  constexpr Scalar() = default;
  static constexpr Scalar zero() { return {}; }
  static constexpr Scalar one() { return make(0, 0); }
  /// 2^(−r/2) · e^(iπk/4); k is reduced mod 8.
  static constexpr Scalar make(std::uint8_t k, std::int64_t r) {
    Scalar s;
    s.nonzero_ = 1;
    s.phase_ = static_cast<std::uint8_t>(k & 7);
    s.exponent_ = r;
    return s;
  }

  constexpr bool is_zero() const { return nonzero_ == 0; }
  constexpr std::uint8_t phase() const { return phase_; }
  constexpr std::int64_t exponent() const { return exponent_; }

  /// a · b.
  Scalar operator*(const Scalar& b) const;
  /// conj(this) · b.
  Scalar conj_mul(const Scalar& b) const;
  /// this / √2.
  Scalar times_inv_sqrt2() const;
  /// this · √2^d.
  Scalar times_sqrt2_pow(std::uint64_t d) const;
  /// this · e^(−iπ/4).
  Scalar times_exp_minus_i_pi_4() const;
  /// |this|² = exp2(−r), 0 for zero.
  double squared_magnitude() const;
  /// exp2(−r/2) · (cos(kπ/4) + i sin(kπ/4)), 0 for zero.
  std::complex<double> value() const;

  bool operator==(const Scalar&) const = default;

 private:
  std::uint8_t nonzero_ = 0;
  std::uint8_t phase_ = 0;
  std::int64_t exponent_ = 0;
};

}  // namespace kelvra
