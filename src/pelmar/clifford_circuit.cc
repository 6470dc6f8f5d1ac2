#include "pelmar/clifford_circuit.h"

#include "pelmar/random_clifford.h"

namespace pelmar {

CliffordCircuit CliffordCircuit::random_clifford(std::size_t n, const std::optional<Seed>& seed) {
  return pelmar::random_clifford(n, seed);
}

}  // namespace pelmar
