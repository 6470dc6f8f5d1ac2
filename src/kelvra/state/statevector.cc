#include <complex>
#include <vector>

#include "kelvra/state/stabilizer_decomposed_state.h"
#include "pelmar/bits.h"

namespace kelvra {

namespace {
/// 2^28 complex doubles (4 GiB) is the largest vector handed out.
constexpr std::size_t kMaxStatevectorQubits = 28;
}  // namespace

Result<std::vector<std::complex<double>>> StabilizerDecomposedState::to_statevector() const {
  if (num_qubits_ > kMaxStatevectorQubits) return std::unexpected(Error::statevector_too_large(num_qubits_));
  const std::size_t dim = std::size_t{1} << num_qubits_;
  // The accumulator and one term's vector are alive together: 2 · 16 · 2^n bytes, which a narrow
  // size_t may not hold.
  (void)pelmar::checked_mul(pelmar::checked_mul(dim, sizeof(std::complex<double>)), 2);
  std::vector<std::complex<double>> amplitudes(dim, std::complex<double>{0.0, 0.0});

  const std::size_t m = num_pairs();
  for (std::size_t i = 0; i < m; ++i) {
    if (terms_[i].num_qubits() != num_qubits_)
      throw pelmar::InternalFault("Decomposition term has a different qubit count than the state.");
    const std::vector<std::complex<double>> term = terms_[i].to_statevector();
    if (term.size() != dim) throw pelmar::InternalFault("CH-form state vector has the wrong length.");
    const std::complex<double> c = coefficients_[i].value();
    for (std::size_t t = 0; t < dim; ++t) amplitudes[t] += c * term[t];
  }
  for (auto& a : amplitudes) a *= global_factor_;
  return amplitudes;
}

}  // namespace kelvra
