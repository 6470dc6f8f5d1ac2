// The Python class QuantumGate: an immutable value made by static constructors, one per kind.

#include "python/gate_table.h"
#include "python/wrappers.h"

namespace kelvra::python {

PyTypeObject* quantum_gate_type = nullptr;

namespace {

using kelvra::GateKind;
using kelvra::QuantumGate;

/// QuantumGate.h(target), QuantumGate.cx(control, target), ...: a new gate, indices unchecked.
template <GateKind K>
PyObject* make(PyObject*, PyObject* args, PyObject* kwargs) {
  const GateDef& def = gate_def(K);
  return entry(def.gate_full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, Signature{def.gate_full, def.params, def.params.size()}, a)) return nullptr;
    std::size_t q[3] = {0, 0, 0};
    for (std::size_t i = 0; i < def.params.size(); ++i) {
      auto v = to_index(a[i], def.params[i]);
      if (!v) return nullptr;
      q[i] = *v;
    }
    return wrap(quantum_gate_type, make_gate(K, q));
  });
}

constexpr const char* kNoParams[] = {""};
constexpr std::span<const char* const> kNone(kNoParams, 0);

template <bool (QuantumGate::*Query)() const>
PyObject* query(PyObject* self, PyObject* args, PyObject* kwargs, const char* full) {
  return entry(full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, Signature{full, kNone, 0}, a)) return nullptr;
    UseGuard g;
    const QuantumGate* gate = use<QuantumGate>(self, g, false);
    if (gate == nullptr) return nullptr;
    return py_bool((gate->*Query)());
  });
}

PyObject* is_clifford(PyObject* self, PyObject* args, PyObject* kwargs) {
  return query<&QuantumGate::is_clifford>(self, args, kwargs, "QuantumGate.is_clifford()");
}

PyObject* is_t_type(PyObject* self, PyObject* args, PyObject* kwargs) {
  return query<&QuantumGate::is_t_type>(self, args, kwargs, "QuantumGate.is_t_type()");
}

PyObject* get_name(PyObject* self, void*) {
  return entry("QuantumGate.name", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumGate* gate = use<QuantumGate>(self, g, false);
    if (gate == nullptr) return nullptr;
    return py_text(gate->name());
  });
}

PyObject* get_qubits(PyObject* self, void*) {
  return entry("QuantumGate.qubits", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumGate* gate = use<QuantumGate>(self, g, false);
    if (gate == nullptr) return nullptr;
    return py_index_list(gate->qubits());
  });
}

PyObject* str(PyObject* self) {
  return entry("QuantumGate.__str__()", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumGate* gate = use<QuantumGate>(self, g, false);
    if (gate == nullptr) return nullptr;
    return py_text(gate->to_string());
  });
}

PyObject* repr(PyObject* self) {
  return entry("QuantumGate.__repr__()", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumGate* gate = use<QuantumGate>(self, g, false);
    if (gate == nullptr) return nullptr;
    return py_text("<QuantumGate: " + gate->to_string() + ">");
  });
}

constexpr int kStatic = METH_VARARGS | METH_KEYWORDS | METH_STATIC;
constexpr int kMethod = METH_VARARGS | METH_KEYWORDS;

template <GateKind K>
PyMethodDef constructor() {
  return {gate_def(K).method, cfunction<&make<K>>(), kStatic,
          gate_def(K).gate_doc};
}

PyMethodDef methods[] = {
    constructor<GateKind::H>(),
    constructor<GateKind::X>(),
    constructor<GateKind::Y>(),
    constructor<GateKind::Z>(),
    constructor<GateKind::S>(),
    constructor<GateKind::Sdg>(),
    constructor<GateKind::SqrtX>(),
    constructor<GateKind::SqrtXdg>(),
    constructor<GateKind::CX>(),
    constructor<GateKind::CZ>(),
    constructor<GateKind::Swap>(),
    constructor<GateKind::T>(),
    constructor<GateKind::Tdg>(),
    constructor<GateKind::CCX>(),
    {"is_clifford", cfunction<&is_clifford>(), kMethod,
     "is_clifford($self)\n--\n\n"},
    {"is_t_type", cfunction<&is_t_type>(), kMethod,
     "is_t_type($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef getset[] = {
    {"name", &get_name, nullptr, "", nullptr},
    {"qubits", &get_qubits, nullptr, "", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMemberDef members[] = {
    module_placeholder(),
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(&no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(&dealloc<QuantumGate>)},
    {Py_tp_str, reinterpret_cast<void*>(&str)},
    {Py_tp_repr, reinterpret_cast<void*>(&repr)},
    {Py_tp_methods, methods},
    {Py_tp_getset, getset},
    {Py_tp_members, members},
    {Py_tp_doc, const_cast<char*>("")},
    {0, nullptr},
};

}  // namespace

PyType_Spec quantum_gate_spec = {
    "QuantumGate", sizeof(PyQuantumGate), 0, Py_TPFLAGS_DEFAULT, slots,
};

}  // namespace kelvra::python
