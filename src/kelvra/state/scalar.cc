#include "kelvra/state/scalar.h"

#include <cmath>

namespace kelvra {

namespace {

// Exponent arithmetic wraps through uint64_t: it can never be undefined, and no exponent a real
// computation produces comes anywhere near ±2^63.
std::int64_t add_exponents(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

constexpr double kPiOver4 = 0.7853981633974483;

}  // namespace

Scalar Scalar::operator*(const Scalar& b) const {
  if (is_zero() || b.is_zero()) return zero();
  return make(static_cast<std::uint8_t>(phase_ + b.phase_), add_exponents(exponent_, b.exponent_));
}

Scalar Scalar::conj_mul(const Scalar& b) const {
  if (is_zero() || b.is_zero()) return zero();
  // conj(2^(−r/2) e^(iπk/4)) = 2^(−r/2) e^(−iπk/4): the magnitudes still multiply.
  return make(static_cast<std::uint8_t>(b.phase_ + 8 - phase_), add_exponents(exponent_, b.exponent_));
}

Scalar Scalar::times_inv_sqrt2() const {
  if (is_zero()) return zero();
  return make(phase_, add_exponents(exponent_, 1));
}

Scalar Scalar::times_sqrt2_pow(std::uint64_t d) const {
  if (is_zero()) return zero();
  return make(phase_, static_cast<std::int64_t>(static_cast<std::uint64_t>(exponent_) - d));
}

Scalar Scalar::times_exp_minus_i_pi_4() const {
  if (is_zero()) return zero();
  return make(static_cast<std::uint8_t>(phase_ + 7), exponent_);
}

double Scalar::squared_magnitude() const {
  if (is_zero()) return 0.0;
  return std::exp2(-static_cast<double>(exponent_));
}

std::complex<double> Scalar::value() const {
  if (is_zero()) return {0.0, 0.0};
  const double m = std::exp2(-static_cast<double>(exponent_) / 2.0);
  const double theta = static_cast<double>(phase_) * kPiOver4;
  return m * std::complex<double>(std::cos(theta), std::sin(theta));
}

}  // namespace kelvra
