#include "pelmar/ch_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

namespace {

using pelmar::BitMatrix;
using pelmar::BitVector;
using pelmar::CliffordCircuit;
using pelmar::CliffordGate;
using pelmar::Error;
using pelmar::InternalFault;
using pelmar::StabilizerCHForm;

TEST(Create, ZeroQubitsIsAnError) {
  auto r = StabilizerCHForm::create(0);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error(), Error::invalid_num_qubits(0));
  EXPECT_EQ(r.error().message(), "Number of qubits must be greater than zero, got 0.");
}

class CreateSizes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CreateSizes, IsTheAllZeroStateWithIdentityTableau) {
  const std::size_t n = GetParam();
  auto f = StabilizerCHForm::create(n);
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(f->num_qubits(), n);
  EXPECT_EQ(f->mat_g(), BitMatrix::identity(n));
  EXPECT_EQ(f->mat_f(), BitMatrix::identity(n));
  EXPECT_EQ(f->mat_m(), BitMatrix(n));
  EXPECT_EQ(f->gamma(), std::vector<std::uint8_t>(n, 0));
  EXPECT_EQ(f->vec_v(), BitVector(n));
  EXPECT_EQ(f->vec_s(), BitVector(n));
  EXPECT_EQ(f->omega(), 0);
  EXPECT_EQ(f->global_phase(), std::complex<double>(1.0, 0.0));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CreateSizes, ::testing::Values(1, 2, 63, 64, 65, 130));

TEST(Create, ImpossibleSizesThrowBadAlloc) {
  // n² bits overflow a size_t: refused by arithmetic before any allocation.
  for (std::size_t n : {std::numeric_limits<std::size_t>::max(), std::size_t{1} << 33, std::size_t{1} << 40})
    EXPECT_THROW((void)StabilizerCHForm::create(n), std::bad_alloc) << n;
}

TEST(Copy, IsDeep) {
  auto original = *StabilizerCHForm::create(3);
  ASSERT_TRUE(original.apply_h(0).has_value());
  const auto snapshot = original;
  auto copy = original;
  ASSERT_TRUE(copy.apply_cx(0, 1).has_value());
  ASSERT_TRUE(copy.apply_s(2).has_value());
  ASSERT_TRUE(copy.apply_h(2).has_value());
  ASSERT_TRUE(copy.apply_x(1).has_value());
  EXPECT_EQ(original, snapshot);
  EXPECT_NE(copy, original);
}

TEST(GlobalPhase, AcceptsUnitValuesWithinTheBand) {
  auto f = *StabilizerCHForm::create(1);
  const std::complex<double> z = std::polar(1.0, 0.3);
  f.set_global_phase(z);
  EXPECT_EQ(f.global_phase(), z);
  // The band is on the squared modulus: 1 + 4e-9 squared is 1 + 8e-9 + ..., inside.
  f.set_global_phase({1.0 + 4e-9, 0.0});
  EXPECT_EQ(f.global_phase(), std::complex<double>(1.0 + 4e-9, 0.0));
}

TEST(GlobalPhase, RejectsNonUnitValuesAndLeavesThePhase) {
  auto f = *StabilizerCHForm::create(1);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (std::complex<double> z : {std::complex<double>(1.0 + 1e-8, 0.0), std::complex<double>(0.0, 0.0),
                                 std::complex<double>(2.0, 0.0), std::complex<double>(nan, 0.0),
                                 std::complex<double>(1.0, nan)}) {
    try {
      f.set_global_phase(z);
      ADD_FAILURE() << "accepted " << z;
    } catch (const InternalFault& e) {
      EXPECT_STREQ(e.what(), "Global phase must be a unit complex number.");
    }
    EXPECT_EQ(f.global_phase(), std::complex<double>(1.0, 0.0));
  }
}

TEST(EighthTurn, EvaluatesCosAndSinOfKPiOverFour) {
  for (std::uint8_t k = 0; k < 8; ++k) {
    const double x = k * 0.7853981633974483;
    EXPECT_EQ(pelmar::eighth_turn(k), std::complex<double>(std::cos(x), std::sin(x))) << int(k);
  }
  // Not rounded to the exact value: i has a real part of about 6.1e-17.
  EXPECT_GT(pelmar::eighth_turn(2).real(), 6e-17);
  EXPECT_LT(pelmar::eighth_turn(2).real(), 6.2e-17);
}

TEST(FromCliffordCircuit, EmptyGateListIsTheFreshForm) {
  auto f = StabilizerCHForm::from_clifford_circuit(CliffordCircuit(2));
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(*f, *StabilizerCHForm::create(2));
}

TEST(FromCliffordCircuit, ZeroQubitsIsAnError) {
  auto f = StabilizerCHForm::from_clifford_circuit(CliffordCircuit(0, {CliffordGate::H(0)}));
  ASSERT_FALSE(f.has_value());
  EXPECT_EQ(f.error(), Error::invalid_num_qubits(0));
}

TEST(FromCliffordCircuit, AppliesTheGatesInOrderAndStopsAtTheFirstFailure) {
  const CliffordCircuit ok(2, {CliffordGate::H(0), CliffordGate::CX(0, 1), CliffordGate::S(1)});
  auto f = StabilizerCHForm::from_clifford_circuit(ok);
  ASSERT_TRUE(f.has_value());
  auto g = *StabilizerCHForm::create(2);
  ASSERT_TRUE(g.apply_h(0).has_value());
  ASSERT_TRUE(g.apply_cx(0, 1).has_value());
  ASSERT_TRUE(g.apply_s(1).has_value());
  EXPECT_EQ(*f, g);

  const CliffordCircuit bad(3, {CliffordGate::H(0), CliffordGate::CX(0, 5), CliffordGate::CZ(1, 1)});
  auto e = StabilizerCHForm::from_clifford_circuit(bad);
  ASSERT_FALSE(e.has_value());
  EXPECT_EQ(e.error(), Error::qubit_index_out_of_bounds(5, 3));
}

}  // namespace
