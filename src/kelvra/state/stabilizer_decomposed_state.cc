#include "kelvra/state/stabilizer_decomposed_state.h"

#include <algorithm>
#include <vector>

namespace kelvra {

Status StabilizerDecomposedState::validate_qargs(std::size_t n, std::span<const std::size_t> qargs) {
  if (qargs.empty()) return std::unexpected(Error::empty_qubit_indices());
  // Bounds come first, in list order, so an out-of-range index is reported even after a repeat.
  for (const std::size_t q : qargs)
    if (q >= n) return std::unexpected(Error::qubit_index_out_of_bounds(q, n));
  if (qargs.size() >= 2) {
    // The smallest repeated value, not the first repeat in list order; the caller's list is kept.
    std::vector<std::size_t> sorted(qargs.begin(), qargs.end());
    std::sort(sorted.begin(), sorted.end());
    const auto it = std::adjacent_find(sorted.begin(), sorted.end());
    if (it != sorted.end()) return std::unexpected(Error::duplicate_qubit_index(*it));
  }
  return {};
}

}  // namespace kelvra
