#include "pelmar/random_clifford.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "pelmar/chacha_rng.h"

namespace pelmar {

namespace {

/// The random choices of one call, in the order they are drawn: the Hadamard pattern h and the
/// permutation σ (quantum Mallows), the Pauli bits z and x, then the layer-two pair (Γ₂, Δ₂) and
/// the layer-one pair (Γ₁, Δ₁). Γ is symmetric; Δ is unit lower triangular.
struct CliffordParams {
  std::vector<bool> h;
  std::vector<std::size_t> sigma;
  BitVector z, x;
  BitMatrix gamma2, delta2, gamma1, delta1;
};

/// double → int64 as a saturating conversion: NaN gives 0, out-of-range values the nearest end.
std::int64_t saturating_int(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 0x1p63) return std::numeric_limits<std::int64_t>::max();
  if (v < -0x1p63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(v);
}

/// k = ⌈log2((4^m − 1)·r + 1)⌉, the Mallows draw for a list of length m.
///
/// While 4^m is a finite double (m < 512) the expression is evaluated as written. Beyond that
/// 4.0^m overflows to infinity and the expression would become +∞ for every r > 0, pinning the
/// choice to the first remaining entry; there (4^m − 1)·r + 1 = 4^m·r to far more than double
/// precision, so the same quantity is ⌈2m + log2 r⌉ (and 0 for r = 0, as before).
std::int64_t mallows_k(std::size_t m, double r) {
  const double four_m = std::pow(4.0, static_cast<double>(m));
  if (std::isfinite(four_m)) return saturating_int(std::ceil(std::log2((four_m - 1.0) * r + 1.0)));
  if (r == 0.0) return 0;
  return saturating_int(std::ceil(2.0 * static_cast<double>(m) + std::log2(r)));
}

CliffordParams draw_params(std::size_t n, ChaChaRng& rng) {
  // Four n × n matrices: an impossible n is std::bad_alloc before any vector is sized.
  checked_mul(checked_mul(n, words_for(n)), 4 * sizeof(std::uint64_t));
  CliffordParams P{std::vector<bool>(n), std::vector<std::size_t>(n), BitVector(n), BitVector(n),
                   BitMatrix(n), BitMatrix::identity(n), BitMatrix(n), BitMatrix::identity(n)};

  // Hadamard pattern and permutation.
  std::vector<std::size_t> A(n);
  for (std::size_t i = 0; i < n; ++i) A[i] = i;
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t m = n - j;  // == A.size()
    const double r = rng.uniform();
    const std::int64_t k = mallows_k(m, r);
    std::size_t idx;
    if (k <= static_cast<std::int64_t>(m)) {
      P.h[j] = false;
      idx = k == 0 ? m - 1 : static_cast<std::size_t>(k - 1);
    } else {
      P.h[j] = true;
      // 2m − k, never below 0; k > m ≥ 1 here, so the difference is formed without overflow.
      const auto two_m = static_cast<std::uint64_t>(m) * 2;
      idx = static_cast<std::uint64_t>(k) >= two_m ? 0 : static_cast<std::size_t>(two_m - static_cast<std::uint64_t>(k));
    }
    P.sigma[j] = A[idx];
    A.erase(A.begin() + static_cast<std::ptrdiff_t>(idx));
  }

  for (std::size_t i = 0; i < n; ++i) P.z.set(i, rng.bit());
  for (std::size_t i = 0; i < n; ++i) P.x.set(i, rng.bit());

  for (std::size_t k = 0; k < n; ++k) {
    P.gamma1.set(k, k, rng.bit());
    if (P.h[k]) P.gamma2.set(k, k, rng.bit());
  }

  const auto& h = P.h;
  const auto& s = P.sigma;
  for (std::size_t i = 1; i < n; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const bool b1 = rng.bit();
      P.gamma1.set(i, j, b1);
      P.gamma1.set(j, i, b1);
      P.delta1.set(i, j, rng.bit());
      if ((h[i] && (s[i] < s[j] || h[j])) || (h[j] && s[j] < s[i])) {
        const bool b2 = rng.bit();
        P.gamma2.set(i, j, b2);
        P.gamma2.set(j, i, b2);
      }
      if ((s[i] < s[j] || h[j]) && (!h[i] || (h[j] && s[j] < s[i]))) P.delta2.set(i, j, rng.bit());
    }
  }
  return P;
}

}  // namespace

void apply_hadamard_free_layer(CliffordCircuit& circuit, std::size_t n, const BitMatrix& gamma,
                               const BitMatrix& delta, const BitVector* z, const BitVector* x) {
  // Δ (unit lower triangular) as CX gates, column by column.
  for (std::size_t i = 0; i + 1 < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j)
      if (delta.get(j, i)) circuit.add_gate(CliffordGate::CX(i, j));
  // Γ (symmetric): the diagonal as S, the lower triangle as CZ.
  for (std::size_t j = 0; j < n; ++j) {
    if (gamma.get(j, j)) circuit.add_gate(CliffordGate::S(j));
    for (std::size_t k = 0; k < j; ++k)
      if (gamma.get(j, k)) circuit.add_gate(CliffordGate::CZ(j, k));
  }
  if (z == nullptr || x == nullptr) return;
  for (std::size_t k = 0; k < n; ++k) {
    const bool zk = z->get(k), xk = x->get(k);
    if (zk && xk)
      circuit.add_gate(CliffordGate::Y(k));
    else if (zk)
      circuit.add_gate(CliffordGate::Z(k));
    else if (xk)
      circuit.add_gate(CliffordGate::X(k));
  }
}

CliffordCircuit random_clifford(std::size_t n, const std::optional<Seed>& seed) {
  if (n == 0) return CliffordCircuit(0);
  ChaChaRng rng = ChaChaRng::from_seed(seed);
  const CliffordParams P = draw_params(n, rng);

  CliffordCircuit circuit(n);
  apply_hadamard_free_layer(circuit, n, P.gamma1, P.delta1, &P.z, &P.x);

  // The permutation as swaps, left to right: position m receives σ[m] from further right. `pos`
  // is the inverse of `cur`, so each step is O(1).
  std::vector<std::size_t> cur(n), pos(n);
  for (std::size_t i = 0; i < n; ++i) cur[i] = pos[i] = i;
  for (std::size_t m = 0; m < n; ++m) {
    if (cur[m] == P.sigma[m]) continue;
    const std::size_t p = pos[P.sigma[m]];
    circuit.add_gate(CliffordGate::Swap(m, p));
    std::swap(cur[m], cur[p]);
    pos[cur[m]] = m;
    pos[cur[p]] = p;
  }

  for (std::size_t l = 0; l < n; ++l)
    if (P.h[l]) circuit.add_gate(CliffordGate::H(l));

  apply_hadamard_free_layer(circuit, n, P.gamma2, P.delta2, nullptr, nullptr);
  return circuit;
}

}  // namespace pelmar
