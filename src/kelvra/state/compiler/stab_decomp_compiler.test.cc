#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <new>
#include <optional>
#include <random>
#include <vector>

#include "kelvra/state/compiler/circuit_compiler.h"
#include "kelvra/state/dense_sum.test.h"
#include "kelvra/state/magic_states/magic_states.h"
#include "testing/dense_state.h"

namespace kelvra {
namespace {

using C = std::complex<double>;
using G = QuantumGate;

StabilizerDecomposedState compile_ok(const QuantumCircuit& c) {
  auto r = StabDecompCompiler().compile(c);
  if (!r) {
    ADD_FAILURE() << r.error().message();
    return StabilizerDecomposedState({}, {}, c.num_qubits());
  }
  return std::move(*r);
}

double norm_squared(const std::vector<C>& v) {
  double s = 0;
  for (const C& a : v) s += std::norm(a);
  return s;
}

TEST(Compiler, HadamardSandwichOfT) {
  const auto s = compile_ok(QuantumCircuit(1, {G::H(0), G::T(0), G::H(0)}));
  const C w = std::polar(1.0, M_PI / 4);
  const auto v = test::dense_sum(s);
  EXPECT_LT(testing_support::max_abs_diff(v, std::vector<C>{(1.0 + w) / 2.0, (1.0 - w) / 2.0}), 1e-12);
  EXPECT_NEAR(norm_squared(v), 1.0, 1e-12);
}

TEST(Compiler, SingleTOnZeroKeepsOneTerm) {
  // The first resource term has its ancilla in |0⟩ (D = 1, coefficient 1/√2 · √2 = 1); the second
  // has it in |1⟩ and is dropped.
  const auto s = compile_ok(QuantumCircuit(1, {G::T(0)}));
  ASSERT_EQ(s.stabilizer_rank(), 1u);
  EXPECT_LT(testing_support::max_abs_diff(s.terms()[0].to_statevector(), std::vector<C>{1, 0}), 1e-15);
  EXPECT_EQ(s.coefficients()[0], Scalar::one());
  EXPECT_EQ(s.num_qubits(), 1u);
  EXPECT_EQ(s.global_factor(), C(1, 0));
}

TEST(Compiler, TdgAfterHadamard) {
  const auto s = compile_ok(QuantumCircuit(1, {G::H(0), G::Tdg(0)}));
  const double h = std::sqrt(0.5);
  EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(s), std::vector<C>{h, h * std::polar(1.0, -M_PI / 4)}),
            1e-12);
}

TEST(Compiler, ThreeTGatesOnZeroKeepExactCoefficients) {
  const auto s = compile_ok(QuantumCircuit(1, {G::T(0), G::T(0), G::T(0)}));
  ASSERT_EQ(s.stabilizer_rank(), 2u);
  // Both terms are the state |0⟩ exactly (their tableaux may differ by a Clifford fixing |0⟩).
  for (const auto& term : s.terms())
    EXPECT_LT(testing_support::max_abs_diff(term.to_statevector(), std::vector<C>{1, 0}), 1e-15);
  EXPECT_EQ(s.coefficients(), (std::vector<Scalar>{Scalar::make(7, -1), Scalar::make(2, 0)}));
  EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(s), std::vector<C>{1, 0}), 1e-12);
}

TEST(Compiler, EmptyCircuitIsTheZeroState) {
  const auto s = compile_ok(QuantumCircuit(3));
  ASSERT_EQ(s.stabilizer_rank(), 1u);
  EXPECT_EQ(s.terms()[0], *pelmar::StabilizerCHForm::create(3));
  EXPECT_EQ(s.coefficients()[0], Scalar::one());
}

TEST(Compiler, CompilingIsRepeatableAndLeavesTheCircuit) {
  const QuantumCircuit c(2, {G::H(0), G::T(0), G::CX(0, 1), G::Tdg(1), G::H(1), G::T(0)});
  const QuantumCircuit copy = c;
  const auto a = compile_ok(c);
  const auto b = compile_ok(c);
  EXPECT_EQ(c, copy);
  EXPECT_EQ(a.terms(), b.terms());
  EXPECT_EQ(a.coefficients(), b.coefficients());
}

// ---- Failures.

struct FailureCase {
  const char* id;
  QuantumCircuit circuit;
  CompileError error;
};

std::ostream& operator<<(std::ostream& os, const FailureCase& c) { return os << c.id; }

class CompilerFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CompilerFailure, ReportsTheFirstOffence) {
  const auto& c = GetParam();
  auto r = StabDecompCompiler().compile(c.circuit);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error(), c.error) << r.error().message();
}

CompileError oob(std::size_t q, std::size_t n) {
  return CompileError::from_ch_form(pelmar::Error::qubit_index_out_of_bounds(q, n));
}
CompileError dup(std::size_t q) { return CompileError::from_ch_form(pelmar::Error::duplicate_qubit_indices(q)); }
CompileError no_qubits() { return CompileError::from_ch_form(pelmar::Error::invalid_num_qubits(0)); }
const CompileError kCcx = CompileError::gate_not_supported("CCX");

// With and without T-type gates a bad index is reported the same way: a T gate must not let a
// gate reach a hidden ancilla (qubit 2 below would be the ancilla of the T gate).
INSTANTIATE_TEST_SUITE_P(
    Table, CompilerFailure,
    ::testing::Values(
        FailureCase{"CliffordOutOfRange", QuantumCircuit(2, {G::H(7)}), oob(7, 2)},
        FailureCase{"CliffordRepeatedQubit", QuantumCircuit(2, {G::H(0), G::CX(1, 1)}), dup(1)},
        FailureCase{"GateOnAncillaIndex", QuantumCircuit(2, {G::H(0), G::T(0), G::H(2)}), oob(2, 2)},
        FailureCase{"GateOnAncillaBeforeT", QuantumCircuit(2, {G::CX(0, 2), G::T(0)}), oob(2, 2)},
        FailureCase{"TOutOfRange", QuantumCircuit(2, {G::T(0), G::T(2)}), oob(2, 2)},
        FailureCase{"TdgOutOfRange", QuantumCircuit(1, {G::Tdg(1)}), oob(1, 1)},
        FailureCase{"FirstIndexBeforeSecond", QuantumCircuit(2, {G::T(1), G::CZ(5, 3)}), oob(5, 2)},
        FailureCase{"SecondIndex", QuantumCircuit(2, {G::T(1), G::Swap(0, 3)}), oob(3, 2)},
        FailureCase{"BoundsBeforeRepeat", QuantumCircuit(2, {G::T(1), G::CX(4, 4)}), oob(4, 2)},
        FailureCase{"RepeatWithT", QuantumCircuit(2, {G::T(1), G::CX(1, 1)}), dup(1)},
        FailureCase{"FirstBadGateInOrder", QuantumCircuit(3, {G::T(0), G::CX(0, 0), G::H(9)}), dup(0)},
        FailureCase{"ZeroQubitsEmpty", QuantumCircuit(0), no_qubits()},
        FailureCase{"ZeroQubitsClifford", QuantumCircuit(0, {G::H(0)}), no_qubits()},
        FailureCase{"ZeroQubitsWithT", QuantumCircuit(0, {G::T(0)}), no_qubits()},
        FailureCase{"Ccx", QuantumCircuit(3, {G::CCX(0, 1, 2)}), kCcx},
        FailureCase{"CcxLastAfterValidGates", QuantumCircuit(3, {G::H(0), G::T(1), G::CX(0, 1), G::CCX(0, 1, 2)}), kCcx},
        FailureCase{"CcxAfterBadIndex", QuantumCircuit(1, {G::T(0), G::H(5), G::CCX(0, 0, 0)}), kCcx},
        FailureCase{"CcxOnZeroQubits", QuantumCircuit(0, {G::CCX(0, 1, 2)}), kCcx}),
    [](const auto& info) { return std::string(info.param.id); });

TEST(CompilerFailure, MessageOfAnAncillaIndex) {
  auto r = StabDecompCompiler().compile(QuantumCircuit(2, {G::H(0), G::T(0), G::H(2)}));
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().message(), "Qubit index 2 is out of bounds for 2 qubits.");
}

// Impossible sizes are refused with std::bad_alloc before anything of their size is allocated.
TEST(CompilerFailure, ImpossibleSizesThrowBadAlloc) {
  constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  const StabDecompCompiler compiler;
  EXPECT_THROW((void)compiler.compile(QuantumCircuit(kMax)), std::bad_alloc);
  EXPECT_THROW((void)compiler.compile(QuantumCircuit(kMax, {G::T(0)})), std::bad_alloc);
  EXPECT_THROW((void)compiler.compile(QuantumCircuit(std::size_t{1} << 40, {G::T(0)})), std::bad_alloc);
  // 80 T-type gates need ~4.6·10^9 resource terms; 400 overflow the term count itself.
  for (std::size_t t : {80, 400}) {
    QuantumCircuit c(1);
    for (std::size_t i = 0; i < t; ++i) c.apply_t(0);
    EXPECT_THROW((void)compiler.compile(c), std::bad_alloc) << t;
  }
}

// ---- Against the dense reference.

struct RandomCircuit {
  QuantumCircuit circuit;
  testing_support::DenseState dense;
  std::size_t t;
};

RandomCircuit random_circuit(std::mt19937& rng, std::size_t n, std::size_t num_t, std::size_t num_gates) {
  QuantumCircuit c(n);
  testing_support::DenseState d(n);
  // Place the T-type gates at random positions among the Clifford gates.
  std::vector<bool> is_t(num_gates + num_t, false);
  for (std::size_t i = 0; i < num_t; ++i) is_t[i] = true;
  std::shuffle(is_t.begin(), is_t.end(), rng);
  for (bool t : is_t) {
    const std::size_t q = rng() % n;
    if (t) {
      if (rng() % 2) {
        c.apply_t(q);
        d.t(q);
      } else {
        c.apply_tdg(q);
        d.tdg(q);
      }
      continue;
    }
    pelmar::CliffordGate g{static_cast<pelmar::CliffordGateKind>(rng() % (n > 1 ? 11 : 8)), q, 0};
    if (g.is_two_qubit()) g.q1 = (q + 1 + rng() % (n - 1)) % n;
    c.apply_gate(G::from_clifford_gate(g));
    d.apply(g);
  }
  return {std::move(c), std::move(d), num_t};
}

TEST(CompilerReference, RandomCliffordTCircuits) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 80; ++round) {
    const std::size_t n = 1 + round % 6;
    const std::size_t t = (round / 6) % 9;  // 0..8 T-type gates
    RandomCircuit rc = random_circuit(rng, n, t, 6 + rng() % 20);
    const auto s = compile_ok(rc.circuit);
    ASSERT_EQ(s.num_qubits(), n);
    EXPECT_LE(s.stabilizer_rank(), t == 0 ? 1 : t_tensor_state_rank(t));
    EXPECT_EQ(s.terms().size(), s.coefficients().size());
    const auto v = test::dense_sum(s);
    EXPECT_LT(testing_support::max_abs_diff(v, rc.dense.amps()), 1e-10)
        << "n=" << n << " t=" << t << " " << rc.circuit.to_string();
    EXPECT_NEAR(norm_squared(v), 1.0, 1e-10);
  }
}

// Ancillas of a 62-qubit register sit at 62, 63 and 64: the replay crosses a word boundary.
// Only qubits 0, 1, 60 and 61 are touched, so four qubits of dense reference describe the state.
TEST(CompilerReference, AncillasAcrossAWordBoundary) {
  const std::size_t n = 62;
  const std::size_t used[] = {0, 1, 60, 61};
  QuantumCircuit c(n);
  testing_support::DenseState d(4);
  c.apply_h(0);
  d.h(0);
  c.apply_t(0);
  d.t(0);
  c.apply_cx(0, 61);
  d.cx(0, 3);
  c.apply_h(1);
  d.h(1);
  c.apply_tdg(1);
  d.tdg(1);
  c.apply_swap(1, 60);
  d.swap(1, 2);
  c.apply_h(61);
  d.h(3);
  c.apply_t(61);
  d.t(3);
  c.apply_cz(60, 0);
  d.cz(2, 0);
  c.apply_sqrt_x(60);
  d.sqrt_x(2);
  const auto s = compile_ok(c);
  std::vector<std::uint8_t> bits(n, 0);
  for (std::size_t x = 0; x < 16; ++x) {
    for (std::size_t j = 0; j < 4; ++j) bits[used[j]] = (x >> j) & 1;
    C amp = 0;
    for (std::size_t i = 0; i < s.num_pairs(); ++i) amp += s.coefficients()[i].value() * *s.terms()[i].amplitude(bits);
    EXPECT_LT(std::abs(amp - d.amps()[x]), 1e-12) << x;
  }
}

}  // namespace
}  // namespace kelvra
