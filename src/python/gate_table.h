#pragma once
/// The Python names of the gate kinds: the static constructor of QuantumGate, the appending method
/// of QuantumCircuit and (for the Clifford kinds) the gate method of QuantumState, each with its
/// parameter names and its documented signature.

#include <array>
#include <cstddef>
#include <span>

#include "kelvra/circuit/quantum_gate.h"

namespace kelvra::python {

struct GateDef {
  const char* method;        // "h": QuantumGate.h
  const char* gate_full;     // "QuantumGate.h()"
  const char* gate_doc;      // "h(target)\n--\n\n"
  std::span<const char* const> params;
  const char* circuit_method;  // "apply_h"
  const char* circuit_full;    // "QuantumCircuit.apply_h()"
  const char* circuit_doc;     // "apply_h($self, target)\n--\n\n"
  const char* state_full;      // "QuantumState.apply_h()" (Clifford kinds only)
  const char* state_doc;       // "apply_h($self, qubit)\n--\n\n"
  std::span<const char* const> state_params;
};

inline constexpr const char* kTarget[] = {"target"};
inline constexpr const char* kControlTarget[] = {"control", "target"};
inline constexpr const char* kQargs[] = {"qarg1", "qarg2"};
inline constexpr const char* kControls[] = {"control1", "control2", "target"};
inline constexpr const char* kQubit[] = {"qubit"};

#define KELVRA_GATE1(py)                                                                              \
  GateDef {                                                                                                 \
    #py, "QuantumGate." #py "()", #py "(target)\n--\n\n", kTarget, "apply_" #py,                            \
        "QuantumCircuit.apply_" #py "()", "apply_" #py "($self, target)\n--\n\n", "QuantumState.apply_" #py "()", \
        "apply_" #py "($self, qubit)\n--\n\n", kQubit                                                       \
  }

inline constexpr std::array<GateDef, 14> kGateDefs = {
    KELVRA_GATE1(h),
    KELVRA_GATE1(x),
    KELVRA_GATE1(y),
    KELVRA_GATE1(z),
    KELVRA_GATE1(s),
    KELVRA_GATE1(sdg),
    KELVRA_GATE1(sqrt_x),
    KELVRA_GATE1(sqrt_xdg),
    GateDef{"cx", "QuantumGate.cx()", "cx(control, target)\n--\n\n", kControlTarget, "apply_cx",
            "QuantumCircuit.apply_cx()", "apply_cx($self, control, target)\n--\n\n", "QuantumState.apply_cx()",
            "apply_cx($self, control, target)\n--\n\n", kControlTarget},
    GateDef{"cz", "QuantumGate.cz()", "cz(qarg1, qarg2)\n--\n\n", kQargs, "apply_cz", "QuantumCircuit.apply_cz()",
            "apply_cz($self, qarg1, qarg2)\n--\n\n", "QuantumState.apply_cz()", "apply_cz($self, qarg1, qarg2)\n--\n\n",
            kQargs},
    GateDef{"swap", "QuantumGate.swap()", "swap(qarg1, qarg2)\n--\n\n", kQargs, "apply_swap",
            "QuantumCircuit.apply_swap()", "apply_swap($self, qarg1, qarg2)\n--\n\n", "QuantumState.apply_swap()",
            "apply_swap($self, qarg1, qarg2)\n--\n\n", kQargs},
    GateDef{"t", "QuantumGate.t()", "t(target)\n--\n\n", kTarget, "apply_t", "QuantumCircuit.apply_t()",
            "apply_t($self, target)\n--\n\n", nullptr, nullptr, {}},
    GateDef{"tdg", "QuantumGate.tdg()", "tdg(target)\n--\n\n", kTarget, "apply_tdg", "QuantumCircuit.apply_tdg()",
            "apply_tdg($self, target)\n--\n\n", nullptr, nullptr, {}},
    GateDef{"ccx", "QuantumGate.ccx()", "ccx(control1, control2, target)\n--\n\n", kControls, "apply_ccx",
            "QuantumCircuit.apply_ccx()", "apply_ccx($self, control1, control2, target)\n--\n\n", nullptr, nullptr, {}},
};

#undef KELVRA_GATE1

constexpr const GateDef& gate_def(kelvra::GateKind kind) { return kGateDefs[static_cast<std::size_t>(kind)]; }

/// The gate of `kind` on the first one, two or three entries of `q`.
inline kelvra::QuantumGate make_gate(kelvra::GateKind kind, const std::size_t* q) {
  using kelvra::GateKind;
  using kelvra::QuantumGate;
  switch (kind) {
    case GateKind::H: return QuantumGate::H(q[0]);
    case GateKind::X: return QuantumGate::X(q[0]);
    case GateKind::Y: return QuantumGate::Y(q[0]);
    case GateKind::Z: return QuantumGate::Z(q[0]);
    case GateKind::S: return QuantumGate::S(q[0]);
    case GateKind::Sdg: return QuantumGate::Sdg(q[0]);
    case GateKind::SqrtX: return QuantumGate::SqrtX(q[0]);
    case GateKind::SqrtXdg: return QuantumGate::SqrtXdg(q[0]);
    case GateKind::CX: return QuantumGate::CX(q[0], q[1]);
    case GateKind::CZ: return QuantumGate::CZ(q[0], q[1]);
    case GateKind::Swap: return QuantumGate::Swap(q[0], q[1]);
    case GateKind::T: return QuantumGate::T(q[0]);
    case GateKind::Tdg: return QuantumGate::Tdg(q[0]);
    case GateKind::CCX: return QuantumGate::CCX(q[0], q[1], q[2]);
  }
  return QuantumGate::H(q[0]);
}

}  // namespace kelvra::python
