#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::Scalar;
using pelmar::CliffordGate;
using testing_support::Amp;
using testing_support::ch_form;
using testing_support::decomposition;

double dense_norm_squared(const std::vector<Amp>& v) {
  double s = 0;
  for (const Amp& a : v) s += std::norm(a);
  return s;
}

struct NormCase {
  const char* name;
  Scalar c0, c1;
  std::complex<double> g;
};

class NormOfOverlappingTerms : public ::testing::TestWithParam<NormCase> {};

// Terms |0⟩ and |+⟩ overlap, so the cross terms of the Gram matrix and their phases matter.
TEST_P(NormOfOverlappingTerms, MatchesDenseSum) {
  const NormCase& p = GetParam();
  const auto s = decomposition(1, {ch_form(1), ch_form(1, {CliffordGate::H(0), CliffordGate::S(0)})}, {p.c0, p.c1}, p.g);
  const auto n = s.norm_squared();
  ASSERT_TRUE(n.has_value());
  EXPECT_NEAR(*n, dense_norm_squared(testing_support::vector_of(s)), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormOfOverlappingTerms,
    ::testing::Values(NormCase{"ones", Scalar::one(), Scalar::one(), {1, 0}},
                      NormCase{"opposite_phases", Scalar::make(1, 0), Scalar::make(5, 2), {1, 0}},
                      NormCase{"negative_exponent", Scalar::make(3, -3), Scalar::make(6, 1), {1, 0}},
                      NormCase{"zero_first", Scalar::zero(), Scalar::make(2, 1), {1, 0}},
                      NormCase{"zero_second", Scalar::make(7, 1), Scalar::zero(), {1, 0}},
                      NormCase{"global_factor", Scalar::make(1, 1), Scalar::make(4, 0), {0.6, -1.7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Norm, ScalesWithSquaredGlobalFactor) {
  auto s = testing_support::compile(testing_support::seeded_case(3).circuit).decomposition();
  s.set_global_factor({0.0, 2.0});
  const auto n = s.norm_squared();
  ASSERT_TRUE(n.has_value());
  EXPECT_NEAR(*n, 4.0, 1e-9);
}

TEST(Norm, EmptyTermListIsZero) {
  EXPECT_EQ(decomposition(3, {}, {}).norm_squared(), 0.0);
}

class NormOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(NormOfCompiledCircuit, IsOne) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  const auto n = testing_support::compile(c.circuit).decomposition().norm_squared();
  ASSERT_TRUE(n.has_value());
  EXPECT_NEAR(*n, 1.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Seeds, NormOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 20));

}  // namespace
