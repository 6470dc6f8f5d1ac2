// Every CH-form operation checked against a dense state vector on random Clifford circuits.
//
// The small suite runs circuits on 1..6 qubits. The scattered suite embeds six active qubits at
// positions around the 64-bit word boundaries of a wide form (the others stay |0⟩ unless a test
// says otherwise), so the dense reference still has 2^6 entries while every row operation, mask
// and bit shift of the form crosses words.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"
#include "testing/dense_state.h"

namespace {

using pelmar::CliffordCircuit;
using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::QubitState;
using pelmar::StabilizerCHForm;
using testing_support::Amp;
using testing_support::DenseState;
using testing_support::max_abs_diff;

constexpr double kTol = 1e-12;

/// A random gate list over all eleven kinds on qubits 0..n−1 (two-qubit kinds only for n ≥ 2).
CliffordCircuit random_circuit(std::mt19937& rng, std::size_t n, std::size_t num_gates) {
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

std::string describe(const CliffordCircuit& c) {
  static const char* names[] = {"H", "X", "Y", "Z", "S", "Sdg", "SqrtX", "SqrtXdg", "CX", "CZ", "Swap"};
  std::ostringstream o;
  o << c.num_qubits() << " qubits:";
  for (const auto& g : c.gates()) {
    o << ' ' << names[static_cast<int>(g.kind)] << '(' << g.q0;
    if (g.is_two_qubit()) o << ',' << g.q1;
    o << ')';
  }
  return o.str();
}

StabilizerCHForm build(const CliffordCircuit& c) {
  auto f = StabilizerCHForm::from_clifford_circuit(c);
  if (!f) throw std::runtime_error(f.error().message());
  return *f;
}

DenseState dense_of(const CliffordCircuit& c) {
  DenseState d(c.num_qubits());
  d.apply(c);
  return d;
}

std::vector<Amp> normalised(const DenseState& d) {
  std::vector<Amp> a = d.amps();
  const double norm = std::sqrt(d.norm_squared());
  for (auto& x : a) x /= norm;
  return a;
}

// ---------------------------------------------------------------------------------------------
// 1..6 qubits.

class SmallRandomCircuits : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SmallRandomCircuits, EveryGateMatchesTheDenseState) {
  const std::size_t n = GetParam();
  std::mt19937 rng(1000 + n);
  for (int trial = 0; trial < 100; ++trial) {
    const CliffordCircuit c = random_circuit(rng, n, 6 * n + 4);
    SCOPED_TRACE(describe(c));
    auto form = *StabilizerCHForm::create(n);
    DenseState dense(n);
    for (std::size_t i = 0; i < c.gates().size(); ++i) {
      ASSERT_TRUE(form.apply_gate(c.gates()[i]).has_value());
      dense.apply(c.gates()[i]);
      ASSERT_LT(max_abs_diff(form.to_statevector(), dense.amps()), kTol) << "after gate " << i;
    }
  }
}

TEST_P(SmallRandomCircuits, AmplitudesAndQubitStates) {
  const std::size_t n = GetParam();
  std::mt19937 rng(2000 + n);
  for (int trial = 0; trial < 20; ++trial) {
    const CliffordCircuit c = random_circuit(rng, n, 8 * n);
    SCOPED_TRACE(describe(c));
    const auto form = build(c);
    const DenseState dense = dense_of(c);
    for (std::size_t t = 0; t < (std::size_t{1} << n); ++t) {
      std::vector<std::uint8_t> bits(n);
      for (std::size_t j = 0; j < n; ++j) bits[j] = (t >> j) & 1;
      EXPECT_LT(std::abs(*form.amplitude(bits) - dense.amps()[t]), kTol) << "index " << t;
    }
    for (std::size_t q = 0; q < n; ++q) {
      DenseState zero = dense;
      zero.project(q, false);
      const double p0 = zero.norm_squared();
      const QubitState expected = p0 > 1 - 1e-9 ? QubitState::Zero : p0 < 1e-9 ? QubitState::One
                                                                                : QubitState::Superposition;
      EXPECT_EQ(*form.get_qubit_state(q), expected) << "qubit " << q;
    }
  }
}

TEST_P(SmallRandomCircuits, InnerProductsOfRandomPairs) {
  const std::size_t n = GetParam();
  std::mt19937 rng(3000 + n);
  for (int trial = 0; trial < 40; ++trial) {
    const CliffordCircuit ca = random_circuit(rng, n, 6 * n);
    // Every third pair shares a prefix, so overlaps of modulus 1 and 2^(−k/2) are frequent.
    CliffordCircuit cb = trial % 3 == 0 ? ca : random_circuit(rng, n, 6 * n);
    if (trial % 3 == 0) {
      const CliffordCircuit extra = random_circuit(rng, n, 2);
      for (const auto& g : extra.gates()) cb.add_gate(g);
    }
    SCOPED_TRACE(describe(ca) + " | " + describe(cb));
    const auto a = build(ca), b = build(cb);
    const DenseState da = dense_of(ca), db = dense_of(cb);
    EXPECT_LT(std::abs(*a.inner_product(b) - da.inner(db)), kTol);
    EXPECT_LT(std::abs(*b.inner_product(a) - db.inner(da)), kTol);
    EXPECT_LT(std::abs(*a.inner_product(a) - Amp(1, 0)), kTol);
  }
}

TEST_P(SmallRandomCircuits, ProjectionOntoBothOutcomes) {
  const std::size_t n = GetParam();
  std::mt19937 rng(4000 + n);
  for (int trial = 0; trial < 20; ++trial) {
    const CliffordCircuit c = random_circuit(rng, n, 6 * n);
    SCOPED_TRACE(describe(c));
    const auto form = build(c);
    const DenseState dense = dense_of(c);
    for (std::size_t q = 0; q < n; ++q) {
      for (bool outcome : {false, true}) {
        SCOPED_TRACE("qubit " + std::to_string(q) + " onto " + std::to_string(outcome));
        DenseState projected = dense;
        projected.project(q, outcome);
        const double p = projected.norm_squared();
        auto f = form;
        auto r = f.project(q, outcome);
        if (p < 1e-9) {
          ASSERT_FALSE(r.has_value());
          EXPECT_EQ(r.error(), pelmar::Error::impossible_projection(q, outcome));
          EXPECT_EQ(f, form);
        } else {
          ASSERT_TRUE(r.has_value());
          EXPECT_EQ(*r, p > 1 - 1e-9);
          if (*r) {
            EXPECT_EQ(f, form);
          }
          EXPECT_LT(max_abs_diff(f.to_statevector(), normalised(projected)), kTol);
        }
      }
    }
  }
}

TEST_P(SmallRandomCircuits, DiscardOfAProjectedQubit) {
  const std::size_t n = GetParam();
  std::mt19937 rng(5000 + n);
  for (int trial = 0; trial < 30; ++trial) {
    const CliffordCircuit c = random_circuit(rng, n, 6 * n);
    SCOPED_TRACE(describe(c));
    const std::size_t q = std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    auto form = build(c);
    DenseState dense = dense_of(c);
    if (!form.project(q, false)) continue;  // fixed at 1
    dense.project(q, false);
    const std::vector<Amp> before = normalised(dense);
    dense = DenseState(before);
    dense.discard(q);
    ASSERT_TRUE(form.discard(q).has_value()) << "qubit " << q;
    EXPECT_EQ(form.num_qubits(), n - 1);
    EXPECT_LT(max_abs_diff(form.to_statevector(), dense.amps()), kTol) << "qubit " << q;
    // The smaller form is a valid form: further gates and overlaps keep agreeing.
    if (n >= 2) {
      const CliffordCircuit more = random_circuit(rng, n - 1, 5);
      for (const auto& g : more.gates()) {
        ASSERT_TRUE(form.apply_gate(g).has_value());
        dense.apply(g);
      }
      EXPECT_LT(max_abs_diff(form.to_statevector(), dense.amps()), kTol);
      EXPECT_LT(std::abs(*form.inner_product(form) - Amp(1, 0)), kTol);
    }
  }
}

TEST_P(SmallRandomCircuits, KronOfRandomPairs) {
  const std::size_t n = GetParam();
  std::mt19937 rng(6000 + n);
  for (int trial = 0; trial < 10; ++trial) {
    const std::size_t n1 = std::uniform_int_distribution<std::size_t>(1, n)(rng);
    const std::size_t n2 = std::uniform_int_distribution<std::size_t>(1, 7 - n1 > 0 ? 7 - n1 : 1)(rng);
    const CliffordCircuit c1 = random_circuit(rng, n1, 5 * n1), c2 = random_circuit(rng, n2, 5 * n2);
    SCOPED_TRACE(describe(c1) + " (x) " + describe(c2));
    const auto a = build(c1), b = build(c2);
    auto r = a.kron(b);
    ASSERT_TRUE(r.has_value());
    const DenseState expected = dense_of(c1).kron(dense_of(c2));
    EXPECT_LT(max_abs_diff(r->to_statevector(), expected.amps()), kTol);
    // The product is a valid form: gates across the two blocks still agree.
    DenseState d = expected;
    const CliffordCircuit across = random_circuit(rng, n1 + n2, 10);
    for (const auto& g : across.gates()) {
      ASSERT_TRUE(r->apply_gate(g).has_value());
      d.apply(g);
    }
    EXPECT_LT(max_abs_diff(r->to_statevector(), d.amps()), kTol);
  }
}

INSTANTIATE_TEST_SUITE_P(Qubits, SmallRandomCircuits, ::testing::Values(1, 2, 3, 4, 5, 6),
                         [](const auto& info) { return "n" + std::to_string(info.param); });

// ---------------------------------------------------------------------------------------------
// Six active qubits scattered across word boundaries of a wide form.

struct Scattered {
  std::size_t width;
  std::array<std::size_t, 6> positions;
};

std::ostream& operator<<(std::ostream& o, const Scattered& s) { return o << s.width; }

/// The circuit on the six active qubits, relabelled into the wide form.
CliffordCircuit spread(const CliffordCircuit& c, const Scattered& layout) {
  CliffordCircuit wide(layout.width);
  for (auto g : c.gates()) {
    g.q0 = layout.positions[g.q0];
    if (g.is_two_qubit()) g.q1 = layout.positions[g.q1];
    wide.add_gate(g);
  }
  return wide;
}

/// The 64 amplitudes of the active qubits (all other qubits read as 0).
std::vector<Amp> active_amplitudes(const StabilizerCHForm& f, const std::array<std::size_t, 6>& positions) {
  std::vector<Amp> out(64);
  std::vector<std::uint8_t> bits(f.num_qubits(), 0);
  for (std::size_t t = 0; t < 64; ++t) {
    for (std::size_t j = 0; j < 6; ++j) bits[positions[j]] = (t >> j) & 1;
    out[t] = *f.amplitude(bits);
  }
  return out;
}

class ScatteredQubits : public ::testing::TestWithParam<Scattered> {};

TEST_P(ScatteredQubits, GatesAmplitudesAndInnerProducts) {
  const Scattered layout = GetParam();
  std::mt19937 rng(static_cast<unsigned>(7000 + layout.width));
  for (int trial = 0; trial < 12; ++trial) {
    const CliffordCircuit ca = random_circuit(rng, 6, 40), cb = random_circuit(rng, 6, 40);
    SCOPED_TRACE(describe(ca) + " | " + describe(cb));
    const auto a = build(spread(ca, layout)), b = build(spread(cb, layout));
    const DenseState da = dense_of(ca), db = dense_of(cb);
    EXPECT_LT(max_abs_diff(active_amplitudes(a, layout.positions), da.amps()), kTol);
    EXPECT_LT(std::abs(*a.inner_product(b) - da.inner(db)), kTol);
    for (std::size_t j = 0; j < 6; ++j) {
      DenseState projected = da;
      projected.project(j, true);
      auto f = a;
      auto r = f.project(layout.positions[j], true);
      ASSERT_EQ(r.has_value(), projected.norm_squared() > 1e-9) << "qubit " << j;
      if (r) {
        EXPECT_LT(max_abs_diff(active_amplitudes(f, layout.positions), normalised(projected)), kTol);
      }
    }
  }
}

TEST_P(ScatteredQubits, DiscardShiftsTheHigherQubitsDown) {
  const Scattered layout = GetParam();
  std::mt19937 rng(static_cast<unsigned>(8000 + layout.width));
  for (int trial = 0; trial < 12; ++trial) {
    const CliffordCircuit c = random_circuit(rng, 6, 40);
    SCOPED_TRACE(describe(c));
    const std::size_t j = std::uniform_int_distribution<std::size_t>(0, 5)(rng);
    auto form = build(spread(c, layout));
    DenseState dense = dense_of(c);
    if (!form.project(layout.positions[j], false)) continue;
    dense.project(j, false);
    dense = DenseState(normalised(dense));
    dense.discard(j);
    ASSERT_TRUE(form.discard(layout.positions[j]).has_value());
    ASSERT_EQ(form.num_qubits(), layout.width - 1);
    // Five active qubits remain; those above the removed one moved down by one.
    std::vector<std::size_t> pos;
    for (std::size_t i = 0; i < 6; ++i)
      if (i != j) pos.push_back(layout.positions[i] - (layout.positions[i] > layout.positions[j]));
    std::vector<std::uint8_t> bits(form.num_qubits(), 0);
    for (std::size_t t = 0; t < 32; ++t) {
      for (std::size_t i = 0; i < 5; ++i) bits[pos[i]] = (t >> i) & 1;
      EXPECT_LT(std::abs(*form.amplitude(bits) - dense.amps()[t]), kTol) << "index " << t;
    }
    // An idle qubit below the active ones is |0⟩ and can go too; everything shifts again.
    if (*std::min_element(pos.begin(), pos.end()) > 0) {
      ASSERT_TRUE(form.discard(0).has_value());
      std::vector<std::uint8_t> fewer(form.num_qubits(), 0);
      for (std::size_t t = 0; t < 32; ++t) {
        for (std::size_t i = 0; i < 5; ++i) fewer[pos[i] - 1] = (t >> i) & 1;
        EXPECT_LT(std::abs(*form.amplitude(fewer) - dense.amps()[t]), kTol) << "index " << t;
      }
    }
  }
}

TEST_P(ScatteredQubits, KronPlacesTheSecondFactorAtAnOffset) {
  const Scattered layout = GetParam();
  const auto& p = layout.positions;
  std::mt19937 rng(static_cast<unsigned>(9000 + layout.width));
  // Three active qubits in each factor; in the product the second factor's sit `width` higher.
  const Scattered low{layout.width, {p[0], p[2], p[5], 0, 0, 0}};
  const Scattered high{layout.width, {p[1], p[3], p[4], 0, 0, 0}};
  const std::array<std::size_t, 6> pos = {p[0], p[2], p[5], layout.width + p[1], layout.width + p[3],
                                          layout.width + p[4]};
  for (int trial = 0; trial < 8; ++trial) {
    const CliffordCircuit c1 = random_circuit(rng, 3, 20), c2 = random_circuit(rng, 3, 20);
    SCOPED_TRACE(describe(c1) + " (x) " + describe(c2));
    auto r = build(spread(c1, low)).kron(build(spread(c2, high)));
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(r->num_qubits(), 2 * layout.width);
    DenseState expected = dense_of(c1).kron(dense_of(c2));
    EXPECT_LT(max_abs_diff(active_amplitudes(*r, pos), expected.amps()), kTol);
    // Gates joining the two blocks across the offset keep agreeing.
    const Scattered joined{2 * layout.width, pos};
    const CliffordCircuit mix = random_circuit(rng, 6, 30);
    const CliffordCircuit wide_mix = spread(mix, joined);
    for (const auto& g : wide_mix.gates()) ASSERT_TRUE(r->apply_gate(g).has_value());
    expected.apply(mix);
    EXPECT_LT(max_abs_diff(active_amplitudes(*r, pos), expected.amps()), kTol);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ScatteredQubits,
    ::testing::Values(Scattered{63, {0, 1, 31, 61, 62, 60}}, Scattered{64, {63, 0, 62, 1, 32, 33}},
                      Scattered{65, {64, 63, 0, 62, 1, 32}}, Scattered{130, {129, 64, 63, 65, 0, 127}},
                      Scattered{200, {128, 191, 63, 64, 127, 199}}),
    [](const auto& info) { return "w" + std::to_string(info.param.width); });

}  // namespace
