#include "pelmar/random_clifford.h"

#include <gtest/gtest.h>
#include <sys/random.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "pelmar/ch_form.h"
#include "testing/dense_state.h"

// getrandom(2), interposed to count the entropy reads; it forwards to the kernel.
namespace {
int g_entropy_reads = 0;
}
extern "C" ssize_t getrandom(void* buf, size_t len, unsigned int flags) {
  ++g_entropy_reads;
  return syscall(SYS_getrandom, buf, len, flags);
}

namespace {

using pelmar::CliffordCircuit;
using pelmar::CliffordGate;
using pelmar::CliffordGateKind;
using pelmar::Seed;
using testing_support::DenseState;

Seed seed_from(std::uint64_t i, std::uint8_t tag = 0) {
  Seed s{};
  for (int b = 0; b < 8; ++b) s[b] = static_cast<std::uint8_t>(i >> (8 * b));
  s[31] = tag;
  return s;
}

std::string describe(const CliffordCircuit& c) {
  static const char* names[] = {"H", "X", "Y", "Z", "S", "Sdg", "SqrtX", "SqrtXdg", "CX", "CZ", "Swap"};
  std::string out;
  for (const auto& g : c.gates()) {
    out += names[static_cast<int>(g.kind)];
    out += "(" + std::to_string(g.q0);
    if (g.is_two_qubit()) out += "," + std::to_string(g.q1);
    out += ") ";
  }
  return out;
}

TEST(RandomClifford, ZeroQubitsIsEmptyAndReadsNoEntropy) {
  g_entropy_reads = 0;
  EXPECT_EQ(pelmar::random_clifford(0, std::nullopt), CliffordCircuit(0));
  EXPECT_EQ(CliffordCircuit::random_clifford(0, seed_from(9)), CliffordCircuit(0));
  EXPECT_EQ(g_entropy_reads, 0);
  // A circuit of qubits without a seed reads entropy exactly once.
  EXPECT_EQ(pelmar::random_clifford(3, std::nullopt).num_qubits(), 3u);
  EXPECT_EQ(g_entropy_reads, 1);
}

TEST(RandomClifford, SeedDeterminesTheGateList) {
  for (std::size_t n : {1u, 5u, 70u}) {
    const CliffordCircuit a = pelmar::random_clifford(n, seed_from(1));
    EXPECT_EQ(a, CliffordCircuit::random_clifford(n, seed_from(1)));
    EXPECT_EQ(a.num_qubits(), n);
    EXPECT_NE(a, pelmar::random_clifford(n, seed_from(2)));
  }
}

TEST(RandomClifford, OneQubitGivesTwentyFourEquiprobableCircuits) {
  // At most S, one Pauli, H, S in that order: 2·4 without H and 2·4·2 with it.
  constexpr int kDraws = 24000;
  std::map<std::string, int> counts;
  for (int i = 0; i < kDraws; ++i) {
    const CliffordCircuit c = pelmar::random_clifford(1, seed_from(i, 1));
    bool seen_h = false;
    int stage = 0;  // 0: S allowed, 1: Pauli allowed, 2: H allowed, 3: second S allowed, 4: done
    for (const auto& g : c.gates()) {
      ASSERT_EQ(g.q0, 0u);
      int at;
      switch (g.kind) {
        case CliffordGateKind::S: at = stage == 0 ? 0 : 3; break;
        case CliffordGateKind::X:
        case CliffordGateKind::Y:
        case CliffordGateKind::Z: at = 1; break;
        case CliffordGateKind::H: at = 2, seen_h = true; break;
        default: FAIL() << describe(c);
      }
      ASSERT_GE(at, stage) << describe(c);
      ASSERT_TRUE(at != 3 || seen_h) << describe(c);
      stage = at + 1;
    }
    ++counts[describe(c)];
  }
  ASSERT_EQ(counts.size(), 24u);
  double chi = 0;
  for (const auto& [k, v] : counts) chi += (v - 1000.0) * (v - 1000.0) / 1000.0;
  EXPECT_LT(chi, 57.1) << "χ², 23 degrees of freedom, p = 1e-4";
}

/// The gate list in canonical order: CX* (S|CZ)* Pauli* | Swap* | H* | CX* (S|CZ)*.
/// Returns the swaps; fails the test when the order is broken.
std::vector<CliffordGate> check_canonical_order(const CliffordCircuit& c) {
  auto rank = [](CliffordGateKind k, bool second_layer) {
    switch (k) {
      case CliffordGateKind::CX: return second_layer ? 6 : 0;
      case CliffordGateKind::S:
      case CliffordGateKind::CZ: return second_layer ? 7 : 1;
      case CliffordGateKind::X:
      case CliffordGateKind::Y:
      case CliffordGateKind::Z: return 2;
      case CliffordGateKind::Swap: return 3;
      case CliffordGateKind::H: return 4;
      default: return -1;
    }
  };
  std::vector<CliffordGate> swaps;
  int stage = 0;
  for (const auto& g : c.gates()) {
    int r = rank(g.kind, false);
    if (r < stage) r = rank(g.kind, true);
    EXPECT_GE(r, stage) << describe(c);
    stage = r;
    if (g.kind == CliffordGateKind::Swap) swaps.push_back(g);
  }
  return swaps;
}

TEST(RandomClifford, PermutationLayerSwapsForwardAtMostOncePerPosition) {
  for (std::size_t n : {2u, 3u, 7u, 64u, 65u, 130u}) {
    for (std::uint64_t s = 0; s < 8; ++s) {
      const CliffordCircuit c = pelmar::random_clifford(n, seed_from(s, 2));
      const auto swaps = check_canonical_order(c);
      EXPECT_LE(swaps.size(), n - 1);
      for (std::size_t i = 0; i < swaps.size(); ++i) {
        EXPECT_LT(swaps[i].q0, swaps[i].q1) << describe(c);  // never a qubit with itself
        EXPECT_LT(swaps[i].q1, n);
        if (i) {
          EXPECT_LT(swaps[i - 1].q0, swaps[i].q0);
        }
      }
    }
  }
}

TEST(RandomClifford, LargeRegistersStillPermuteTheLowQubits) {
  // For n = 600 the first 89 Mallows draws see lists of 512 or more entries, where 4^m is not
  // a finite double. They must still follow the Mallows law (entry i with weight ~4^−i) rather
  // than always taking the first entry, which would leave qubits 0..88 unswapped.
  for (std::uint64_t s = 0; s < 3; ++s) {
    const CliffordCircuit c = pelmar::random_clifford(600, seed_from(s, 3));
    std::size_t low_swaps = 0, hadamards_low = 0;
    for (const auto& g : c.gates()) {
      if (g.kind == CliffordGateKind::Swap && g.q0 < 89) ++low_swaps;
      if (g.kind == CliffordGateKind::H && g.q0 < 89) ++hadamards_low;
    }
    // About a quarter of those draws pick a later entry; none would with the pinned choice.
    EXPECT_GT(low_swaps, 5u);
    EXPECT_LT(low_swaps, 60u);
    EXPECT_EQ(hadamards_low, 89u);  // h = 1 with probability 1 − 4^−m there
  }
}

TEST(RandomClifford, CircuitsGiveNormalisedStatesMatchingTheDenseReference) {
  for (std::size_t n = 1; n <= 6; ++n) {
    for (std::uint64_t s = 0; s < 20; ++s) {
      const CliffordCircuit c = pelmar::random_clifford(n, seed_from(s, 4));
      const auto form = pelmar::StabilizerCHForm::from_clifford_circuit(c);
      ASSERT_TRUE(form.has_value()) << form.error().message();
      const auto self = form->inner_product(*form);
      ASSERT_TRUE(self.has_value());
      EXPECT_NEAR(std::abs(*self - 1.0), 0.0, 1e-12) << describe(c);
      DenseState dense(n);
      dense.apply(c);
      const auto amps = form->to_statevector();
      EXPECT_LT(testing_support::max_abs_diff(amps, dense.amps()), 1e-9) << describe(c);
    }
  }
}

/// The unitary of a two-qubit circuit up to global phase, as text: its four columns U|b⟩ from
/// the dense reference, divided by the phase of the first non-zero entry, rounded.
std::string unitary_key(const CliffordCircuit& c) {
  std::vector<std::complex<double>> u;
  for (std::size_t b = 0; b < 4; ++b) {
    std::vector<std::complex<double>> basis(4, 0.0);
    basis[b] = 1.0;
    DenseState d(basis);
    d.apply(c);
    u.insert(u.end(), d.amps().begin(), d.amps().end());
  }
  std::complex<double> phase = 0;
  for (const auto& a : u)
    if (std::abs(a) > 1e-6) {
      phase = a / std::abs(a);
      break;
    }
  std::string key;
  char buf[64];
  for (const auto& a : u) {
    const auto v = a / phase;
    std::snprintf(buf, sizeof buf, "%+.3f%+.3f ", v.real() + 0.0, v.imag() + 0.0);
    key += buf;
  }
  return key;
}

TEST(RandomClifford, TwoQubitCircuitsAreUniformOverTheCliffordGroup) {
  // The two-qubit Clifford group has 11520 elements up to global phase; every one must occur,
  // equally often. (The output states alone would not notice a wrong layer-two rule, since on
  // |00⟩ many Cliffords agree.)
  constexpr int kGroup = 11520, kPerElement = 20, kDraws = kGroup * kPerElement;
  std::map<std::string, int> counts;
  for (int i = 0; i < kDraws; ++i) ++counts[unitary_key(pelmar::random_clifford(2, seed_from(i, 5)))];
  ASSERT_EQ(counts.size(), static_cast<std::size_t>(kGroup));
  double chi = 0;
  for (const auto& [k, v] : counts) chi += (v - kPerElement) * (v - kPerElement) / double(kPerElement);
  EXPECT_LT(chi, 12092.0) << "χ², 11519 degrees of freedom, p = 1e-4";
}

}  // namespace
