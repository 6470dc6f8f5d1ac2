#pragma once
/// Random Clifford circuits in the canonical form of Bravyi and Maslov: a Hadamard-free layer, a
/// qubit permutation, a layer of Hadamards and a second Hadamard-free layer, with the permutation
/// and the Hadamard pattern drawn from the quantum Mallows distribution.

#include <cstddef>
#include <optional>

#include "pelmar/bits.h"
#include "pelmar/clifford_circuit.h"

namespace pelmar {

/// n = 0 gives an empty circuit without creating a generator.
CliffordCircuit random_clifford(std::size_t n, const std::optional<Seed>& seed);

/// Appends one Hadamard-free layer: CX from Δ below the diagonal, S and CZ from Γ on and below
/// the diagonal, then the Paulis of (z, x) when both are given.
void apply_hadamard_free_layer(CliffordCircuit& circuit, std::size_t n, const BitMatrix& gamma,
                               const BitMatrix& delta, const BitVector* z, const BitVector* x);

}  // namespace pelmar
