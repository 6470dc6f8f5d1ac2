#include "pelmar/ch_form.h"
#include "pelmar/pauli_string.h"

namespace pelmar {

namespace {
/// One factor as its gate: X is the left multiplication by X; Z = S·S, whose two M-row updates
/// cancel, so it only adds 4 to γ[q]; Y = i·X·Z. Each checks q against the qubit count first.
Status apply_factor(StabilizerCHForm& form, std::size_t q, Pauli p) {
  switch (p) {
    case Pauli::I:
      return {};
    case Pauli::X:
      return form.left_multiply_x(q);
    case Pauli::Y:
      return form.apply_y(q);
    case Pauli::Z:
      return form.apply_z(q);
  }
  return {};
}
}  // namespace

Status StabilizerCHForm::apply_pauli(const PauliString& pauli) {
  // Factors apply in order and the first failure stops the walk; factors already applied stay
  // applied. A dense string longer than the register fails only at a non-identity factor.
  if (pauli.form() == PauliString::Form::Dense) {
    const auto& paulis = pauli.dense_paulis();
    for (std::size_t i = 0; i < paulis.size(); ++i)
      if (auto st = apply_factor(*this, i, paulis[i]); !st) return st;
  } else {
    for (const auto& [q, p] : pauli.sparse_terms())
      if (auto st = apply_factor(*this, q, p); !st) return st;
  }
  return {};
}

}  // namespace pelmar
