#include <gtest/gtest.h>

#include <random>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/pauli_string.h"
#include "testing/engine_fixtures.h"

namespace {

using kelvra::ErrorKind;
using kelvra::Scalar;
using pelmar::CliffordGate;
using pelmar::Pauli;
using pelmar::PauliString;
using testing_support::ch_form;
using testing_support::decomposition;
using testing_support::DenseState;

constexpr char kLetters[] = {'I', 'X', 'Y', 'Z'};

/// ⟨ψ|P|ψ⟩ on the dense reference, P given by one letter per qubit.
double dense_exp_value(const DenseState& d, const std::vector<char>& letters) {
  DenseState image = d;
  image.apply_pauli(letters);
  return d.inner(image).real();
}

class ExpValueOfCompiledCircuit : public ::testing::TestWithParam<std::uint64_t> {};

// Dense and sparse strings on an unnormalised state with a non-trivial global factor.
TEST_P(ExpValueOfCompiledCircuit, MatchesDenseReference) {
  const auto c = testing_support::seeded_case(GetParam());
  SCOPED_TRACE(c.circuit.to_string());
  const std::size_t n = c.dense.num_qubits();
  std::mt19937_64 pick(GetParam());
  auto state = testing_support::compile(c.circuit).decomposition();
  auto dense = c.dense;
  const std::size_t q = pick() % n;
  ASSERT_TRUE(state.project_unnormalized(q, true).has_value());
  dense.project(q, true);
  state.set_global_factor({0.0, -1.5});
  for (auto& a : dense.amps()) a *= std::complex<double>(0.0, -1.5);

  for (int k = 0; k < 6; ++k) {
    std::vector<char> letters(n, 'I');
    std::vector<Pauli> paulis(n);
    for (std::size_t j = 0; j < n; ++j) {
      paulis[j] = static_cast<Pauli>(pick() % 4);
      letters[j] = kLetters[static_cast<int>(paulis[j])];
    }
    // The same operator written sparsely, factors in a shuffled order.
    std::vector<std::pair<std::size_t, Pauli>> terms;
    for (std::size_t j = 0; j < n; ++j)
      if (paulis[j] != Pauli::I) terms.emplace_back(j, paulis[j]);
    std::shuffle(terms.begin(), terms.end(), pick);
    const double expected = dense_exp_value(dense, letters);
    SCOPED_TRACE(std::string(letters.begin(), letters.end()));

    const auto d = state.exp_value(PauliString::dense(paulis));
    ASSERT_TRUE(d.has_value()) << d.error().message();
    EXPECT_NEAR(*d, expected, 1e-9);
    if (terms.empty()) continue;  // an empty sparse string names qubit 0 and is checked separately
    const auto s = state.exp_value(PauliString::sparse(terms));
    ASSERT_TRUE(s.has_value()) << s.error().message();
    EXPECT_NEAR(*s, expected, 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ExpValueOfCompiledCircuit, ::testing::Range<std::uint64_t>(0, 30));

struct SmallCase {
  const char* name;
  std::vector<CliffordGate> prep;
  Pauli letter;
  std::complex<double> g;
  double expected;
};

class ExpValueOfBasisState : public ::testing::TestWithParam<SmallCase> {};

TEST_P(ExpValueOfBasisState, IsExact) {
  const auto& p = GetParam();
  const auto s = decomposition(1, {ch_form(1, p.prep)}, {Scalar::one()}, p.g);
  const auto v = s.exp_value(PauliString::dense({p.letter}));
  ASSERT_TRUE(v.has_value());
  EXPECT_NEAR(*v, p.expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpValueOfBasisState,
    ::testing::Values(SmallCase{"z_on_zero", {}, Pauli::Z, {1, 0}, 1.0},
                      SmallCase{"z_on_one", {CliffordGate::X(0)}, Pauli::Z, {1, 0}, -1.0},
                      SmallCase{"x_on_zero", {}, Pauli::X, {1, 0}, 0.0},
                      SmallCase{"y_on_plus_i", {CliffordGate::H(0), CliffordGate::S(0)}, Pauli::Y, {1, 0}, 1.0},
                      SmallCase{"not_divided_by_norm", {}, Pauli::Z, {2, 0}, 4.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExpValue, StringMustFitTheRegister) {
  auto s = decomposition(2, {ch_form(2)}, {Scalar::one()});
  struct Case {
    PauliString pauli;
    std::size_t found;
  };
  const Case cases[] = {
      {PauliString::dense({Pauli::Z, Pauli::I, Pauli::X}), 3},
      {PauliString::dense({Pauli::Z}), 1},
      {PauliString::sparse({{0, Pauli::X}, {5, Pauli::Z}}), 6},
  };
  for (const Case& c : cases) {
    const auto r = s.exp_value(c.pauli);
    ASSERT_FALSE(r.has_value()) << c.pauli.to_string();
    EXPECT_EQ(r.error().kind, ErrorKind::InvalidPauliStringLength);
    EXPECT_EQ(r.error().message(),
              "Invalid Pauli string length: expected 2, found " + std::to_string(c.found) + ".");
  }
  // An empty sparse string is the identity and fits any register with a qubit; with no terms the
  // width is still checked.
  EXPECT_NEAR(*s.exp_value(PauliString::sparse({})), 1.0, 1e-12);
  const auto none = decomposition(2, {}, {});
  EXPECT_FALSE(none.exp_value(PauliString::dense({Pauli::Z})).has_value());
}

}  // namespace
