#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"

// Counts allocations made through operator new, for the check that gate updates allocate nothing.
// The replacement pairs malloc with free, which GCC cannot see through at inlined call sites.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::size_t g_allocations = 0;
}
void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using pelmar::BitVector;
using pelmar::CliffordCircuit;
using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::Error;
using pelmar::StabilizerCHForm;
using pelmar::Status;

using Amp = std::complex<double>;
constexpr double kTol = 1e-12;

StabilizerCHForm fresh(std::size_t n) { return *StabilizerCHForm::create(n); }

bool row_dot(const pelmar::BitMatrix& a, std::size_t i, const pelmar::BitMatrix& b, std::size_t j) {
  std::uint64_t acc = 0;
  for (std::size_t k = 0; k < a.stride(); ++k) acc ^= a.row(i)[k] & b.row(j)[k];
  return pelmar::parity(acc);
}

/// F·Gᵀ = I, F·Mᵀ symmetric, every γ even, omega in 0..7.
::testing::AssertionResult tableau_is_valid(const StabilizerCHForm& f) {
  const std::size_t n = f.num_qubits();
  for (std::size_t i = 0; i < n; ++i) {
    if (f.gamma()[i] % 2 != 0 || f.gamma()[i] > 7) return ::testing::AssertionFailure() << "gamma " << i;
    for (std::size_t j = 0; j < n; ++j) {
      if (row_dot(f.mat_f(), i, f.mat_g(), j) != (i == j)) return ::testing::AssertionFailure() << "FG^T " << i << j;
      if (row_dot(f.mat_f(), i, f.mat_m(), j) != row_dot(f.mat_f(), j, f.mat_m(), i))
        return ::testing::AssertionFailure() << "FM^T " << i << "," << j;
    }
  }
  if (f.omega() > 7) return ::testing::AssertionFailure() << "omega";
  return ::testing::AssertionSuccess();
}

BitVector bits(std::size_t n, std::vector<std::size_t> ones) {
  BitVector v(n);
  for (auto j : ones) v.set(j, true);
  return v;
}

TEST(GateFields, XFlipsSAndXAgainRestoresIt) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_x(0).has_value());
  EXPECT_EQ(f.vec_s(), bits(1, {0}));
  EXPECT_EQ(f.omega(), 0);
  ASSERT_TRUE(f.apply_x(0).has_value());
  EXPECT_EQ(f, fresh(1));
}

TEST(GateFields, ZChangesOnlyGamma) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_z(0).has_value());
  EXPECT_EQ(f.gamma(), std::vector<std::uint8_t>{4});
  auto expected_rest = fresh(1);
  EXPECT_EQ(f.mat_m(), expected_rest.mat_m());
  EXPECT_EQ(f.vec_s(), expected_rest.vec_s());
  EXPECT_EQ(f.omega(), 0);
  EXPECT_LT(std::abs(*f.amplitude(std::vector<std::uint8_t>{0}) - Amp(1, 0)), kTol);
  // X then Z gives −|1⟩.
  auto g = fresh(1);
  ASSERT_TRUE(g.apply_x(0).has_value());
  ASSERT_TRUE(g.apply_z(0).has_value());
  EXPECT_LT(std::abs(*g.amplitude(std::vector<std::uint8_t>{1}) - Amp(-1, 0)), kTol);
}

TEST(GateFields, YIsIXZ) {
  auto f = fresh(1);
  ASSERT_TRUE(f.apply_y(0).has_value());
  EXPECT_EQ(f.gamma(), std::vector<std::uint8_t>{4});
  EXPECT_EQ(f.vec_s(), bits(1, {0}));
  EXPECT_EQ(f.omega(), 6);
  EXPECT_LT(std::abs(*f.amplitude(std::vector<std::uint8_t>{1}) - Amp(0, 1)), kTol);
}

TEST(GateFields, FourSOrSThenSdgRestoreGammaAndM) {
  auto base = fresh(3);
  for (auto g : {CliffordGate::H(0), CliffordGate::CX(0, 1), CliffordGate::S(1), CliffordGate::H(2),
                 CliffordGate::CZ(2, 0)})
    ASSERT_TRUE(base.apply_gate(g).has_value());
  for (std::size_t q = 0; q < 3; ++q) {
    auto f = base;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(f.apply_s(q).has_value());
    EXPECT_EQ(f, base) << q;
    auto g = base;
    ASSERT_TRUE(g.apply_s(q).has_value());
    ASSERT_TRUE(g.apply_sdg(q).has_value());
    EXPECT_EQ(g, base) << q;
  }
}

TEST(GateFields, SwapMovesTheSetQubit) {
  auto f = fresh(2);
  ASSERT_TRUE(f.apply_x(0).has_value());
  ASSERT_TRUE(f.apply_swap(0, 1).has_value());
  EXPECT_EQ(f.to_statevector(), (std::vector<Amp>{0, 0, 1, 0}));
}

// ---- Index checks: every operation, form unchanged on failure.

struct IndexCase {
  std::string name;
  std::function<Status(StabilizerCHForm&)> op;
  Error expected;
};

std::ostream& operator<<(std::ostream& o, const IndexCase& c) { return o << c.name; }

class IndexErrors : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexErrors, AreReportedBeforeAnyChange) {
  auto f = fresh(3);
  ASSERT_TRUE(f.apply_h(0).has_value());
  ASSERT_TRUE(f.apply_cx(0, 2).has_value());
  const auto before = f;
  Status r = GetParam().op(f);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error(), GetParam().expected);
  EXPECT_EQ(f, before);
}

using F = StabilizerCHForm;
std::vector<IndexCase> index_cases() {
  std::vector<IndexCase> cases;
  const auto oob = [](std::size_t q) { return Error::qubit_index_out_of_bounds(q, 3); };
  using One = Status (F::*)(std::size_t);
  const std::pair<const char*, One> one[] = {
      {"apply_h", &F::apply_h},          {"apply_s", &F::apply_s},
      {"apply_sdg", &F::apply_sdg},      {"apply_x", &F::apply_x},
      {"apply_y", &F::apply_y},          {"apply_z", &F::apply_z},
      {"apply_sqrt_x", &F::apply_sqrt_x}, {"apply_sqrt_xdg", &F::apply_sqrt_xdg},
      {"left_multiply_x", &F::left_multiply_x}, {"left_multiply_s", &F::left_multiply_s},
      {"left_multiply_sdg", &F::left_multiply_sdg}, {"left_multiply_h", &F::left_multiply_h},
      {"right_multiply_s", &F::right_multiply_s}};
  for (const auto& [name, fn] : one)
    cases.push_back({std::string(name) + "_3", [fn](F& f) { return (f.*fn)(3); }, oob(3)});
  using Two = Status (F::*)(std::size_t, std::size_t);
  const std::pair<const char*, Two> two[] = {
      {"apply_cx", &F::apply_cx},  {"apply_cz", &F::apply_cz},
      {"apply_swap", &F::apply_swap}, {"left_multiply_cx", &F::left_multiply_cx},
      {"left_multiply_cz", &F::left_multiply_cz}, {"right_multiply_cx", &F::right_multiply_cx},
      {"right_multiply_cz", &F::right_multiply_cz}};
  for (const auto& [name, fn] : two) {
    const std::string n(name);
    cases.push_back({n + "_first", [fn](F& f) { return (f.*fn)(5, 0); }, oob(5)});
    cases.push_back({n + "_second", [fn](F& f) { return (f.*fn)(0, 5); }, oob(5)});
    // Both out of range and equal: the first index is reported, not the duplicate.
    cases.push_back({n + "_both", [fn](F& f) { return (f.*fn)(4, 4); }, oob(4)});
    cases.push_back({n + "_duplicate", [fn](F& f) { return (f.*fn)(1, 1); }, Error::duplicate_qubit_indices(1)});
  }
  cases.push_back({"apply_gate_cx", [](F& f) { return f.apply_gate(CliffordGate::CX(0, 5)); }, oob(5)});
  cases.push_back({"apply_gate_swap", [](F& f) { return f.apply_gate(CliffordGate::Swap(2, 2)); },
                   Error::duplicate_qubit_indices(2)});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AllOperations, IndexErrors, ::testing::ValuesIn(index_cases()),
                         [](const auto& info) { return info.param.name; });

TEST(IndexErrorText, NamesTheOffendingValues) {
  auto f = fresh(3);
  EXPECT_EQ(f.apply_cx(0, 5).error().message(), "Qubit index 5 is out of bounds for 3 qubits.");
  EXPECT_EQ(f.apply_cx(1, 1).error().message(),
            "Two-qubit gate requires two different qubit indices, but got the same: 1.");
}

// ---- Wide forms: every row and column update crosses 64-bit words.

CliffordCircuit random_wide_circuit(std::mt19937& rng, std::size_t n, std::size_t num_gates) {
  CliffordCircuit c(n);
  std::uniform_int_distribution<int> kind(0, n >= 2 ? 10 : 7);
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  for (std::size_t i = 0; i < num_gates; ++i) {
    const auto k = static_cast<CliffordGateKind>(kind(rng));
    const std::size_t a = qubit(rng);
    std::size_t b = a;
    if (k >= CliffordGateKind::CX)
      while (b == a) b = qubit(rng);
    c.add_gate({k, a, b});
  }
  return c;
}

CliffordGate inverse(CliffordGate g) {
  using K = CliffordGateKind;
  switch (g.kind) {
    case K::S: g.kind = K::Sdg; break;
    case K::Sdg: g.kind = K::S; break;
    case K::SqrtX: g.kind = K::SqrtXdg; break;
    case K::SqrtXdg: g.kind = K::SqrtX; break;
    default: break;
  }
  return g;
}

class WideForms : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WideForms, ACircuitFollowedByItsInverseReturnsExactlyToZero) {
  const std::size_t n = GetParam();
  std::mt19937 rng(static_cast<unsigned>(n));
  for (int trial = 0; trial < 3; ++trial) {
    const CliffordCircuit c = random_wide_circuit(rng, n, 8 * n);
    auto f = fresh(n);
    for (std::size_t i = 0; i < c.gates().size(); ++i) {
      ASSERT_TRUE(f.apply_gate(c.gates()[i]).has_value());
      if (i % (2 * n) == 0) {
        ASSERT_TRUE(tableau_is_valid(f)) << "after gate " << i;
      }
    }
    ASSERT_TRUE(tableau_is_valid(f));
    for (auto it = c.gates().rbegin(); it != c.gates().rend(); ++it)
      ASSERT_TRUE(f.apply_gate(inverse(*it)).has_value());
    ASSERT_TRUE(tableau_is_valid(f));
    // Back at |0…0⟩: no Hadamards, s = 0, and the amplitude is exactly 1.
    EXPECT_EQ(f.vec_v(), BitVector(n));
    EXPECT_EQ(f.vec_s(), BitVector(n));
    EXPECT_EQ(*f.amplitude(std::vector<std::uint8_t>(n, 0)), Amp(1, 0));
    for (std::size_t q = 0; q < n; ++q) ASSERT_EQ(*f.get_qubit_state(q), pelmar::QubitState::Zero) << q;
  }
}

TEST_P(WideForms, GateUpdatesAndProjectionsAllocateNothing) {
  const std::size_t n = GetParam();
  std::mt19937 rng(static_cast<unsigned>(n + 7));
  const CliffordCircuit c = random_wide_circuit(rng, n, 10 * n);
  auto f = fresh(n);
  // The first Hadamard and projection size the reusable scratch of this thread.
  ASSERT_TRUE(f.apply_h(0).has_value());
  ASSERT_TRUE(f.project(0, true).has_value());
  const std::size_t before = g_allocations;
  for (const auto& g : c.gates()) ASSERT_TRUE(f.apply_gate(g).has_value());
  for (std::size_t q = 0; q < n; ++q) {
    const auto st = *f.get_qubit_state(q);
    ASSERT_TRUE(f.project(q, st == pelmar::QubitState::One).has_value());
  }
  EXPECT_EQ(g_allocations, before);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WideForms, ::testing::Values(1, 2, 63, 64, 65, 130),
                         [](const auto& info) { return "n" + std::to_string(info.param); });

}  // namespace
