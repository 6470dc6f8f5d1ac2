// Cost of the CH-form primitives: nanoseconds per CX, S and H gate and per inner product, on
// states prepared by random Clifford circuits. Prints figures; asserts nothing.

#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "pelmar/ch_form.h"

namespace {

using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::StabilizerCHForm;
using Clock = std::chrono::steady_clock;

StabilizerCHForm random_state(std::mt19937& rng, std::size_t n, std::size_t gates) {
  auto f = *StabilizerCHForm::create(n);
  std::uniform_int_distribution<int> kind(0, 10);
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  for (std::size_t i = 0; i < gates; ++i) {
    const std::size_t a = qubit(rng);
    (void)f.apply_gate({static_cast<CliffordGateKind>(kind(rng)), a, (a + 1 + qubit(rng) % (n - 1)) % n});
  }
  return f;
}

double ns_per(Clock::duration d, std::size_t count) {
  return std::chrono::duration<double, std::nano>(d).count() / static_cast<double>(count);
}

double time_gates(StabilizerCHForm& f, std::mt19937& rng, CliffordGateKind kind, std::size_t count) {
  const std::size_t n = f.num_qubits();
  std::uniform_int_distribution<std::size_t> qubit(0, n - 1);
  std::vector<CliffordGate> gates(count);
  for (auto& g : gates) {
    g.kind = kind;
    g.q0 = qubit(rng);
    g.q1 = (g.q0 + 1 + qubit(rng) % (n - 1)) % n;
  }
  const auto t0 = Clock::now();
  for (const auto& g : gates) (void)f.apply_gate(g);
  return ns_per(Clock::now() - t0, count);
}

}  // namespace

int main() {
  std::mt19937 rng(12345);
  std::printf("%6s %12s %12s %12s %16s %16s\n", "n", "CX ns", "S ns", "H ns", "inner near ns", "inner far ns");
  for (std::size_t n : {16, 64, 256, 1024}) {
    // Enough preparation gates that G, F and M are dense.
    auto a = random_state(rng, n, 4 * n);
    // near: a projected onto one outcome of each of its first qubits in superposition (a nonzero
    // overlap); far: an independent random state.
    auto near = a;
    for (std::size_t q = 0, done = 0; q < n && done < 4; ++q)
      if (*near.get_qubit_state(q) == pelmar::QubitState::Superposition) {
        (void)near.project(q, false);
        ++done;
      }
    const auto far = random_state(rng, n, 4 * n);

    const std::size_t gate_count = n <= 256 ? 1000000 : 200000;
    auto work = a;
    const double cx = time_gates(work, rng, CliffordGateKind::CX, gate_count);
    const double s = time_gates(work, rng, CliffordGateKind::S, gate_count);
    const double h = time_gates(work, rng, CliffordGateKind::H, gate_count / (n <= 64 ? 1 : n / 64));

    const std::size_t reps = n <= 64 ? 20000 : n <= 256 ? 1000 : 40;
    double overlap = 0;
    auto time_inner = [&](const StabilizerCHForm& other) {
      const auto t0 = Clock::now();
      for (std::size_t i = 0; i < reps; ++i) overlap += std::abs(*a.inner_product(other));
      return ns_per(Clock::now() - t0, reps);
    };
    const double ip_near = time_inner(near);
    const double ip_far = time_inner(far);

    std::printf("%6zu %12.1f %12.1f %12.1f %16.0f %16.0f   (sum |<a|b>| = %.3g)\n", n, cx, s, h, ip_near,
                ip_far, overlap);
  }
  return 0;
}
