// Projection onto a Z outcome of one qubit. With Z_q pulled back through U_C and U_H,
//     Z_q U_C U_H|s⟩ = (−1)^β · U_C U_H|t⟩,  t = s ⊕ (G_q ∧ v),  β = parity(G_q ∧ ¬v ∧ s),
// so (I + (−1)^outcome·Z_q)/2 leaves ½·(|s⟩ + (−1)^(outcome ⊕ β)|t⟩) under U_C U_H: a
// superposition of two basis vectors of norm 2^(−1/2), which the resolution stores normalised.

#include <cstddef>
#include <cstdint>
#include <utility>

#include "pelmar/ch_form.h"

namespace pelmar {

namespace {

struct ProjectionScratch {
  BitVector s, t;
};
thread_local ProjectionScratch projection_scratch;

}  // namespace

Result<bool> StabilizerCHForm::project(std::size_t q, bool outcome) {
  auto state = get_qubit_state(q);
  if (!state) return std::unexpected(std::move(state.error()));
  if (*state != QubitState::Superposition) {
    if ((*state == QubitState::One) == outcome) return true;
    return std::unexpected(Error::impossible_projection(q, outcome));
  }
  ProjectionScratch& sc = projection_scratch;
  sc.s.reset(n_);
  sc.t.reset(n_);
  const std::uint64_t* g = g_.row(q);
  const std::uint64_t* v = v_.words();
  const std::uint64_t* s = s_.words();
  std::uint64_t* sa = sc.s.words();
  std::uint64_t* t = sc.t.words();
  std::uint64_t beta = 0;
  for (std::size_t k = 0; k < v_.num_words(); ++k) {
    sa[k] = s[k];
    t[k] = s[k] ^ (g[k] & v[k]);
    beta ^= g[k] & ~v[k] & s[k];
  }
  const auto delta = static_cast<std::uint8_t>(4 * (parity(beta) != outcome));
  if (auto r = _resolve_superposition(sc.s, sc.t, delta); !r) return std::unexpected(std::move(r.error()));
  return false;
}

}  // namespace pelmar
