// Inner product ⟨φ_A|φ_B⟩. A copy of A is reduced by left multiplications W to a multiple of
// |0…0⟩: W|φ_A⟩ = global_phase_A·e^(iπ·omega_A/4)|0…0⟩. Replaying W on B gives
//     ⟨φ_A|φ_B⟩ = ⟨W φ_A|W φ_B⟩ = conj(global_phase_A·e^(iπ·omega_A/4)) · ⟨0…0|W φ_B⟩,
// and the last factor is B's amplitude at 0…0.
//
// Reduction of A: CX gates make G the identity by Gaussian elimination (then F = (Gᵀ)⁻¹ = I and M
// is symmetric); CZ gates clear M off the diagonal and S† on it; U_C is then diagonal in the Z
// basis and fixes |0…0⟩ up to the sign in γ, so H on the Hadamard qubits and X on the ones of s
// leave a multiple of |0…0⟩.

#include <bit>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

enum class ReductionKind : std::uint8_t { H = 0, Sdg = 1, X = 2, CX = 3, CZ = 4 };

struct ReductionGate {
  ReductionKind kind;
  std::size_t a, b;
};

/// The record is replayed onto the second form whenever it holds this many gates, so its memory
/// stays bounded while the gates reach the second form in their recorded order.
constexpr std::size_t kRecordChunk = 4096;

}  // namespace

Result<std::complex<double>> StabilizerCHForm::inner_product(const StabilizerCHForm& other) const {
  if (other.n_ != n_)
    return std::unexpected(Error::qubit_count_mismatch("calculating inner product", n_, other.n_));
  const std::size_t n = n_;
  StabilizerCHForm a = *this;
  StabilizerCHForm b = other;

  std::vector<ReductionGate> record;
  record.reserve(kRecordChunk);

  auto replay = [&]() -> Status {
    for (const ReductionGate& g : record) {
      Status r;
      switch (g.kind) {
        case ReductionKind::H: r = b.left_multiply_h(g.a); break;
        case ReductionKind::Sdg: r = b.left_multiply_sdg(g.a); break;
        case ReductionKind::X: r = b.left_multiply_x(g.a); break;
        case ReductionKind::CX: r = b.left_multiply_cx(g.a, g.b); break;
        case ReductionKind::CZ: r = b.left_multiply_cz(g.a, g.b); break;
      }
      if (!r) return r;
    }
    record.clear();
    return {};
  };
  auto step = [&](ReductionKind kind, std::size_t x, std::size_t y) -> Status {
    Status r;
    switch (kind) {
      case ReductionKind::H: r = a.left_multiply_h(x); break;
      case ReductionKind::Sdg: r = a.left_multiply_sdg(x); break;
      case ReductionKind::X: r = a.left_multiply_x(x); break;
      case ReductionKind::CX: r = a.left_multiply_cx(x, y); break;
      case ReductionKind::CZ: r = a.left_multiply_cz(x, y); break;
    }
    if (!r) return r;
    record.push_back({kind, x, y});
    if (record.size() == kRecordChunk) return replay();
    return {};
  };

  // G → I, column by column.
  for (std::size_t w = 0; w < n; ++w) {
    if (!a.g_.get(w, w)) {
      std::size_t r = w + 1;
      while (r < n && !a.g_.get(r, w)) ++r;
      if (r == n) throw InternalFault("G matrix is not full rank, invalid stabilizer state.");
      if (auto e = step(ReductionKind::CX, r, w); !e) return std::unexpected(e.error());
      if (auto e = step(ReductionKind::CX, w, r); !e) return std::unexpected(e.error());
      if (auto e = step(ReductionKind::CX, r, w); !e) return std::unexpected(e.error());
    }
    for (std::size_t r = 0; r < n; ++r) {
      if (r == w || !a.g_.get(r, w)) continue;
      if (auto e = step(ReductionKind::CX, w, r); !e) return std::unexpected(e.error());
    }
  }

  // M off the diagonal. CZ(x, y) clears the symmetric pair M[x][y], M[y][x] and nothing else, so
  // reading a row word once before its bits are visited sees what a bit-by-bit reading would.
  for (std::size_t x = 0; x < n; ++x) {
    for (std::size_t k = (x + 1) >> 6; k < a.m_.stride(); ++k) {
      std::uint64_t word = a.m_.row(x)[k];
      if (k == ((x + 1) >> 6)) word &= ~std::uint64_t{0} << ((x + 1) & 63);
      while (word) {
        const std::size_t y = 64 * k + static_cast<std::size_t>(std::countr_zero(word));
        word &= word - 1;
        if (auto e = step(ReductionKind::CZ, x, y); !e) return std::unexpected(e.error());
      }
    }
  }
  // M on the diagonal, the Hadamards and the ones of s.
  for (std::size_t w = 0; w < n; ++w) {
    if (!a.m_.get(w, w)) continue;
    if (auto e = step(ReductionKind::Sdg, w, 0); !e) return std::unexpected(e.error());
  }
  for (std::size_t w = 0; w < n; ++w) {
    if (!a.v_.get(w)) continue;
    if (auto e = step(ReductionKind::H, w, 0); !e) return std::unexpected(e.error());
  }
  for (std::size_t w = 0; w < n; ++w) {
    if (!a.s_.get(w)) continue;
    if (auto e = step(ReductionKind::X, w, 0); !e) return std::unexpected(e.error());
  }
  if (auto r = replay(); !r) return std::unexpected(std::move(r.error()));

  const std::uint64_t* bs = b.s_.words();
  const std::uint64_t* bv = b.v_.words();
  for (std::size_t k = 0; k < b.v_.num_words(); ++k)
    if (bs[k] & ~bv[k]) return std::complex<double>(0.0, 0.0);
  const auto k = static_cast<std::uint8_t>((b.omega_ + 8 - a.omega_) & 7);
  return scaled_phase(std::conj(a.global_phase_) * b.global_phase_, b.v_.popcount(), k);
}

}  // namespace pelmar
