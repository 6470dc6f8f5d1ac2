// Superposition resolution: brings
//     2^(−1/2) · global_phase · e^(iπ·omega/4) · U_C U_H (|a⟩ + e^(iπδ/4)|b⟩)
// back into CH form. Right multiplications by CX and CZ, moved through U_H, act on the two basis
// vectors as x[k] ← x[k] ⊕ x[q]; with the pivot q they make a and b differ in q alone, and q is
// then settled by the one-qubit identities
//     |0⟩ ± |1⟩ = √2·H|0 or 1⟩,      |0⟩ ± i|1⟩ = √2·S H|0 or 1⟩,
//     H(|0⟩ ± i|1⟩) = √2·e^(±iπ/4)·S H|1 or 0⟩.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

/// Masks of the qubits the pivot is combined with, reused across calls on this thread.
struct ResolutionScratch {
  std::vector<std::uint64_t> cx_mask, cz_mask;
};
thread_local ResolutionScratch resolution_scratch;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

}  // namespace

Status StabilizerCHForm::_resolve_superposition(const BitVector& a, const BitVector& b, std::uint8_t delta) {
  if (a.size() != n_ || b.size() != n_)
    throw InternalFault("Superposition vectors must have one bit per qubit.");
  delta &= 7;
  if (delta & 1) throw InternalFault("Inconsistent state: superposition with an odd relative phase.");
  auto add_omega = [this](unsigned k) { omega_ = static_cast<std::uint8_t>((omega_ + k) & 7); };

  // Case 1: one basis vector with the factor 1 + e^(iπδ/4) = √2·e^(±iπ/4) for δ = 2, 6.
  if (a == b) {
    switch (delta) {
      case 0:
        s_ = a;
        break;
      case 2:
        s_ = a;
        add_omega(1);
        break;
      case 4:
        throw InternalFault("Inconsistent state: superposition with -1 coefficient.");
      default:  // 6
        s_ = a;
        add_omega(7);
        break;
    }
    return {};
  }

  // Case 2. The pivot is the lowest differing qubit without a Hadamard, else the lowest with one.
  const std::size_t words = v_.num_words();
  const std::uint64_t* av = a.words();
  const std::uint64_t* bv = b.words();
  const std::uint64_t* vv = v_.words();
  std::size_t q = kNone;
  bool pivot_free = true;
  for (std::size_t k = 0; k < words && q == kNone; ++k)
    if (std::uint64_t d = (av[k] ^ bv[k]) & ~vv[k]) q = 64 * k + static_cast<std::size_t>(std::countr_zero(d));
  if (q == kNone) {
    pivot_free = false;
    for (std::size_t k = 0; k < words && q == kNone; ++k)
      if (std::uint64_t d = (av[k] ^ bv[k]) & vv[k]) q = 64 * k + static_cast<std::size_t>(std::countr_zero(d));
  }
  const std::size_t wq = q >> 6, bq = q & 63;
  const std::uint64_t qbit = std::uint64_t{1} << bq;

  ResolutionScratch& sc = resolution_scratch;
  sc.cx_mask.assign(words, 0);
  sc.cz_mask.assign(words, 0);
  std::uint64_t* cx = sc.cx_mask.data();
  std::uint64_t* cz = sc.cz_mask.data();
  bool any_cx = false, any_cz = false;
  for (std::size_t k = 0; k < words; ++k) {
    const std::uint64_t d = av[k] ^ bv[k];
    if (pivot_free) {
      cx[k] = d & ~vv[k];
      cz[k] = d & vv[k];
    } else {
      cx[k] = d & vv[k];
    }
    if (k == wq) cx[k] &= ~qbit;
    any_cx |= cx[k] != 0;
    any_cz |= cz[k] != 0;
  }

  // The gates of one batch commute (a shared control, or a shared target, or CZs), and each reads
  // only columns the others leave alone, so a batch is applied row by row in one pass.
  if (pivot_free && (any_cx || any_cz)) {
    // right_multiply_cx(q, k) for the other Hadamard-free k, then right_multiply_cz(q, k) for the
    // k under a Hadamard:
    //   G col q ⊕= Σ G col k,  F col k ⊕= F col q,  M col q ⊕= Σ M col k       (CX batch)
    //   M col q ⊕= Σ F col k,  M col k ⊕= F col q,  γ_i += 4·F[i][q]·F[i][k]  (CZ batch)
    // Branch-free per row: which rows take a mask depends on random tableau bits. The row bases
    // are held in locals because the byte-wide γ store may alias any member.
    std::uint64_t* const g0 = g_.row(0);
    std::uint64_t* const f0 = f_.row(0);
    std::uint64_t* const m0 = m_.row(0);
    std::uint8_t* const gamma = gamma_.data();
    for (std::size_t r = 0, n = n_; r < n; ++r) {
      std::uint64_t* gr = g0 + r * words;
      std::uint64_t* fr = f0 + r * words;
      std::uint64_t* mr = m0 + r * words;
      const std::uint64_t fq = (fr[wq] >> bq) & 1;
      const std::uint64_t take = std::uint64_t{0} - fq;
      std::uint64_t pg = 0, pm = 0, pz = 0;
      for (std::size_t k = 0; k < words; ++k) {
        const std::uint64_t fz = fr[k] & cz[k];
        pg ^= gr[k] & cx[k];
        pm ^= (mr[k] & cx[k]) ^ fz;
        pz ^= fz;
        fr[k] ^= cx[k] & take;
        mr[k] ^= cz[k] & take;
      }
      gamma[r] = static_cast<std::uint8_t>((gamma[r] + 4 * (fq & parity(pz))) & 7);
      gr[wq] ^= static_cast<std::uint64_t>(parity(pg)) << bq;
      mr[wq] ^= static_cast<std::uint64_t>(parity(pm)) << bq;
    }
  } else if (!pivot_free && any_cx) {
    // right_multiply_cx(k, q) for the other k under a Hadamard:
    //   G col k ⊕= G col q,  F col q ⊕= Σ F col k,  M col k ⊕= M col q.
    for (std::size_t r = 0; r < n_; ++r) {
      std::uint64_t* gr = g_.row(r);
      std::uint64_t* fr = f_.row(r);
      std::uint64_t* mr = m_.row(r);
      const std::uint64_t take_g = std::uint64_t{0} - ((gr[wq] >> bq) & 1);
      const std::uint64_t take_m = std::uint64_t{0} - ((mr[wq] >> bq) & 1);
      std::uint64_t pf = 0;
      for (std::size_t k = 0; k < words; ++k) {
        pf ^= fr[k] & cx[k];
        gr[k] ^= cx[k] & take_g;
        mr[k] ^= cx[k] & take_m;
      }
      fr[wq] ^= static_cast<std::uint64_t>(parity(pf)) << bq;
    }
  }

  // The two vectors are now y and y ⊕ e_q, y being the one with a 0 at q; settle qubit q.
  const bool aq = a.get(q);
  const bool vq = v_.get(q);
  s_ = aq ? b : a;
  switch (delta) {
    case 0:
      s_.set(q, false);
      v_.set(q, !vq);
      return {};
    case 4:
      s_.set(q, true);
      v_.set(q, !vq);
      if (aq) add_omega(4);
      return {};
    case 2:
      if (vq) {
        add_omega(1);
        s_.set(q, !aq);
        return right_multiply_s(q);
      } else {
        s_.set(q, aq);
        v_.set(q, true);
        if (auto r = right_multiply_s(q); !r) return r;
        if (aq) add_omega(2);
        return {};
      }
    default:  // 6
      if (vq) {
        add_omega(7);
        s_.set(q, aq);
        return right_multiply_s(q);
      } else {
        s_.set(q, !aq);
        v_.set(q, true);
        if (auto r = right_multiply_s(q); !r) return r;
        if (aq) add_omega(6);
        return {};
      }
  }
}

}  // namespace pelmar
