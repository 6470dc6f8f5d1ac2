#pragma once
/// Fixtures of the engine tests: random Clifford+T circuits with their dense reference states, and
/// small hand-made decompositions.
/// Header-only, so that only engine test programs (which link the engine) pull it in.

#include <algorithm>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/state/quantum_state.h"
#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/ch_form.h"
#include "testing/dense_state.h"

namespace testing_support {

struct CircuitCase {
  kelvra::QuantumCircuit circuit;
  DenseState dense;
};

/// A random circuit of `n` qubits: `num_clifford` gates drawn uniformly from the eleven Clifford
/// kinds (two-qubit kinds only when n ≥ 2) with `num_t` T or Tdg gates at random positions.
inline CircuitCase random_clifford_t_circuit(std::mt19937_64& rng, std::size_t n, std::size_t num_t,
                                             std::size_t num_clifford) {
  CircuitCase c{kelvra::QuantumCircuit(n), DenseState(n)};
  std::vector<bool> is_t(num_t + num_clifford, false);
  for (std::size_t k = 0; k < num_t; ++k) is_t[k] = true;
  std::shuffle(is_t.begin(), is_t.end(), rng);
  auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(rng); };
  for (const bool t : is_t) {
    const std::size_t q = pick(n);
    if (t) {
      if (pick(2) == 0) {
        c.circuit.apply_t(q);
        c.dense.t(q);
      } else {
        c.circuit.apply_tdg(q);
        c.dense.tdg(q);
      }
      continue;
    }
    const std::size_t kind = pick(n >= 2 ? 11 : 8);
    std::size_t q2 = pick(n);
    if (kind >= 8) {
      q2 = (q + 1 + pick(n - 1)) % n;
    }
    pelmar::CliffordGate g{static_cast<pelmar::CliffordGateKind>(kind), q, q2};
    if (kind < 8) g.q1 = 0;
    c.circuit.apply_gate(kelvra::QuantumGate::from_clifford_gate(g));
    c.dense.apply(g);
  }
  return c;
}

/// One reproducible case per seed: 1 to 6 qubits, 0 to 8 T-type gates, up to 24 Clifford gates.
inline CircuitCase seeded_case(std::uint64_t seed) {
  std::mt19937_64 rng(seed * 0x9E3779B97F4A7C15ull + 12345);
  const std::size_t n = std::uniform_int_distribution<std::size_t>(1, 6)(rng);
  const std::size_t t = std::uniform_int_distribution<std::size_t>(0, 8)(rng);
  const std::size_t cliffords = std::uniform_int_distribution<std::size_t>(2 * n, 24)(rng);
  return random_clifford_t_circuit(rng, n, t, cliffords);
}

/// The compiled state of a circuit the compiler is known to accept.
inline kelvra::QuantumState compile(const kelvra::QuantumCircuit& circuit) {
  auto s = kelvra::QuantumState::from_circuit(circuit);
  if (!s) throw std::runtime_error("compilation failed: " + s.error().message());
  return std::move(*s);
}

/// The CH form of a Clifford circuit on |0…0⟩ of n qubits.
inline pelmar::StabilizerCHForm ch_form(std::size_t n, std::vector<pelmar::CliffordGate> gates = {}) {
  auto f = pelmar::StabilizerCHForm::from_clifford_circuit(pelmar::CliffordCircuit(n, std::move(gates)));
  if (!f) throw std::runtime_error("bad fixture form: " + f.error().message());
  return std::move(*f);
}

/// g · Σ c_i φ_i.
inline kelvra::StabilizerDecomposedState decomposition(std::size_t n, std::vector<pelmar::StabilizerCHForm> terms,
                                                       std::vector<kelvra::Scalar> coefficients,
                                                       std::complex<double> g = {1.0, 0.0}) {
  kelvra::StabilizerDecomposedState s(std::move(terms), std::move(coefficients), n);
  s.set_global_factor(g);
  return s;
}

/// The state vector of a decomposition the test knows to be small.
inline std::vector<Amp> vector_of(const kelvra::StabilizerDecomposedState& s) {
  auto v = s.to_statevector();
  if (!v) throw std::runtime_error("state vector failed: " + v.error().message());
  return std::move(*v);
}

/// 32 seed bytes derived from a small number.
inline pelmar::Seed seed_bytes(std::uint64_t k) {
  pelmar::Seed s{};
  for (std::size_t i = 0; i < 8; ++i) s[i] = static_cast<std::uint8_t>(k >> (8 * i));
  s[31] = 0x5a;
  return s;
}

}  // namespace testing_support
