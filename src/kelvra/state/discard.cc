#include <utility>

#include "kelvra/state/stabilizer_decomposed_state.h"

namespace kelvra {

namespace {

/// The conditions under which the CH-form `discard` removes qubit q of `form`, checked without
/// changing it, with the error that `discard` itself reports. The qubit must be |0⟩: determined,
/// with value 0. If its own basis bit is not a Hadamard-free 0, `discard` needs either another
/// Hadamard-free qubit with s = 0 to swap with, or two Hadamard-free qubits with s = 1, which one CX
/// turns into such a qubit.
pelmar::Status check_discardable(const pelmar::StabilizerCHForm& form, std::size_t q) {
  auto state = form.get_qubit_state(q);
  if (!state) return std::unexpected(std::move(state.error()));
  if (*state != pelmar::QubitState::Zero) return std::unexpected(pelmar::Error::cannot_discard_qubit(q));
  const pelmar::BitVector& v = form.vec_v();
  const pelmar::BitVector& s = form.vec_s();
  if (!v.get(q) && !s.get(q)) return {};
  std::size_t free_ones = 0;
  for (std::size_t i = 0; i < form.num_qubits(); ++i) {
    if (v.get(i)) continue;
    if (!s.get(i)) return {};  // i ≠ q here: q itself has v or s set
    ++free_ones;
  }
  if (free_ones >= 2) return {};
  return std::unexpected(pelmar::Error::cannot_discard_qubit(q));
}

}  // namespace

Status StabilizerDecomposedState::discard(std::size_t qubit) {
  // Every term is checked before any changes, so a refusal leaves all terms, and the qubit count,
  // as they were; the first failing term's error is reported. The index is checked against the
  // register even with no terms, and a register of 0 qubits has nothing to remove.
  if (qubit >= num_qubits_)
    return std::unexpected(Error::from_ch_form(pelmar::Error::qubit_index_out_of_bounds(qubit, num_qubits_)));
  for (const pelmar::StabilizerCHForm& term : terms_) {
    if (auto ok = check_discardable(term, qubit); !ok) return std::unexpected(Error::from_ch_form(std::move(ok.error())));
  }
  for (pelmar::StabilizerCHForm& term : terms_) {
    if (auto r = term.discard(qubit); !r)
      throw pelmar::InternalFault("Qubit removal refused a qubit that passed its checks: " + r.error().message());
  }
  num_qubits_ -= 1;
  return {};
}

}  // namespace kelvra
