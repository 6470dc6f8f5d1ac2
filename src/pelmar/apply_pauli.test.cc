#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"
#include "pelmar/chacha_rng.h"
#include "pelmar/pauli_string.h"
#include "pelmar/random_clifford.h"
#include "testing/dense_state.h"

namespace {

using pelmar::Error;
using pelmar::Pauli;
using pelmar::PauliString;
using pelmar::StabilizerCHForm;

StabilizerCHForm fresh(std::size_t n) { return *StabilizerCHForm::create(n); }

PauliString parse(const char* text) { return *PauliString::parse(text); }

TEST(ApplyPauli, DenseYIsTheYGate) {
  StabilizerCHForm a = fresh(1), b = fresh(1);
  ASSERT_TRUE(a.apply_pauli(parse("Y")).has_value());
  ASSERT_TRUE(b.apply_y(0).has_value());
  EXPECT_EQ(a, b);
}

TEST(ApplyPauli, IdentityFactorsBeyondTheRegisterAreIgnored) {
  StabilizerCHForm a = fresh(3);
  const StabilizerCHForm before = a;
  EXPECT_TRUE(a.apply_pauli(parse("IIIII")).has_value());
  EXPECT_TRUE(a.apply_pauli(PauliString::sparse({})).has_value());
  EXPECT_TRUE(a.apply_pauli(PauliString::sparse({{9, Pauli::I}})).has_value());
  EXPECT_EQ(a, before);
}

struct FailCase {
  const char* name;
  PauliString pauli;
  std::size_t bad_index;
  const char* applied_before;  // the gates that must already have acted, as a dense string
};

class ApplyPauliFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(ApplyPauliFailure, StopsAtTheFirstBadFactorKeepingEarlierOnes) {
  const FailCase& c = GetParam();
  StabilizerCHForm form = fresh(3);
  const auto st = form.apply_pauli(c.pauli);
  ASSERT_FALSE(st.has_value());
  EXPECT_EQ(st.error(), Error::qubit_index_out_of_bounds(c.bad_index, 3));
  StabilizerCHForm want = fresh(3);
  ASSERT_TRUE(want.apply_pauli(parse(c.applied_before)).has_value());
  EXPECT_EQ(form, want);
}

const FailCase kFailCases[] = {
    {"sparse_x", parse("X5"), 5, "III"},
    {"sparse_z_after_x", parse("X0 Z7 Y1"), 7, "IIX"},
    {"sparse_y", parse("Z2 Y3"), 3, "ZII"},
    {"dense_y_beyond", parse("YIIZX"), 4, "IZX"},
    {"dense_z_beyond", parse("ZIXYI"), 4, "XYI"},
};
INSTANTIATE_TEST_SUITE_P(Cases, ApplyPauliFailure, ::testing::ValuesIn(kFailCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyPauli, MatchesTheDenseReferenceOnRandomStates) {
  // Random Clifford states and random Pauli strings in both forms, compared amplitude by
  // amplitude, global phase included.
  pelmar::ChaChaRng rng(pelmar::Seed{7});
  const char letters[] = {'I', 'X', 'Y', 'Z'};
  for (std::size_t n = 1; n <= 5; ++n) {
    for (int trial = 0; trial < 12; ++trial) {
      pelmar::Seed seed{};
      seed[0] = static_cast<std::uint8_t>(n), seed[1] = static_cast<std::uint8_t>(trial);
      const auto circuit = pelmar::random_clifford(n, seed);

      std::vector<char> per_qubit(n);
      std::vector<Pauli> dense(n);
      std::vector<std::pair<std::size_t, Pauli>> sparse;
      for (std::size_t q = 0; q < n; ++q) {
        const int k = (rng.bit() ? 2 : 0) + (rng.bit() ? 1 : 0);
        per_qubit[q] = letters[k];
        dense[q] = static_cast<Pauli>(k);
        if (k) sparse.emplace_back(q, static_cast<Pauli>(k));
      }
      std::reverse(sparse.begin(), sparse.end());  // the order of factors must not matter

      testing_support::DenseState ref(n);
      ref.apply(circuit);
      ref.apply_pauli(per_qubit);
      for (const PauliString& p : {PauliString::dense(dense), PauliString::sparse(sparse)}) {
        StabilizerCHForm form = *StabilizerCHForm::from_clifford_circuit(circuit);
        ASSERT_TRUE(form.apply_pauli(p).has_value());
        EXPECT_LT(testing_support::max_abs_diff(form.to_statevector(), ref.amps()), 1e-9) << p.to_string();
      }
    }
  }
}

}  // namespace
