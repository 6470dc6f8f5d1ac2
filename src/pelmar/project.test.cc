#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::CliffordGate;
using pelmar::Error;
using pelmar::StabilizerCHForm;

using Amp = std::complex<double>;
constexpr double kTol = 1e-12;

StabilizerCHForm prepared(std::size_t n, std::vector<CliffordGate> gates) {
  auto f = *StabilizerCHForm::create(n);
  for (const auto& g : gates) EXPECT_TRUE(f.apply_gate(g).has_value());
  return f;
}

double max_diff(const std::vector<Amp>& a, const std::vector<Amp>& b) {
  double m = a.size() == b.size() ? 0 : 1e9;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) m = std::max(m, std::abs(a[i] - b[i]));
  return m;
}

struct ProjectionCase {
  const char* name;
  std::vector<CliffordGate> prep;
  std::size_t qubit;
  bool outcome;
  bool determined;
  std::vector<Amp> after;
};

class Projection : public ::testing::TestWithParam<ProjectionCase> {};

TEST_P(Projection, GivesTheNormalisedProjection) {
  const auto& c = GetParam();
  const std::size_t n = c.after.size() == 2 ? 1 : 2;
  auto f = prepared(n, c.prep);
  const auto before = f;
  auto r = f.project(c.qubit, c.outcome);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, c.determined);
  if (c.determined) {
    EXPECT_EQ(f, before);
  }
  EXPECT_LT(max_diff(f.to_statevector(), c.after), kTol);
}

const double kR = 1 / std::sqrt(2.0);
INSTANTIATE_TEST_SUITE_P(
    Cases, Projection,
    ::testing::Values(
        ProjectionCase{"ZeroOntoZero", {}, 0, false, true, {1, 0}},
        ProjectionCase{"PlusOntoOne", {CliffordGate::H(0)}, 0, true, false, {0, 1}},
        ProjectionCase{"PlusOntoZero", {CliffordGate::H(0)}, 0, false, false, {1, 0}},
        ProjectionCase{"MinusOntoZero", {CliffordGate::X(0), CliffordGate::H(0)}, 0, false, false, {1, 0}},
        ProjectionCase{"MinusOntoOne", {CliffordGate::X(0), CliffordGate::H(0)}, 0, true, false, {0, -1}},
        ProjectionCase{"OneOntoOne", {CliffordGate::X(0)}, 0, true, true, {0, 1}},
        // Bell state (|00⟩ + |11⟩)/√2: either qubit fixes both.
        ProjectionCase{"BellQubit1OntoOne", {CliffordGate::H(0), CliffordGate::CX(0, 1)}, 1, true, false,
                       {0, 0, 0, 1}},
        ProjectionCase{"BellQubit0OntoZero", {CliffordGate::H(0), CliffordGate::CX(0, 1)}, 0, false, false,
                       {1, 0, 0, 0}},
        // i-phased superposition (|0⟩ + i|1⟩)/√2 ⊗ |+⟩ onto qubit 0 = 1 keeps the phase i.
        ProjectionCase{"PhasedOntoOne", {CliffordGate::H(0), CliffordGate::S(0), CliffordGate::H(1)}, 0, true,
                       false, {0, Amp(0, kR), 0, Amp(0, kR)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Projection, MinusOntoZeroIsTheFreshZeroWithOmegaZero) {
  auto f = prepared(1, {CliffordGate::X(0), CliffordGate::H(0)});
  ASSERT_FALSE(*f.project(0, false));
  EXPECT_EQ(f.omega(), 0);
  EXPECT_EQ(*f.get_qubit_state(0), pelmar::QubitState::Zero);
}

TEST(Projection, OntoTheImpossibleValueIsAnErrorAndChangesNothing) {
  for (bool fixed : {false, true}) {
    auto f = prepared(3, fixed ? std::vector<CliffordGate>{CliffordGate::H(0), CliffordGate::X(2)}
                               : std::vector<CliffordGate>{CliffordGate::H(0)});
    const auto before = f;
    auto r = f.project(2, !fixed);
    ASSERT_FALSE(r.has_value());
    EXPECT_EQ(r.error(), Error::impossible_projection(2, !fixed));
    EXPECT_EQ(f, before);
  }
  auto f = *StabilizerCHForm::create(1);
  EXPECT_EQ(f.project(0, true).error().message(),
            "Impossible projection on qubit 0: cannot project determined state |0> onto|1>.");
}

TEST(Projection, IndexOutOfBounds) {
  auto f = *StabilizerCHForm::create(3);
  EXPECT_EQ(f.project(3, false).error(), Error::qubit_index_out_of_bounds(3, 3));
}

}  // namespace
