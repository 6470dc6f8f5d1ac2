// The Python class PauliString: an immutable Pauli operator parsed from dense ("XIZ") or sparse
// ("X0 Z2") text, used as the operator of QuantumState.exp_value.

#include "python/wrappers.h"

namespace kelvra::python {

PyTypeObject* pauli_string_type = nullptr;

namespace {

using pelmar::PauliString;

constexpr const char* kS[] = {"s"};

PyObject* from_str(PyObject*, PyObject* args, PyObject* kwargs) {
  static constexpr Signature sig{"PauliString.from_str()", kS, 1};
  return entry(sig.full, [&](MemoryNote&) -> PyObject* {
    Bound a;
    if (!bind(args, kwargs, sig, a)) return nullptr;
    auto text = to_text(a[0], "s");
    if (!text) return nullptr;
    auto r = PauliString::parse(*text);
    if (!r) {
      raise_message(PyExc_ValueError, "Invalid Pauli string format: " + r.error().message());
      return nullptr;
    }
    return wrap(pauli_string_type, std::move(*r));
  });
}

PyObject* get_is_identity(PyObject* self, void*) {
  return entry("PauliString.is_identity", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const PauliString* p = use<PauliString>(self, g, false);
    if (p == nullptr) return nullptr;
    return py_bool(p->is_identity());
  });
}

PyObject* str(PyObject* self) {
  return entry("PauliString.__str__()", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const PauliString* p = use<PauliString>(self, g, false);
    if (p == nullptr) return nullptr;
    return py_text(p->to_string());
  });
}

PyObject* repr(PyObject* self) {
  return entry("PauliString.__repr__()", [&](MemoryNote&) -> PyObject* {
    UseGuard g;
    const PauliString* p = use<PauliString>(self, g, false);
    if (p == nullptr) return nullptr;
    return py_text("PauliString('" + p->to_string() + "')");
  });
}

PyMethodDef methods[] = {
    {"from_str", cfunction<&from_str>(), METH_VARARGS | METH_KEYWORDS | METH_STATIC, "from_str(s)\n--\n\n"},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef getset[] = {
    {"is_identity", &get_is_identity, nullptr, "", nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyType_Slot slots[] = {
    {Py_tp_new, reinterpret_cast<void*>(&no_constructor)},
    {Py_tp_dealloc, reinterpret_cast<void*>(&dealloc<PauliString>)},
    {Py_tp_str, reinterpret_cast<void*>(&str)},
    {Py_tp_repr, reinterpret_cast<void*>(&repr)},
    {Py_tp_methods, methods},
    {Py_tp_getset, getset},
    {Py_tp_doc, const_cast<char*>("")},
    {0, nullptr},
};

}  // namespace

PyType_Spec pauli_string_spec = {
    "kelvra.PauliString", sizeof(PyPauliString), 0, Py_TPFLAGS_DEFAULT, slots,
};

}  // namespace kelvra::python
