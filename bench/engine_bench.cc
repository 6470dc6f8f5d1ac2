// Times the engine's main operations on random Clifford+T circuits: a uniformly random Clifford
// layer on n qubits, then t T gates on random qubits, each preceded by an H and a CX on random
// qubits. Prints one row per (n, t) with the stabilizer rank of the compiled state. Asserts nothing.
//
//   compile      circuit → decomposition
//   norm         one squared norm (rank·(rank+1)/2 CH-form inner products)
//   measure_all  measurement of every qubit (two projections and two norms per qubit)
//   sample       1000 shots of the highest `sampled` qubits, the number of distinct outcomes beside
//
// Operations that would take far longer than the rest are not run: measure_all then shows an
// estimate marked '~', and sample lists fewer qubits.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <random>
#include <vector>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/state/quantum_state.h"

namespace {

using Clock = std::chrono::steady_clock;

pelmar::Seed seed_of(std::uint64_t k) {
  pelmar::Seed s{};
  for (std::size_t i = 0; i < 8; ++i) s[i] = static_cast<std::uint8_t>(k >> (8 * i));
  return s;
}

kelvra::QuantumCircuit bench_circuit(std::size_t n, std::size_t t, std::uint64_t seed) {
  kelvra::QuantumCircuit c = kelvra::QuantumCircuit::random_clifford(n, seed_of(seed));
  std::mt19937_64 rng(seed);
  auto qubit = [&] { return static_cast<std::size_t>(rng() % n); };
  for (std::size_t k = 0; k < t; ++k) {
    c.apply_h(qubit());
    const std::size_t a = qubit();
    c.apply_cx(a, (a + 1 + rng() % (n - 1)) % n);
    c.apply_t(qubit());
  }
  return c;
}

/// Seconds per call: the best of up to `reps` runs, stopping early once one run takes over 0.2 s.
template <class F>
double best_seconds(F&& f, int reps = 3) {
  double best = 1e300;
  for (int r = 0; r < reps; ++r) {
    const auto t0 = Clock::now();
    f();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    best = std::min(best, s);
    if (s > 0.2) break;
  }
  return best;
}

void fail(const char* what, const kelvra::Error& e) {
  std::fprintf(stderr, "%s failed: %s\n", what, e.message().c_str());
  std::exit(1);
}

}  // namespace

int main() {
  constexpr std::uint64_t kShots = 1000;
  constexpr std::size_t kMaxSampled = 20;
  // Operations whose estimated time exceeds this are not run; their estimate is printed with '~'.
  constexpr double kBudgetSeconds = 8.0;
  std::printf("%4s %3s %5s %11s %10s %15s %11s %8s %9s\n", "n", "t", "rank", "compile ms", "norm ms",
              "measure_all ms", "sample ms", "sampled", "outcomes");
  const auto start = Clock::now();
  for (const std::size_t n : {20, 40, 60}) {
    for (const std::size_t t : {4, 8, 12, 16}) {
      const kelvra::QuantumCircuit circuit = bench_circuit(n, t, 1000 * n + t);

      std::optional<kelvra::QuantumState> state;
      const double compile = best_seconds([&] {
        auto s = kelvra::QuantumState::from_circuit(circuit);
        if (!s) fail("compile", s.error());
        state.emplace(std::move(*s));
      });

      const double norm = best_seconds([&] {
        if (auto r = state->norm(); !r) fail("norm", r.error());
      });

      // Two norms of states of about the same rank per measured qubit.
      char measure_text[32];
      const double measure_estimate = 2.0 * static_cast<double>(n) * norm;
      if (measure_estimate <= kBudgetSeconds) {
        const double measure_all = best_seconds([&] {
          kelvra::QuantumState copy = *state;
          if (auto r = copy.measure_all(seed_of(7)); !r) fail("measure_all", r.error());
        });
        std::snprintf(measure_text, sizeof measure_text, "%.3f", measure_all * 1e3);
      } else {
        std::snprintf(measure_text, sizeof measure_text, "~%.0f", measure_estimate * 1e3);
      }

      // The most qubits (at most kMaxSampled, the highest ones) whose branch points, at most
      // min(2^k − 1, shots · k) with two norms each, fit the budget.
      std::size_t sampled = 1;
      auto sample_estimate = [&](std::size_t k) {
        const double points = std::min(std::ldexp(1.0, static_cast<int>(k)) - 1.0, static_cast<double>(kShots * k));
        return 2.0 * points * norm;
      };
      while (sampled < std::min(n, kMaxSampled) && sample_estimate(sampled + 1) <= kBudgetSeconds) ++sampled;
      std::vector<std::size_t> qubits(sampled);
      std::iota(qubits.begin(), qubits.end(), n - sampled);
      std::size_t outcomes = 0;
      const double sample = best_seconds([&] {
        auto r = state->sample(qubits, kShots, seed_of(9));
        if (!r) fail("sample", r.error());
        outcomes = r->size();
      });

      std::printf("%4zu %3zu %5zu %11.3f %10.3f %15s %11.3f %8zu %9zu\n", n, t, state->stabilizer_rank(),
                  compile * 1e3, norm * 1e3, measure_text, sample * 1e3, sampled, outcomes);
      std::fflush(stdout);
    }
  }
  std::printf("total %.1f s\n", std::chrono::duration<double>(Clock::now() - start).count());
}
