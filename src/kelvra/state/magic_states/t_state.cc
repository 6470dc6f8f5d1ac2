#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "kelvra/state/magic_states/magic_states.h"
#include "pelmar/bits.h"

namespace kelvra {

std::size_t t_tensor_state_rank(std::size_t k) {
  if (k == 0) return 0;
  // rank(cat_k) = 1, 1, 2, 2, 3, 3 for k = 1..6 and 3·rank(cat_{k−4}) beyond; the T-type tensor
  // state doubles it. 3^41 > 2^64, so the loop ends after a few dozen steps at most.
  static constexpr std::size_t kBase[] = {0, 1, 1, 2, 2, 3, 3};
  std::size_t size = k;
  std::size_t steps = 0;
  if (size > 6) {
    steps = (size - 3) / 4;  // the number of steps of 4 that bring size into 3..6
    size -= 4 * steps;
  }
  std::size_t rank = kBase[size];
  for (std::size_t i = 0; i < steps; ++i) rank = pelmar::checked_mul(rank, 3);
  rank = pelmar::checked_mul(rank, 2);
  if (rank > std::vector<pelmar::StabilizerCHForm>().max_size()) throw std::bad_alloc();
  return rank;
}

Result<StabilizerDecomposedState> construct_t_tensor_state(std::size_t k) {
  // |T⟩^⊗k = 2^(−k/2) Σ_x e^(iπ|x|/4)|x⟩ splits by the parity of |x|. The even half is
  // 2^(−1/2)|cat_k⟩. X_0 then S_0 maps |x⟩ of even weight to i|x ⊕ e_0⟩; with e^(−iπ/4) that
  // gives e^(iπ(|x|+1)/4) on the odd string, so the odd half is 2^(−1/2) e^(−iπ/4) S_0 X_0|cat_k⟩.
  auto cat = construct_cat_state(k);
  if (!cat) return cat;
  std::vector<pelmar::StabilizerCHForm> terms = std::move(cat->terms());
  std::vector<Scalar> coefficients = std::move(cat->coefficients());
  const std::size_t m = std::min(terms.size(), coefficients.size());
  terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(m), terms.end());
  coefficients.erase(coefficients.begin() + static_cast<std::ptrdiff_t>(m), coefficients.end());

  terms.reserve(pelmar::checked_mul(m, 2));
  coefficients.reserve(pelmar::checked_mul(m, 2));
  for (std::size_t i = 0; i < m; ++i) {
    terms.push_back(terms[i]);
    auto& odd = terms.back();
    if (auto r = odd.apply_x(0); !r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
    if (auto r = odd.apply_s(0); !r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
  }
  for (std::size_t i = 0; i < m; ++i) coefficients[i] = coefficients[i].times_inv_sqrt2();
  for (std::size_t i = 0; i < m; ++i) coefficients.push_back(coefficients[i].times_exp_minus_i_pi_4());
  return StabilizerDecomposedState(std::move(terms), std::move(coefficients), k);
}

}  // namespace kelvra
