#include "kelvra/state/scalar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>

namespace kelvra {
namespace {

using C = std::complex<double>;

struct ValueCase {
  std::uint8_t k;
  std::int64_t r;
  C value;
};

std::ostream& operator<<(std::ostream& os, const ValueCase& c) { return os << "k=" << int(c.k) << " r=" << c.r; }

class ScalarValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ScalarValue, EvaluatesMagnitudeAndPhase) {
  const auto& c = GetParam();
  const Scalar s = Scalar::make(c.k, c.r);
  EXPECT_NEAR(s.value().real(), c.value.real(), 1e-15);
  EXPECT_NEAR(s.value().imag(), c.value.imag(), 1e-15);
  EXPECT_DOUBLE_EQ(s.squared_magnitude(), std::norm(c.value));
}

const double h = std::sqrt(0.5);
INSTANTIATE_TEST_SUITE_P(Table, ScalarValue,
                         ::testing::Values(ValueCase{0, 0, {1, 0}}, ValueCase{7, -1, {1, -1}},
                                           ValueCase{7, 1, {0.5, -0.5}}, ValueCase{3, 1, {-0.5, 0.5}},
                                           ValueCase{0, -2, {2, 0}}, ValueCase{2, 0, {0, 1}},
                                           ValueCase{4, 2, {-0.5, 0}}, ValueCase{1, 0, {h, h}},
                                           ValueCase{6, 3, {0, -h / 2}}, ValueCase{5, 1, {-0.5, -0.5}}));

TEST(Scalar, ValueIsTheFixedDoubleEvaluation) {
  // exp2(−r/2) · (cos(kπ/4) + i sin(kπ/4)), bit for bit.
  for (std::uint8_t k = 0; k < 8; ++k) {
    for (std::int64_t r : {-3, 0, 1, 5}) {
      const double m = std::exp2(-static_cast<double>(r) / 2.0);
      const double th = k * 0.7853981633974483;
      const C v = Scalar::make(k, r).value();
      EXPECT_EQ(v.real(), m * std::cos(th));
      EXPECT_EQ(v.imag(), m * std::sin(th));
    }
  }
}

TEST(Scalar, MakeReducesThePhase) {
  EXPECT_EQ(Scalar::make(9, 0), Scalar::make(1, 0));
  EXPECT_EQ(Scalar::make(8, 3).phase(), 0);
}

TEST(Scalar, ArithmeticIsExact) {
  const Scalar a = Scalar::make(3, 1), b = Scalar::make(6, -4);
  EXPECT_EQ(a * b, Scalar::make(1, -3));
  EXPECT_EQ(a.conj_mul(b), Scalar::make(3, -3));
  EXPECT_EQ(b.conj_mul(a), Scalar::make(5, -3));
  EXPECT_EQ(a.times_inv_sqrt2(), Scalar::make(3, 2));
  EXPECT_EQ(a.times_sqrt2_pow(3), Scalar::make(3, -2));
  EXPECT_EQ(Scalar::make(0, 0).times_exp_minus_i_pi_4(), Scalar::make(7, 0));
  EXPECT_EQ(Scalar::one(), Scalar::make(0, 0));
}

TEST(Scalar, ZeroAbsorbsEveryOperation) {
  const Scalar z = Scalar::zero(), a = Scalar::make(5, -2);
  EXPECT_TRUE(z.is_zero());
  EXPECT_TRUE((z * a).is_zero());
  EXPECT_TRUE((a * z).is_zero());
  EXPECT_TRUE(z.conj_mul(a).is_zero());
  EXPECT_TRUE(a.conj_mul(z).is_zero());
  EXPECT_TRUE(z.times_inv_sqrt2().is_zero());
  EXPECT_TRUE(z.times_sqrt2_pow(4).is_zero());
  EXPECT_TRUE(z.times_exp_minus_i_pi_4().is_zero());
  EXPECT_EQ(z.value(), C(0, 0));
  EXPECT_EQ(z.squared_magnitude(), 0.0);
}

// Exponent arithmetic at the ends of the range must not be undefined (checked under UBSan).
TEST(Scalar, ExponentArithmeticNeverOverflowsUndefinedly) {
  constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(Scalar::make(0, kMax).times_inv_sqrt2().exponent(), kMin);
  EXPECT_EQ((Scalar::make(0, kMin) * Scalar::make(0, -1)).exponent(), kMax);
  EXPECT_EQ(Scalar::make(0, kMin).times_sqrt2_pow(1).exponent(), kMax);
  EXPECT_EQ(Scalar::make(0, 0).times_sqrt2_pow(std::numeric_limits<std::uint64_t>::max()).exponent(), 1);
  EXPECT_EQ(Scalar::make(0, kMax).squared_magnitude(), 0.0);
}

}  // namespace
}  // namespace kelvra
