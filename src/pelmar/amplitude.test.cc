#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::Error;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;

StabilizerCHForm fresh(std::size_t n) { return *StabilizerCHForm::create(n); }

StabilizerCHForm random_form(std::mt19937& rng, std::size_t n) {
  auto f = fresh(n);
  std::uniform_int_distribution<int> kind(0, n >= 2 ? 10 : 7);
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  for (std::size_t i = 0; i < 8 * n; ++i) {
    const auto k = static_cast<CliffordGateKind>(kind(rng));
    const std::size_t a = qubit(rng);
    const std::size_t b = n >= 2 ? (a + 1 + qubit(rng) % (n - 1)) % n : a;
    EXPECT_TRUE(f.apply_gate({k, a, b}).has_value());
  }
  return f;
}

bool same_bits(Amp x, Amp y) {
  return std::bit_cast<std::uint64_t>(x.real()) == std::bit_cast<std::uint64_t>(y.real()) &&
         std::bit_cast<std::uint64_t>(x.imag()) == std::bit_cast<std::uint64_t>(y.imag());
}

/// Every entry of the state vector, bit for bit, against the amplitude of its index.
void expect_statevector_is_amplitudes(const StabilizerCHForm& f) {
  const auto sv = f.to_statevector();
  const std::size_t n = f.num_qubits();
  ASSERT_EQ(sv.size(), std::size_t{1} << n);
  std::vector<std::uint8_t> bits(n);
  for (std::size_t t = 0; t < sv.size(); ++t) {
    for (std::size_t j = 0; j < n; ++j) bits[j] = (t >> j) & 1;
    const Amp a = *f.amplitude(bits);
    ASSERT_TRUE(same_bits(sv[t], a)) << "index " << t << ": " << sv[t] << " vs " << a;
  }
}

class StatevectorWalk : public ::testing::TestWithParam<std::size_t> {};

TEST_P(StatevectorWalk, EqualsAmplitudeBitForBit) {
  const std::size_t n = GetParam();
  std::mt19937 rng(static_cast<unsigned>(100 + n));
  for (int trial = 0; trial < 8; ++trial) {
    auto f = random_form(rng, n);
    // A global phase whose products are not exact exercises the evaluation order.
    if (trial % 2) f.set_global_phase(std::polar(1.0, 0.1 + 0.7 * trial));
    expect_statevector_is_amplitudes(f);
  }
}

INSTANTIATE_TEST_SUITE_P(Qubits, StatevectorWalk, ::testing::Values(1, 2, 3, 5, 8, 10),
                         [](const auto& info) { return "n" + std::to_string(info.param); });

TEST(Statevector, FreshFormIsOneAtIndexZero) {
  const auto sv = fresh(3).to_statevector();
  std::vector<Amp> expected(8, 0);
  expected[0] = 1;
  EXPECT_EQ(sv, expected);
}

TEST(Statevector, XOnQubitOneIsIndexTwo) {
  auto f = fresh(2);
  ASSERT_TRUE(f.apply_x(1).has_value());
  EXPECT_EQ(f.to_statevector(), (std::vector<Amp>{0, 0, 1, 0}));
}

TEST(Statevector, PlusStateIsExp2OfMinusHalf) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_h(0).has_value());
  const double r = std::exp2(-0.5);
  EXPECT_EQ(f.to_statevector(), (std::vector<Amp>{r, r}));
}

TEST(Statevector, YOnZeroIsIWithTheCosineResidue) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_y(0).has_value());
  const auto sv = f.to_statevector();
  EXPECT_EQ(sv[0], Amp(0, 0));
  EXPECT_EQ(sv[1].imag(), 1.0);
  EXPECT_EQ(sv[1].real(), std::cos(2 * 0.7853981633974483));
  EXPECT_GT(sv[1].real(), 6e-17);
}

TEST(Statevector, ZeroQubitFormIsItsScalar) {
  // (H S)^3 = e^(iπ/4)·I: a phase that survives the removal of the qubit.
  auto f = fresh(1);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(f.apply_h(0).has_value());
    ASSERT_TRUE(f.apply_s(0).has_value());
  }
  const std::complex<double> phase = std::polar(1.0, 0.3);
  f.set_global_phase(phase);
  ASSERT_TRUE(f.discard(0).has_value());
  ASSERT_EQ(f.num_qubits(), 0u);
  EXPECT_EQ(f.omega(), 1);
  const auto sv = f.to_statevector();
  ASSERT_EQ(sv.size(), 1u);
  EXPECT_TRUE(same_bits(sv[0], phase * 1.0 * pelmar::eighth_turn(1)));
  EXPECT_TRUE(same_bits(*f.amplitude({}), sv[0]));
}

TEST(Amplitude, WrongLengthIsAnError) {
  const auto f = fresh(3);
  for (std::size_t len : {0, 2, 4}) {
    auto r = f.amplitude(std::vector<std::uint8_t>(len, 0));
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error(), Error::invalid_qubit_state_length(len, 3));
  }
  EXPECT_EQ(f.amplitude(std::vector<std::uint8_t>(2, 0)).error().message(),
            "The length of the qubit state (2) does not match the number of qubits (3).");
}

TEST(Amplitude, WideFormWithBitsAcrossWords) {
  // X on qubits 0, 63, 64 and 129 of 130, then H on 64: amplitudes of the neighbouring patterns.
  auto f = fresh(130);
  for (std::size_t q : {0, 63, 64, 129}) ASSERT_TRUE(f.apply_x(q).has_value());
  ASSERT_TRUE(f.apply_h(64).has_value());
  std::vector<std::uint8_t> bits(130, 0);
  bits[0] = bits[63] = bits[129] = 1;
  const double r = std::exp2(-0.5);
  EXPECT_LT(std::abs(*f.amplitude(bits) - r), 1e-15);
  bits[64] = 1;
  EXPECT_LT(std::abs(*f.amplitude(bits) + r), 1e-15);
  bits[63] = 0;
  EXPECT_EQ(*f.amplitude(bits), Amp(0, 0));
}

}  // namespace
