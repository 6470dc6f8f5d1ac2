// The Python class QuantumState: a simulated state, compiled from a circuit, changed in place by
// Clifford gates, measurement, projection and qubit removal, and read by sampling, expectation
// values, overlaps, norms and state vectors. Every engine error is a ValueError with its message.

#include "python/gate_table.h"
#include "python/wrappers.h"

namespace kelvra::python {

PyTypeObject* quantum_state_type = nullptr;

namespace {

using kelvra::GateKind;
using kelvra::QuantumCircuit;
using kelvra::QuantumGate;
using kelvra::QuantumState;

constexpr const char* kNoParams[] = {""};
constexpr std::span<const char* const> kNone(kNoParams, 0);
constexpr const char* kCircuit[] = {"circuit"};
constexpr const char* kOther[] = {"other"};
constexpr const char* kQargsSeed[] = {"qargs", "seed"};
constexpr const char* kSeed[] = {"seed"};
constexpr const char* kSample[] = {"qargs", "shots", "seed"};
constexpr const char* kPauliOp[] = {"pauli_op"};
constexpr const char* kQubitOutcome[] = {"qubit", "outcome"};
constexpr const char* kQubit[] = {"qubit"};
constexpr const char* kGate[] = {"gate"};
constexpr const char* kGates[] = {"gates"};

/// Raises the ValueError of an engine error; returns null for the caller to pass on.
PyObject* value_error(const kelvra::Error& e) {
  raise_error(PyExc_ValueError, e);
  return nullptr;
}

/// None, or the ValueError of a failed status.
PyObject* none_or_error(const kelvra::Status& s) {
  if (!s) return value_error(s.error());
  Py_RETURN_NONE;
}

PyObject* from_circuit(PyObject*, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.from_circuit()", kCircuit, 1};
  return entry(sig.full, [&](MemoryNote& note) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    const QuantumCircuit* c = use_argument<QuantumCircuit>(a[0], quantum_circuit_type, "circuit", g);
    if (c == nullptr) return nullptr;
    std::size_t t_gates = 0;
    for (const QuantumGate& gate : c->gates()) t_gates += gate.is_t_type() ? 1 : 0;
    note.set("not enough memory to simulate a %zu-qubit circuit with %zu T-type gates", c->num_qubits(), t_gates);
    auto r = QuantumState::from_circuit(*c);
    if (!r) return value_error(r.error());
    return wrap(quantum_state_type, std::move(*r));
  });
}

PyObject* to_statevector(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.to_statevector()", kNone, 0};
  return entry(sig.full, [&](MemoryNote& note) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    note.set("not enough memory for the state vector of a %zu-qubit state", s->num_qubits());
    auto r = s->to_statevector();
    if (!r) return value_error(r.error());
    const auto& amplitudes = *r;
    Ref list = Ref::steal(PyList_New(static_cast<Py_ssize_t>(amplitudes.size())));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < amplitudes.size(); ++i) {
      PyObject* z = PyComplex_FromDoubles(amplitudes[i].real(), amplitudes[i].imag());
      if (z == nullptr) return nullptr;
      PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), z);
    }
    return list.release();
  });
}

PyObject* inner_product(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.inner_product()", kOther, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g, g_other;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    const QuantumState* other = use_argument<QuantumState>(a[0], quantum_state_type, "other", g_other);
    if (other == nullptr) return nullptr;
    auto r = s->inner_product(*other);
    if (!r) return value_error(r.error());
    return PyComplex_FromDoubles(r->real(), r->imag());
  });
}

PyObject* measure(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.measure()", kQargsSeed, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    auto qargs = to_index_list(a[0], "qargs");
    if (!qargs) return nullptr;
    std::optional<pelmar::Seed> seed;
    if (!parse_py_seed(a[1], seed)) return nullptr;
    auto r = s->measure(*qargs, seed);
    if (!r) return value_error(r.error());
    return py_bool_list(*r);
  });
}

PyObject* measure_all(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.measure_all()", kSeed, 0};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    std::optional<pelmar::Seed> seed;
    if (!parse_py_seed(a[0], seed)) return nullptr;
    auto r = s->measure_all(seed);
    if (!r) return value_error(r.error());
    return py_bool_list(*r);
  });
}

PyObject* sample(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.sample()", kSample, 2};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    auto qargs = to_index_list(a[0], "qargs");
    if (!qargs) return nullptr;
    auto shots = to_index(a[1], "shots");
    if (!shots) return nullptr;
    std::optional<pelmar::Seed> seed;
    if (!parse_py_seed(a[2], seed)) return nullptr;
    auto r = s->sample(*qargs, *shots, seed);
    if (!r) return value_error(r.error());

    // Keys in the sampler's depth-first order; character j is the outcome of qargs[j].
    Ref counts = Ref::steal(PyDict_New());
    if (!counts) return nullptr;
    std::string key;
    for (const auto& [outcomes, count] : *r) {
      key.assign(outcomes.size(), '0');
      for (std::size_t j = 0; j < outcomes.size(); ++j) {
        if (outcomes[j]) key[j] = '1';
      }
      Ref k = Ref::steal(py_text(key));
      if (!k) return nullptr;
      Ref v = Ref::steal(PyLong_FromUnsignedLongLong(count));
      if (!v) return nullptr;
      if (PyDict_SetItem(counts.get(), k.get(), v.get()) < 0) return nullptr;
    }
    return counts.release();
  });
}

PyObject* exp_value(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.exp_value()", kPauliOp, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g, g_pauli;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    const pelmar::PauliString* p = use_argument<pelmar::PauliString>(a[0], pauli_string_type, "pauli_op", g_pauli);
    if (p == nullptr) return nullptr;
    auto r = s->exp_value(*p);
    if (!r) return value_error(r.error());
    return PyFloat_FromDouble(*r);
  });
}

template <kelvra::Status (QuantumState::*Project)(std::size_t, bool), const Signature& Sig>
PyObject* project(PyObject* self, PyObject* args, PyObject* kwargs) {
  return entry(Sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, Sig, a)) return nullptr;
    UseGuard g;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    auto qubit = to_index(a[0], "qubit");
    if (!qubit) return nullptr;
    auto outcome = to_bool(a[1], "outcome");
    if (!outcome) return nullptr;
    return none_or_error((s->*Project)(*qubit, *outcome));
  });
}

constexpr Signature kProjectNormalized{"QuantumState.project_normalized()", kQubitOutcome, 2};
constexpr Signature kProjectUnnormalized{"QuantumState.project_unnormalized()", kQubitOutcome, 2};

PyObject* discard(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.discard()", kQubit, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    auto qubit = to_index(a[0], "qubit");
    if (!qubit) return nullptr;
    return none_or_error(s->discard(*qubit));
  });
}

PyObject* apply_gate(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.apply_gate()", kGate, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g, g_gate;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    const QuantumGate* gate = use_argument<QuantumGate>(a[0], quantum_gate_type, "gate", g_gate);
    if (gate == nullptr) return nullptr;
    return none_or_error(s->apply_gate(*gate));
  });
}

PyObject* apply_gates(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.apply_gates()", kGates, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    auto gates = to_gate_list(a[0], "gates");
    if (!gates) return nullptr;
    return none_or_error(s->apply_gates(*gates));
  });
}

/// The facade's gate method of kind K on the indices `q`.
template <GateKind K>
kelvra::Status apply_kind(QuantumState& s, const std::size_t* q) {
  if constexpr (K == GateKind::H) return s.apply_h(q[0]);
  if constexpr (K == GateKind::X) return s.apply_x(q[0]);
  if constexpr (K == GateKind::Y) return s.apply_y(q[0]);
  if constexpr (K == GateKind::Z) return s.apply_z(q[0]);
  if constexpr (K == GateKind::S) return s.apply_s(q[0]);
  if constexpr (K == GateKind::Sdg) return s.apply_sdg(q[0]);
  if constexpr (K == GateKind::SqrtX) return s.apply_sqrt_x(q[0]);
  if constexpr (K == GateKind::SqrtXdg) return s.apply_sqrt_xdg(q[0]);
  if constexpr (K == GateKind::CX) return s.apply_cx(q[0], q[1]);
  if constexpr (K == GateKind::CZ) return s.apply_cz(q[0], q[1]);
  if constexpr (K == GateKind::Swap) return s.apply_swap(q[0], q[1]);
}

/// apply_h(qubit), apply_cx(control, target), ...: the Clifford gate on every term, in place.
template <GateKind K>
PyObject* apply(PyObject* self, PyObject* args, PyObject* kwargs) {
  const GateDef& def = gate_def(K);
  return entry(def.state_full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, Signature{def.state_full, def.state_params, def.state_params.size()}, a)) return nullptr;
    UseGuard g;
    QuantumState* s = use<QuantumState>(self, g, true);
    if (s == nullptr) return nullptr;
    std::size_t q[2] = {0, 0};
    for (std::size_t i = 0; i < def.state_params.size(); ++i) {
      auto v = to_index(a[i], def.state_params[i]);
      if (!v) return nullptr;
      q[i] = *v;
    }
    return none_or_error(apply_kind<K>(*s, q));
  });
}

PyObject* norm(PyObject* self, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"QuantumState.norm()", kNone, 0};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    UseGuard g;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    auto r = s->norm();
    if (!r) return value_error(r.error());
    return PyFloat_FromDouble(*r);
  });
}

PyObject* get_stabilizer_rank(PyObject* self, void*) {
  return entry("QuantumState.stabilizer_rank", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    return py_index(s->stabilizer_rank());
  });
}

PyObject* get_num_qubits(PyObject* self, void*) {
  return entry("QuantumState.num_qubits", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    return py_index(s->num_qubits());
  });
}

PyObject* str(PyObject* self) {
  return entry("QuantumState.__str__()", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const QuantumState* s = use<QuantumState>(self, g, false);
    if (s == nullptr) return nullptr;
    return PyUnicode_FromFormat("QuantumState(num_qubits=%zu, stabilizer_rank=%zu)", s->num_qubits(),
                                s->stabilizer_rank());
  });
}

constexpr int kStatic = METH_VARARGS | METH_KEYWORDS | METH_STATIC;
constexpr int kMethod = METH_VARARGS | METH_KEYWORDS;

template <GateKind K>
PyMethodDef gate_method() {
  return {gate_def(K).circuit_method, cfunction<&apply<K>>(), kMethod, gate_def(K).state_doc};
}

PyMethodDef methods[] = {
    {"from_circuit", cfunction<&from_circuit>(), kStatic, "from_circuit(circuit)\n--\n\n"},
    {"to_statevector", cfunction<&to_statevector>(), kMethod, "to_statevector($self)\n--\n\n"},
    {"inner_product", cfunction<&inner_product>(), kMethod, "inner_product($self, other)\n--\n\n"},
    {"measure", cfunction<&measure>(), kMethod, "measure($self, qargs, seed=None)\n--\n\n"},
    {"measure_all", cfunction<&measure_all>(), kMethod, "measure_all($self, seed=None)\n--\n\n"},
    {"sample", cfunction<&sample>(), kMethod, "sample($self, qargs, shots, seed=None)\n--\n\n"},
    {"exp_value", cfunction<&exp_value>(), kMethod, "exp_value($self, pauli_op)\n--\n\n"},
    {"project_normalized", cfunction<&project<&QuantumState::project_normalized, kProjectNormalized>>(), kMethod,
     "project_normalized($self, qubit, outcome)\n--\n\n"},
    {"project_unnormalized", cfunction<&project<&QuantumState::project_unnormalized, kProjectUnnormalized>>(),
     kMethod, "project_unnormalized($self, qubit, outcome)\n--\n\n"},
    {"discard", cfunction<&discard>(), kMethod, "discard($self, qubit)\n--\n\n"},
    {"apply_gate", cfunction<&apply_gate>(), kMethod, "apply_gate($self, gate)\n--\n\n"},
    {"apply_gates", cfunction<&apply_gates>(), kMethod, "apply_gates($self, gates)\n--\n\n"},
    gate_method<GateKind::X>(),
    gate_method<GateKind::Y>(),
    gate_method<GateKind::Z>(),
    gate_method<GateKind::H>(),
    gate_method<GateKind::S>(),
    gate_method<GateKind::Sdg>(),
    gate_method<GateKind::SqrtX>(),
    gate_method<GateKind::SqrtXdg>(),
    gate_method<GateKind::CX>(),
    gate_method<GateKind::CZ>(),
    gate_method<GateKind::Swap>(),
    {"norm", cfunction<&norm>(), kMethod, "norm($self)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef getset[] = {
    {"stabilizer_rank", &get_stabilizer_rank, nullptr, "", nullptr},
    {"num_qubits", &get_num_qubits, nullptr, "", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyMemberDef members[] = {
    module_placeholder(),
    {nullptr, 0, 0, 0, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(&no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(&dealloc<QuantumState>)},
    {Py_tp_str, reinterpret_cast<void*>(&str)},
    {Py_tp_methods, methods},
    {Py_tp_getset, getset},
    {Py_tp_members, members},
    {Py_tp_doc, const_cast<char*>("")},
    {0, nullptr},
};

}  // namespace

PyType_Spec quantum_state_spec = {
    "QuantumState", sizeof(PyQuantumState), 0, Py_TPFLAGS_DEFAULT, slots,
};

}  // namespace kelvra::python
