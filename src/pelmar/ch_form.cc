#include "pelmar/ch_form.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>

namespace pelmar {

namespace {

/// Bytes held by the arrays of an n-qubit form: three n × n bit matrices (rows padded to whole
/// words), two n-bit vectors and n phase bytes. Throws std::bad_alloc when the figure cannot exist,
/// so that an impossible qubit count never reaches the allocator as a wrapped-around size.
std::size_t form_bytes(std::size_t n) {
  const std::size_t matrix_words = checked_mul(n, words_for(n));
  const std::size_t matrices = checked_mul(checked_mul(matrix_words, 3), sizeof(std::uint64_t));
  const std::size_t vectors = checked_mul(checked_mul(words_for(n), 2), sizeof(std::uint64_t));
  const std::size_t total = checked_add(checked_add(matrices, vectors), n);
  if (total > static_cast<std::size_t>(PTRDIFF_MAX)) throw std::bad_alloc();
  return total;
}

}  // namespace

std::complex<double> eighth_turn(std::uint8_t k) {
  const double x = static_cast<double>(k) * 0.7853981633974483;
  return {std::cos(x), std::sin(x)};
}

std::complex<double> scaled_phase(std::complex<double> phase, std::size_t w, std::uint8_t k) {
  return phase * std::exp2(-0.5 * static_cast<double>(w)) * eighth_turn(k);
}

StabilizerCHForm::StabilizerCHForm(std::size_t n)
    : g_(BitMatrix::identity(n)),
      f_(BitMatrix::identity(n)),
      m_(n),
      gamma_(n, 0),
      v_(n),
      s_(n),
      n_(n) {}

Result<StabilizerCHForm> StabilizerCHForm::create(std::size_t n) {
  if (n == 0) return std::unexpected(Error::invalid_num_qubits(0));
  form_bytes(n);
  return StabilizerCHForm(n);
}

Result<StabilizerCHForm> StabilizerCHForm::from_clifford_circuit(const CliffordCircuit& circuit) {
  auto form = create(circuit.num_qubits());
  if (!form) return form;
  for (const CliffordGate& gate : circuit.gates()) {
    if (auto r = form->apply_gate(gate); !r) return std::unexpected(std::move(r.error()));
  }
  return form;
}

Status StabilizerCHForm::check_qubit(std::size_t q) const {
  if (q >= n_) return std::unexpected(Error::qubit_index_out_of_bounds(q, n_));
  return {};
}

Status StabilizerCHForm::check_qubit_pair(std::size_t a, std::size_t b) const {
  if (a >= n_) return std::unexpected(Error::qubit_index_out_of_bounds(a, n_));
  if (b >= n_) return std::unexpected(Error::qubit_index_out_of_bounds(b, n_));
  if (a == b) return std::unexpected(Error::duplicate_qubit_indices(a));
  return {};
}

void StabilizerCHForm::set_global_phase(std::complex<double> z) {
  const double re = z.real(), im = z.imag();
  // Written as a negated "within the band" test so that a NaN component is rejected too.
  if (!(std::fabs(re * re + im * im - 1.0) <= 1e-8))
    throw InternalFault("Global phase must be a unit complex number.");
  global_phase_ = z;
}

}  // namespace pelmar
