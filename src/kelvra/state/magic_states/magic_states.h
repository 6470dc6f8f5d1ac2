#pragma once
/// Exact stabilizer decompositions of the T-type resource |T⟩^⊗k, built through cat states
/// |cat_k⟩ = 2^(−(k−1)/2) Σ_{|x| even} i^(|x|/2) |x⟩.

#include <cstddef>

#include "kelvra/error.h"
#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/ch_form.h"

namespace kelvra {

Result<StabilizerDecomposedState> construct_t_tensor_state(std::size_t k);
Result<StabilizerDecomposedState> construct_cat_state(std::size_t k);
StabilizerDecomposedState construct_cat_2_state();
StabilizerDecomposedState construct_cat_4_state();
StabilizerDecomposedState construct_cat_6_state();
/// 2^(−(k−1)/2) Σ_{|x| even} |x⟩, k ≥ 2.
pelmar::Result<pelmar::StabilizerCHForm> even_parity_state(std::size_t k);
/// (|0…0⟩ − i|1…1⟩)/√2, k ≥ 2.
pelmar::Result<pelmar::StabilizerCHForm> zero_minus_i_one_state(std::size_t k);
/// Contracts qubits a < b of two joined cat states into one cat state on the other qubits.
Status project_stab_decomp_state_onto_cat_state(StabilizerDecomposedState& state, std::size_t a, std::size_t b);

/// Number of terms of construct_t_tensor_state(k): 2·rank(cat_k), rank(cat_k) = 1,1,2,2,3,3 for
/// k = 1..6 and 3·rank(cat_{k−4}) beyond. Throws std::bad_alloc when the terms could not be held.
std::size_t t_tensor_state_rank(std::size_t k);

}  // namespace kelvra
