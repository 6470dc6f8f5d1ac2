#pragma once
/// Test helper: the dense vector g · Σ_i c_i · φ_i of a decomposition, summed from the terms' own
/// state vectors, independent of the decomposition's operations.

#include <complex>
#include <vector>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra::test {

inline std::vector<std::complex<double>> dense_sum(const StabilizerDecomposedState& s) {
  std::vector<std::complex<double>> out(std::size_t{1} << s.num_qubits());
  for (std::size_t i = 0; i < s.num_pairs(); ++i) {
    const auto term = s.terms()[i].to_statevector();
    const auto c = s.coefficients()[i].value();
    for (std::size_t j = 0; j < out.size() && j < term.size(); ++j) out[j] += c * term[j];
  }
  for (auto& a : out) a *= s.global_factor();
  return out;
}

}  // namespace kelvra::test
