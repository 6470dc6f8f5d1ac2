#include <gtest/gtest.h>

#include <random>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::ErrorKind;
using kelvra::Scalar;
using kelvra::StabilizerDecomposedState;
using pelmar::CliffordGate;
using testing_support::ch_form;
using testing_support::decomposition;
using testing_support::max_abs_diff;

void expect_unchanged(const StabilizerDecomposedState& s, const StabilizerDecomposedState& before) {
  EXPECT_EQ(s.num_qubits(), before.num_qubits());
  EXPECT_EQ(s.terms(), before.terms());
  EXPECT_EQ(s.coefficients(), before.coefficients());
}

class DiscardOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

// Project a qubit, bring it to |0⟩ (X after outcome 1) and remove it, as the sampler does.
TEST_P(DiscardOfCompiledCircuit, MatchesDenseRemoval) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  const auto state = testing_support::compile(c.circuit).decomposition();
  for (std::size_t q = 0; q < state.num_qubits(); ++q) {
    for (const bool outcome : {false, true}) {
      SCOPED_TRACE(testing::Message() << "qubit " << q << " outcome " << outcome);
      auto s = state;
      auto dense = c.dense;
      ASSERT_TRUE(s.project_unnormalized(q, outcome).has_value());
      dense.project(q, outcome);
      if (outcome) {
        ASSERT_TRUE(s.apply_x(q).has_value());
        dense.x(q);
      }
      const auto r = s.discard(q);
      ASSERT_TRUE(r.has_value()) << r.error().message();
      dense.discard(q);
      EXPECT_EQ(s.num_qubits(), state.num_qubits() - 1);
      for (const auto& t : s.terms()) EXPECT_EQ(t.num_qubits(), s.num_qubits());
      EXPECT_LT(max_abs_diff(testing_support::vector_of(s), dense.amps()), 1e-9);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DiscardOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 30));

// The checks made before any term changes accept and refuse exactly what the CH-form removal does,
// with the same error, on random stabilizer states (including |1⟩ and superposed qubits).
TEST(Discard, AgreesWithTheCHFormRemoval) {
  std::mt19937_64 rng(42);
  std::size_t refused = 0, accepted = 0;
  for (int round = 0; round < 400; ++round) {
    const std::size_t n = 1 + rng() % 5;
    std::vector<CliffordGate> gates;
    for (std::size_t k = 0, len = rng() % 12; k < len; ++k) {
      const auto kind = static_cast<pelmar::CliffordGateKind>(rng() % (n >= 2 ? 11 : 8));
      const std::size_t a = rng() % n;
      const std::size_t b = n >= 2 ? (a + 1 + rng() % (n - 1)) % n : 0;
      gates.push_back({kind, a, kind >= pelmar::CliffordGateKind::CX ? b : 0});
    }
    const auto form = ch_form(n, gates);
    for (std::size_t q = 0; q < n; ++q) {
      auto alone = form;
      const auto direct = alone.discard(q);
      auto s = decomposition(n, {form}, {Scalar::one()});
      const auto r = s.discard(q);
      ASSERT_EQ(r.has_value(), direct.has_value()) << "n " << n << " q " << q;
      if (direct) {
        ++accepted;
        EXPECT_EQ(s.terms()[0], alone);
      } else {
        ++refused;
        EXPECT_EQ(r.error().kind, ErrorKind::ChForm);
        EXPECT_EQ(r.error().ch_form, direct.error());
      }
    }
  }
  EXPECT_GT(accepted, 0u);
  EXPECT_GT(refused, 0u);
}

struct LaterTermCase {
  const char* name;
  std::vector<CliffordGate> second;
};

class DiscardRefusedByALaterTerm : public ::testing::TestWithParam<LaterTermCase> {};

// The first term could lose qubit 0, the second cannot: nothing may shrink.
TEST_P(DiscardRefusedByALaterTerm, LeavesEveryTermAsItWas) {
  auto s = decomposition(2, {ch_form(2), ch_form(2, GetParam().second)}, {Scalar::one(), Scalar::make(2, 1)});
  const auto before = s;
  const auto r = s.discard(0);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::ChForm);
  EXPECT_EQ(r.error().message(), "Cannot discard qubit 0 because it is not in a proper state");
  expect_unchanged(s, before);
}

INSTANTIATE_TEST_SUITE_P(Cases, DiscardRefusedByALaterTerm,
                         ::testing::Values(LaterTermCase{"superposed", {CliffordGate::H(0)}},
                                           LaterTermCase{"determined_one", {CliffordGate::X(0)}},
                                           LaterTermCase{"entangled", {CliffordGate::H(1), CliffordGate::CX(1, 0)}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct IndexCase {
  const char* name;
  std::size_t num_qubits;
  bool with_term;
  std::size_t qubit;
  const char* message;
};

class DiscardIndexOutOfRange : public ::testing::TestWithParam<IndexCase> {};

TEST_P(DiscardIndexOutOfRange, IsReportedWithTheStateUnchanged) {
  const auto& p = GetParam();
  auto s = p.with_term ? decomposition(p.num_qubits, {ch_form(p.num_qubits)}, {Scalar::one()})
                       : decomposition(p.num_qubits, {}, {});
  const auto before = s;
  const auto r = s.discard(p.qubit);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().kind, ErrorKind::ChForm);
  EXPECT_EQ(r.error().message(), p.message);
  expect_unchanged(s, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiscardIndexOutOfRange,
    ::testing::Values(IndexCase{"with_terms", 2, true, 5, "Qubit index 5 is out of bounds for 2 qubits."},
                      IndexCase{"no_terms", 2, false, 2, "Qubit index 2 is out of bounds for 2 qubits."},
                      IndexCase{"no_qubits", 0, false, 0, "Qubit index 0 is out of bounds for 0 qubits."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Discard, HigherQubitsMoveDown) {
  // Qubit 0 in |0⟩, qubit 1 in |1⟩: removing qubit 0 leaves |1⟩.
  auto s = decomposition(2, {ch_form(2, {CliffordGate::X(1)})}, {Scalar::make(3, 1)}, {0.0, 1.0});
  ASSERT_TRUE(s.discard(0).has_value());
  EXPECT_EQ(s.num_qubits(), 1u);
  EXPECT_EQ(s.coefficients(), std::vector{Scalar::make(3, 1)});
  EXPECT_EQ(s.global_factor(), std::complex<double>(0.0, 1.0));
  const auto v = testing_support::vector_of(s);
  EXPECT_LT(max_abs_diff(v, std::vector<testing_support::Amp>{0.0, std::complex<double>(0, 1) * Scalar::make(3, 1).value()}),
            1e-12);
}

TEST(Discard, NoTermsOnlyLowersTheCount) {
  auto s = decomposition(2, {}, {});
  ASSERT_TRUE(s.discard(1).has_value());
  EXPECT_EQ(s.num_qubits(), 1u);
  ASSERT_TRUE(s.discard(0).has_value());
  EXPECT_EQ(s.num_qubits(), 0u);
  EXPECT_FALSE(s.discard(0).has_value());
}

}  // namespace
