#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "kelvra/state/quantum_state.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::ErrorKind;
using kelvra::QuantumCircuit;
using kelvra::QuantumGate;
using kelvra::QuantumState;
using testing_support::Amp;
using testing_support::DenseState;
using testing_support::max_abs_diff;

std::vector<Amp> vector_of(const QuantumState& s) { return testing_support::vector_of(s.decomposition()); }

struct FacadeGate {
  const char* name;
  std::size_t arity;
  std::function<kelvra::Status(QuantumState&, std::size_t, std::size_t)> apply;
  std::function<void(DenseState&, std::size_t, std::size_t)> dense;
};

const FacadeGate kGates[] = {
    {"h", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_h(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.h(a); }},
    {"s", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_s(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.s(a); }},
    {"sdg", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_sdg(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.sdg(a); }},
    {"x", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_x(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.x(a); }},
    {"y", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_y(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.y(a); }},
    {"z", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_z(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.z(a); }},
    {"sqrt_x", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_sqrt_x(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.sqrt_x(a); }},
    {"sqrt_xdg", 1, [](QuantumState& s, std::size_t a, std::size_t) { return s.apply_sqrt_xdg(a); },
     [](DenseState& d, std::size_t a, std::size_t) { d.sqrt_xdg(a); }},
    {"cx", 2, [](QuantumState& s, std::size_t a, std::size_t b) { return s.apply_cx(a, b); },
     [](DenseState& d, std::size_t a, std::size_t b) { d.cx(a, b); }},
    {"cz", 2, [](QuantumState& s, std::size_t a, std::size_t b) { return s.apply_cz(a, b); },
     [](DenseState& d, std::size_t a, std::size_t b) { d.cz(a, b); }},
    {"swap", 2, [](QuantumState& s, std::size_t a, std::size_t b) { return s.apply_swap(a, b); },
     [](DenseState& d, std::size_t a, std::size_t b) { d.swap(a, b); }},
};

class FacadeGateOnEveryTerm : public ::testing::TestWithParam<FacadeGate> {};

TEST_P(FacadeGateOnEveryTerm, MatchesDenseGate) {
  const FacadeGate& g = GetParam();
  std::mt19937_64 rng(7);
  for (int round = 0; round < 6; ++round) {
    auto c = testing_support::random_clifford_t_circuit(rng, 3, 4 + round % 3, 10);
    SCOPED_TRACE(c.circuit.to_string());
    auto state = testing_support::compile(c.circuit);
    const std::size_t a = rng() % 3, b = (a + 1 + rng() % 2) % 3;
    ASSERT_TRUE(g.apply(state, a, b).has_value());
    g.dense(c.dense, a, b);
    EXPECT_LT(max_abs_diff(vector_of(state), c.dense.amps()), 1e-9);
  }
}

TEST_P(FacadeGateOnEveryTerm, BadIndexFailsWithTheStateUnchanged) {
  const FacadeGate& g = GetParam();
  auto state = testing_support::compile(testing_support::seeded_case(5).circuit);
  const auto before = vector_of(state);
  const std::size_t n = state.num_qubits();
  const auto r = g.apply(state, n, 0);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::ChForm);
  EXPECT_EQ(r.error().message(), "Qubit index " + std::to_string(n) + " is out of bounds for " + std::to_string(n) +
                                     " qubits.");
  EXPECT_EQ(vector_of(state), before);
}

INSTANTIATE_TEST_SUITE_P(Gates, FacadeGateOnEveryTerm, ::testing::ValuesIn(kGates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QuantumState, EmptyCircuitIsTheZeroState) {
  const auto s = testing_support::compile(QuantumCircuit(3));
  EXPECT_EQ(s.stabilizer_rank(), 1u);
  EXPECT_EQ(s.num_qubits(), 3u);
  EXPECT_NEAR(*s.norm(), 1.0, 1e-15);
  std::vector<Amp> expected(8, 0.0);
  expected[0] = 1.0;
  EXPECT_EQ(vector_of(s), expected);
}

TEST(QuantumState, CompileErrorsAreWrapped) {
  QuantumCircuit c(3);
  c.apply_h(0);
  c.apply_ccx(0, 1, 2);
  const auto r = QuantumState::from_circuit(c);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::Compile);
  EXPECT_EQ(r.error().message(), "Gate CCX is not supported.");
}

TEST(QuantumState, GateAfterCompilationEqualsGateInTheCircuit) {
  QuantumCircuit ht(1);
  ht.apply_h(0);
  ht.apply_t(0);
  auto s = testing_support::compile(ht);
  ASSERT_TRUE(s.apply_h(0).has_value());
  QuantumCircuit hth = ht;
  hth.apply_h(0);
  EXPECT_LT(max_abs_diff(vector_of(s), vector_of(testing_support::compile(hth))), 1e-12);
}

TEST(QuantumState, ApplyGatesStopsAtTheFirstFailure) {
  auto s = testing_support::compile(QuantumCircuit(1));
  const std::vector<QuantumGate> gates{QuantumGate::H(0), QuantumGate::T(0), QuantumGate::X(0)};
  const auto r = s.apply_gates(gates);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::NonCliffordGateApplication);
  EXPECT_EQ(r.error().message(), "Direct application of non-Clifford gate T is not supported.");
  // H applied, X not: |+⟩.
  const double h = 1.0 / std::sqrt(2.0);
  EXPECT_LT(max_abs_diff(vector_of(s), std::vector<Amp>{h, h}), 1e-12);
}

TEST(QuantumState, ProjectNormalizedOntoAnImpossibleOutcome) {
  auto s = testing_support::compile(QuantumCircuit(1));
  const auto r = s.project_normalized(0, true);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::ImpossibleProjection);
  EXPECT_EQ(r.error().message(), "Impossible projection on qubit 0: cannot project determined state |0> onto |1>.");
  EXPECT_EQ(s.stabilizer_rank(), 0u);
  EXPECT_EQ(s.norm(), 0.0);
}

TEST(QuantumState, ProjectNormalizedRestoresNormOne) {
  auto s = testing_support::compile(QuantumCircuit(1));
  ASSERT_TRUE(s.apply_h(0).has_value());
  ASSERT_TRUE(s.project_normalized(0, true).has_value());
  EXPECT_NEAR(*s.norm(), 1.0, 1e-15);
  EXPECT_LT(max_abs_diff(vector_of(s), std::vector<Amp>{0.0, 1.0}), 1e-15);

  const auto bad = s.project_normalized(1, false);
  ASSERT_FALSE(bad.has_value());
  EXPECT_EQ(bad.error().message(), "Qubit index 1 is out of bounds for 1 qubits.");
}

TEST(QuantumState, ProjectNormalizedOnCompiledStates) {
  for (std::uint64_t seed = 0; seed < 10; ++seed) {
    const auto c = testing_support::seeded_case(seed);
    SCOPED_TRACE(c.circuit.to_string());
    auto dense = c.dense;
    dense.project(0, false);
    const double p = dense.norm_squared();
    auto s = testing_support::compile(c.circuit);
    const auto r = s.project_normalized(0, false);
    if (p < 1e-12) {
      EXPECT_FALSE(r.has_value());
      continue;
    }
    ASSERT_TRUE(r.has_value()) << r.error().message();
    for (auto& a : dense.amps()) a /= std::sqrt(p);
    EXPECT_LT(max_abs_diff(vector_of(s), dense.amps()), 1e-9);
  }
}

TEST(QuantumState, QueriesDelegate) {
  const auto c = testing_support::seeded_case(9);
  auto s = testing_support::compile(c.circuit);
  const auto self = s.inner_product(s);
  ASSERT_TRUE(self.has_value());
  EXPECT_NEAR(self->real(), std::pow(*s.norm(), 2), 1e-9);
  EXPECT_NEAR(self->imag(), 0.0, 1e-9);

  QuantumCircuit two(2);
  two.apply_h(0);
  auto t = testing_support::compile(two);
  ASSERT_TRUE(t.discard(1).has_value());
  EXPECT_EQ(t.num_qubits(), 1u);
  const auto sample = t.sample(std::vector<std::size_t>{0}, 100, testing_support::seed_bytes(1));
  ASSERT_TRUE(sample.has_value());
  const auto m = t.measure_all(testing_support::seed_bytes(1));
  ASSERT_TRUE(m.has_value());
  EXPECT_NEAR(*t.exp_value(pelmar::PauliString::dense({pelmar::Pauli::Z})), m->at(0) ? -1.0 : 1.0, 1e-12);
}

}  // namespace
