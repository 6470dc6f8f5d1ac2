// The public gate operations, built from the primitive left multiplications. Z is a pure phase on
// the X-image (γ += 4); Y = i·X·Z; √X = H·S·H exactly, with no extra phase.

#include <cstddef>
#include <cstdint>

#include "pelmar/ch_form.h"

namespace pelmar {

Status StabilizerCHForm::apply_h(std::size_t q) { return left_multiply_h(q); }
Status StabilizerCHForm::apply_s(std::size_t q) { return left_multiply_s(q); }
Status StabilizerCHForm::apply_sdg(std::size_t q) { return left_multiply_sdg(q); }
Status StabilizerCHForm::apply_x(std::size_t q) { return left_multiply_x(q); }

Status StabilizerCHForm::apply_z(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  gamma_[q] = static_cast<std::uint8_t>((gamma_[q] + 4) & 7);
  return {};
}

Status StabilizerCHForm::apply_y(std::size_t q) {
  if (auto r = check_qubit(q); !r) return r;
  gamma_[q] = static_cast<std::uint8_t>((gamma_[q] + 4) & 7);
  if (auto r = left_multiply_x(q); !r) return r;
  omega_ = static_cast<std::uint8_t>((omega_ + 2) & 7);
  return {};
}

Status StabilizerCHForm::apply_sqrt_x(std::size_t q) {
  if (auto r = left_multiply_h(q); !r) return r;
  if (auto r = left_multiply_s(q); !r) return r;
  return left_multiply_h(q);
}

Status StabilizerCHForm::apply_sqrt_xdg(std::size_t q) {
  if (auto r = left_multiply_h(q); !r) return r;
  if (auto r = left_multiply_sdg(q); !r) return r;
  return left_multiply_h(q);
}

Status StabilizerCHForm::apply_cx(std::size_t control, std::size_t target) {
  return left_multiply_cx(control, target);
}

Status StabilizerCHForm::apply_cz(std::size_t a, std::size_t b) { return left_multiply_cz(a, b); }

Status StabilizerCHForm::apply_swap(std::size_t a, std::size_t b) {
  if (auto r = check_qubit_pair(a, b); !r) return r;
  if (auto r = left_multiply_cx(a, b); !r) return r;
  if (auto r = left_multiply_cx(b, a); !r) return r;
  return left_multiply_cx(a, b);
}

Status StabilizerCHForm::apply_gate(const CliffordGate& gate) {
  using K = CliffordGateKind;
  switch (gate.kind) {
    case K::H: return apply_h(gate.q0);
    case K::X: return apply_x(gate.q0);
    case K::Y: return apply_y(gate.q0);
    case K::Z: return apply_z(gate.q0);
    case K::S: return apply_s(gate.q0);
    case K::Sdg: return apply_sdg(gate.q0);
    case K::SqrtX: return apply_sqrt_x(gate.q0);
    case K::SqrtXdg: return apply_sqrt_xdg(gate.q0);
    case K::CX: return apply_cx(gate.q0, gate.q1);
    case K::CZ: return apply_cz(gate.q0, gate.q1);
    case K::Swap: return apply_swap(gate.q0, gate.q1);
  }
  throw InternalFault("Unknown Clifford gate kind.");
}

}  // namespace pelmar
