// Initialisation of the module kelvra: one module object per process, created in the main
// interpreter and handed out again by every later initialisation there; the four classes are
// created once and registered in order in the module and its __all__.

#include <cstring>

#include "python/wrappers.h"

namespace kelvra::python {
namespace {

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT, "kelvra", "", 0, nullptr, nullptr, nullptr, nullptr, nullptr,
};

PyObject* the_module = nullptr;

/// Creates `type` from `spec` unless it exists, appends `name` to the module's __all__ (made on
/// first use) and sets the module attribute `name`.
bool add_class(PyObject* module, const char* name, PyType_Spec& spec, PyTypeObject*& type) {
  if (type == nullptr) {
    Ref made = Ref::steal(PyType_FromSpec(&spec));
    if (!made) return false;
    auto* t = reinterpret_cast<PyTypeObject*>(made.get());
    // A bare type name carries no module; the placeholder member kept creation quiet, and the
    // attribute becomes the module's name here.
    if (std::strchr(spec.name, '.') == nullptr) {
      Ref module_name = Ref::steal(PyUnicode_FromString("kelvra"));
      if (!module_name || PyDict_SetItemString(t->tp_dict, "__module__", module_name.get()) < 0) return false;
      PyType_Modified(t);
    }
    type = reinterpret_cast<PyTypeObject*>(made.release());
  }

  PyObject* dict = PyModule_GetDict(module);  // borrowed
  PyObject* all = PyDict_GetItemString(dict, "__all__");  // borrowed
  if (all == nullptr) {
    Ref list = Ref::steal(PyList_New(0));
    if (!list || PyDict_SetItemString(dict, "__all__", list.get()) < 0) return false;
    all = list.get();
  }
  Ref text = Ref::steal(PyUnicode_FromString(name));
  if (!text || PyList_Append(all, text.get()) < 0) return false;
  return PyModule_AddObjectRef(module, name, reinterpret_cast<PyObject*>(type)) == 0;
}

PyObject* init() {
  if (PyInterpreterState_Get() != PyInterpreterState_Main()) {
    PyErr_SetString(PyExc_ImportError, "kelvra cannot be imported in a sub-interpreter");
    return nullptr;
  }
  if (the_module != nullptr) return Py_NewRef(the_module);

  Ref module = Ref::steal(PyModule_Create(&module_def));
  if (!module) return nullptr;
  if (!add_class(module.get(), "QuantumGate", quantum_gate_spec, quantum_gate_type)) return nullptr;
  if (!add_class(module.get(), "QuantumCircuit", quantum_circuit_spec, quantum_circuit_type)) return nullptr;
  if (!add_class(module.get(), "QuantumState", quantum_state_spec, quantum_state_type)) return nullptr;
  if (!add_class(module.get(), "PauliString", pauli_string_spec, pauli_string_type)) return nullptr;
  the_module = Py_NewRef(module.get());  // kept for the life of the process
  return module.release();
}

}  // namespace
}  // namespace kelvra::python

PyMODINIT_FUNC PyInit_kelvra() {
  return kelvra::python::entry("kelvra", [](kelvra::python::MemoryNote&) { return kelvra::python::init(); });
}
