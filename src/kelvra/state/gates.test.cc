#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "kelvra/state/dense_sum.test.h"
#include "kelvra/state/stabilizer_decomposed_state.h"
#include "testing/dense_state.h"

namespace kelvra {
namespace {

using G = QuantumGate;
using pelmar::StabilizerCHForm;

/// A two-term decomposition (|0…0⟩ and a second, distinct stabilizer state) with unequal
/// coefficients, so that a gate applied to the wrong term or a touched coefficient shows.
StabilizerDecomposedState two_term_state(std::size_t n) {
  StabilizerCHForm a = *StabilizerCHForm::create(n);
  StabilizerCHForm b = *StabilizerCHForm::create(n);
  for (std::size_t q = 0; q < n; ++q) (void)b.apply_h(q);
  if (n > 1) (void)b.apply_cz(0, n - 1);
  return StabilizerDecomposedState({a, b}, {Scalar::make(1, 1), Scalar::make(6, 2)}, n);
}

TEST(DecomposedGates, MatchDenseReferenceOnRandomGateLists) {
  std::mt19937 rng(11);
  for (int round = 0; round < 20; ++round) {
    const std::size_t n = 1 + round % 4;
    StabilizerDecomposedState s = two_term_state(n);
    // The same state, densely.
    std::vector<std::complex<double>> expected = test::dense_sum(s);
    testing_support::DenseState dense(expected);
    const auto coefficients = s.coefficients();
    for (int i = 0; i < 30; ++i) {
      const auto kind = static_cast<pelmar::CliffordGateKind>(rng() % (n > 1 ? 11 : 8));
      pelmar::CliffordGate g{kind, rng() % n, 0};
      if (g.is_two_qubit()) g.q1 = (g.q0 + 1 + rng() % (n - 1)) % n;
      ASSERT_TRUE(s.apply_gate(G::from_clifford_gate(g)));
      dense.apply(g);
    }
    EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(s), dense.amps()), 1e-12);
    EXPECT_EQ(s.coefficients(), coefficients);
    EXPECT_EQ(s.global_factor(), std::complex<double>(1, 0));
    EXPECT_EQ(s.num_qubits(), n);
  }
}

TEST(DecomposedGates, NonCliffordRefusedBeforeAnyTerm) {
  for (const G& g : {G::T(0), G::Tdg(50), G::CCX(0, 1, 1)}) {
    StabilizerDecomposedState s = two_term_state(2);
    const auto before = s.terms();
    const Status r = s.apply_gate(g);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), Error::non_clifford_gate_application(std::string(g.name())));
    EXPECT_EQ(s.terms(), before);
  }
}

TEST(DecomposedGates, ChFormFailuresAreWrappedAndLeaveTermsUnchanged) {
  struct Case {
    G gate;
    pelmar::Error error;
  };
  for (const Case& c : {Case{G::H(2), pelmar::Error::qubit_index_out_of_bounds(2, 2)},
                        Case{G::CX(1, 1), pelmar::Error::duplicate_qubit_indices(1)},
                        Case{G::Swap(0, 7), pelmar::Error::qubit_index_out_of_bounds(7, 2)}}) {
    StabilizerDecomposedState s = two_term_state(2);
    const auto before = s.terms();
    const Status r = s.apply_gate(c.gate);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), Error::from_ch_form(c.error));
    EXPECT_EQ(s.terms(), before);
  }
}

TEST(DecomposedGates, EmptyTermListAcceptsAnyCliffordGate) {
  StabilizerDecomposedState s({}, {}, 3);
  EXPECT_TRUE(s.apply_gate(G::H(99)));
  EXPECT_TRUE(s.apply_x(99));
  EXPECT_EQ(s.stabilizer_rank(), 0u);
}

TEST(DecomposedGates, ApplyXFlipsEveryTerm) {
  StabilizerDecomposedState s = two_term_state(3);
  testing_support::DenseState dense(test::dense_sum(s));
  ASSERT_TRUE(s.apply_x(1));
  dense.x(1);
  EXPECT_LT(testing_support::max_abs_diff(test::dense_sum(s), dense.amps()), 1e-12);
  const Status bad = s.apply_x(3);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error(), Error::from_ch_form(pelmar::Error::qubit_index_out_of_bounds(3, 3)));
}

}  // namespace
}  // namespace kelvra
