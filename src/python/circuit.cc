// The Python class QuantumCircuit: a register width and a gate list that only ever grows at its
// end, plus the OpenQASM 2 readers and writers.

#include <cstring>

#include "kelvra/qasm/qasm.h"
#include "python/gate_table.h"
#include "python/wrappers.h"

namespace kelvra::python {

PyTypeObject* quantum_circuit_type = nullptr;

namespace {

using kelvra::GateKind;
using kelvra::QuantumCircuit;
using kelvra::QuantumGate;

constexpr const char* kNumQubits[] = {"num_qubits"};
constexpr const char* kPath[] = {"path"};
constexpr const char* kQasm[] = {"qasm"};
constexpr const char* kRegName[] = {"reg_name"};
constexpr const char* kPathRegName[] = {"path", "reg_name"};
constexpr const char* kNSeed[] = {"n", "seed"};
constexpr const char* kOther[] = {"other"};
constexpr const char* kGateNameQubits[] = {"gate_name", "qubits"};

PyObject* circuit_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.__new__()", kNumQubits, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    auto n = to_index(a[0], "num_qubits");
    if (!n) return nullptr;
    return wrap(type, QuantumCircuit(*n));
  });
}

// ---- Properties.

PyObject* get_num_qubits(PyObject* self, void*) {
  return entry("QuantumCircuit.num_qubits", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    return py_index(c->num_qubits());
  });
}

PyObject* get_num_gates(PyObject* self, void*) {
  return entry("QuantumCircuit.num_gates", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    return py_index(c->gates().size());
  });
}

PyObject* get_gates(PyObject* self, void*) {
  return entry("QuantumCircuit.gates", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    const auto& gates = c->gates();
    Ref list = Ref::steal(PyList_New(static_cast<Py_ssize_t>(gates.size())));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < gates.size(); ++i) {
      PyObject* gate = wrap(quantum_gate_type, QuantumGate(gates[i]));
      if (gate == nullptr) return nullptr;
      PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), gate);
    }
    return list.release();
  });
}

// ---- OpenQASM 2.

PyObject* from_qasm_file(PyObject*, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.from_qasm_file()", kPath, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    auto path = to_text(a[0], "path");
    if (!path) return nullptr;
    auto r = kelvra::qasm::from_qasm_file(*path);
    if (!r) {
      raise_error(PyExc_FileNotFoundError, r.error(), "Failed to read QASM file: ");
      return nullptr;
    }
    return wrap(quantum_circuit_type, std::move(*r));
  });
}

PyObject* from_qasm_str(PyObject*, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.from_qasm_str()", kQasm, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    auto text = to_text(a[0], "qasm");
    if (!text) return nullptr;
    auto r = kelvra::qasm::from_qasm_str(*text);
    if (!r) {
      raise_error(PyExc_ValueError, r.error(), "Failed to parse QASM string: ");
      return nullptr;
    }
    return wrap(quantum_circuit_type, std::move(*r));
  });
}

PyObject* to_qasm_str(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.to_qasm_str()", kRegName, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    auto reg = to_text(a[0], "reg_name");
    if (!reg) return nullptr;
    return py_text(kelvra::qasm::to_qasm_str(*c, *reg));
  });
}

PyObject* to_qasm_file(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.to_qasm_file()", kPathRegName, 2};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    auto path = to_text(a[0], "path");
    if (!path) return nullptr;
    auto reg = to_text(a[1], "reg_name");
    if (!reg) return nullptr;
    auto r = kelvra::qasm::to_qasm_file(*c, *path, *reg);
    if (!r) {
      raise_error(PyExc_ValueError, r.error(), "Failed to write QASM file: ");
      return nullptr;
    }
    Py_RETURN_NONE;
  });
}

// ---- Building.

PyObject* random_clifford(PyObject*, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.random_clifford()", kNSeed, 1};
  return entry(sig.full, [&](MemoryNote& note) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    auto n = to_index(a[0], "n");
    if (!n) return nullptr;
    std::optional<pelmar::Seed> seed;
    if (!parse_py_seed(a[1], seed)) return nullptr;
    note.set("not enough memory for a random Clifford circuit of %zu qubits", *n);
    return wrap(quantum_circuit_type, QuantumCircuit::random_clifford(*n, seed));
  });
}

PyObject* append(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.append()", kOther, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g, g_other;
    QuantumCircuit* c = use<QuantumCircuit>(self, g, true);
    if (c == nullptr) return nullptr;
    const QuantumCircuit* other = use_argument<QuantumCircuit>(a[0], quantum_circuit_type, "other", g_other);
    if (other == nullptr) return nullptr;
    c->append(*other);
    Py_RETURN_NONE;
  });
}

PyObject* tensor(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.tensor()", kOther, 1};
  return entry(sig.full, [&](MemoryNote& note) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g, g_other;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    const QuantumCircuit* other = use_argument<QuantumCircuit>(a[0], quantum_circuit_type, "other", g_other);
    if (other == nullptr) return nullptr;
    // A register wider than a machine word can count is reported as an impossible size.
    note.set("not enough memory for the tensor product of a %zu-qubit and a %zu-qubit circuit", c->num_qubits(),
             other->num_qubits());
    return wrap(quantum_circuit_type, c->tensor(*other));
  });
}

/// Gate names accepted by apply_gate, matched on the lower-cased text.
struct NamedGate {
  const char* name;
  GateKind kind;
  std::size_t count;
  const char* count_error;
};

constexpr NamedGate kNamedGates[] = {
    {"h", GateKind::H, 1, "H gate requires 1 qubit index."},
    {"x", GateKind::X, 1, "X gate requires 1 qubit index."},
    {"y", GateKind::Y, 1, "Y gate requires 1 qubit index."},
    {"z", GateKind::Z, 1, "Z gate requires 1 qubit index."},
    {"s", GateKind::S, 1, "S gate requires 1 qubit index."},
    {"t", GateKind::T, 1, "T gate requires 1 qubit index."},
    {"sdg", GateKind::Sdg, 1, "Sdg gate requires 1 qubit index."},
    {"tdg", GateKind::Tdg, 1, "Tdg gate requires 1 qubit index."},
    {"sqrtx", GateKind::SqrtX, 1, "SqrtX gate requires 1 qubit index."},
    {"sqrtxdg", GateKind::SqrtXdg, 1, "SqrtXdg gate requires 1 qubit index."},
    {"cx", GateKind::CX, 2, "CX gate requires 2 qubit indices (control, target)."},
    {"cnot", GateKind::CX, 2, "CX gate requires 2 qubit indices (control, target)."},
    {"cz", GateKind::CZ, 2, "CZ gate requires 2 qubit indices."},
    {"swap", GateKind::Swap, 2, "SWAP gate requires 2 qubit indices."},
};

PyObject* apply_gate(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumCircuit.apply_gate()", kGateNameQubits, 2};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    QuantumCircuit* c = use<QuantumCircuit>(self, g, true);
    if (c == nullptr) return nullptr;
    auto name = to_text(a[0], "gate_name");
    if (!name) return nullptr;
    auto qubits = to_index_list(a[1], "qubits");
    if (!qubits) return nullptr;

    // Full Unicode lower-casing, as str.lower does it (called unbound, so a str subclass cannot
    // change it).
    Ref lowered = Ref::steal(
        PyObject_CallMethod(reinterpret_cast<PyObject*>(&PyUnicode_Type), "lower", "O", a[0]));
    if (!lowered) return nullptr;
    const char* key = PyUnicode_AsUTF8(lowered.get());
    if (key == nullptr) return nullptr;

    const NamedGate* found = nullptr;
    for (const NamedGate& ng : kNamedGates) {
      if (std::strcmp(key, ng.name) == 0) {
        found = &ng;
        break;
      }
    }
    if (found == nullptr) {
      raise_message(PyExc_ValueError, "Unknown gate name: '" + *name + "'");
      return nullptr;
    }
    if (qubits->size() != found->count) {
      raise_message(PyExc_ValueError, found->count_error);
      return nullptr;
    }
    c->apply_gate(make_gate(found->kind, qubits->data()));
    Py_RETURN_NONE;
  });
}

/// apply_h(target), apply_cx(control, target), ...: appends the gate, indices unchecked.
template <GateKind K>
PyObject* apply(PyObject* self, PyObject* args, PyObject* kwargs) {
  const GateDef& def = gate_def(K);
  return entry(def.circuit_full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, Signature{def.circuit_full, def.params, def.params.size()}, a)) return nullptr;
    UseGuard g;
    QuantumCircuit* c = use<QuantumCircuit>(self, g, true);
    if (c == nullptr) return nullptr;
    std::size_t q[3] = {0, 0, 0};
    for (std::size_t i = 0; i < def.params.size(); ++i) {
      auto v = to_index(a[i], def.params[i]);
      if (!v) return nullptr;
      q[i] = *v;
    }
    c->apply_gate(make_gate(K, q));
    Py_RETURN_NONE;
  });
}

PyObject* str(PyObject* self) {
  return entry("QuantumCircuit.__str__()", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumCircuit* c = use<QuantumCircuit>(self, g, false);
    if (c == nullptr) return nullptr;
    return py_text(c->to_string());
  });
}

constexpr int kStatic = METH_VARARGS | METH_KEYWORDS | METH_STATIC;
constexpr int kMethod = METH_VARARGS | METH_KEYWORDS;

template <GateKind K>
PyMethodDef appender() {
  return {gate_def(K).circuit_method, cfunction<&apply<K>>(), kMethod, gate_def(K).circuit_doc};
}

PyMethodDef methods[] = {
    {"from_qasm_file", cfunction<&from_qasm_file>(), kStatic, "from_qasm_file(path)\n--\n\n"},
    {"from_qasm_str", cfunction<&from_qasm_str>(), kStatic, "from_qasm_str(qasm)\n--\n\n"},
    {"to_qasm_str", cfunction<&to_qasm_str>(), kMethod, "to_qasm_str($self, reg_name)\n--\n\n"},
    {"to_qasm_file", cfunction<&to_qasm_file>(), kMethod, "to_qasm_file($self, path, reg_name)\n--\n\n"},
    {"random_clifford", cfunction<&random_clifford>(), kStatic, "random_clifford(n, seed=None)\n--\n\n"},
    {"append", cfunction<&append>(), kMethod, "append($self, other)\n--\n\n"},
    {"tensor", cfunction<&tensor>(), kMethod, "tensor($self, other)\n--\n\n"},
    {"apply_gate", cfunction<&apply_gate>(), kMethod, "apply_gate($self, gate_name, qubits)\n--\n\n"},
    appender<GateKind::H>(),
    appender<GateKind::X>(),
    appender<GateKind::Y>(),
    appender<GateKind::Z>(),
    appender<GateKind::S>(),
    appender<GateKind::Sdg>(),
    appender<GateKind::SqrtX>(),
    appender<GateKind::SqrtXdg>(),
    appender<GateKind::T>(),
    appender<GateKind::Tdg>(),
    appender<GateKind::CX>(),
    appender<GateKind::CZ>(),
    appender<GateKind::Swap>(),
    appender<GateKind::CCX>(),
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef getset[] = {
    {"num_qubits", &get_num_qubits, nullptr, "", nullptr},
    {"num_gates", &get_num_gates, nullptr, "", nullptr},
    {"gates", &get_gates, nullptr, "", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMemberDef members[] = {
    module_placeholder(),
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(&circuit_new)},
    {Py_tp_dealloc, reinterpret_cast<void*>(&dealloc<QuantumCircuit>)},
    {Py_tp_str, reinterpret_cast<void*>(&str)},
    {Py_tp_methods, methods},
    {Py_tp_getset, getset},
    {Py_tp_members, members},
    {Py_tp_doc, const_cast<char*>("QuantumCircuit(num_qubits)\n--\n\n")},
    {0, nullptr},
};

}  // namespace

PyType_Spec quantum_circuit_spec = {
    "QuantumCircuit", sizeof(PyQuantumCircuit), 0, Py_TPFLAGS_DEFAULT, slots,
};

}  // namespace kelvra::python
