#pragma once
/// The pair of unnormalised projections that measurement and sampling choose between.

#include <cstddef>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

/// P₀ψ and P₁ψ for the Z outcomes of one qubit.
struct OutcomeBranches {
  StabilizerDecomposedState zero;
  StabilizerDecomposedState one;
};

/// The same two states as two copies of `state` passed through project_unnormalized(q, false) and
/// project_unnormalized(q, true), built without copying a term into a branch that drops it: a term
/// whose qubit q is determined goes unchanged to the branch of its bit only, a term in
/// superposition is projected both ways with its coefficient divided by √2. The global factor and
/// the qubit count go to both. The caller has checked q < num_qubits.
OutcomeBranches split_on_qubit(const StabilizerDecomposedState& state, std::size_t q);
/// As above, moving the terms out of `state` (one copy per superposed term only).
OutcomeBranches split_on_qubit(StabilizerDecomposedState&& state, std::size_t q);

}  // namespace kelvra
