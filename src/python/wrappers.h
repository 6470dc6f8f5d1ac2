#pragma once
/// The four Python object layouts. Each object owns one engine value and a use counter; values
/// never alias between objects: whatever crosses from one object to another is copied.

#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <structmember.h>

#include <new>
#include <utility>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/state/quantum_state.h"
#include "pelmar/pauli_string.h"
#include "python/args.h"

namespace kelvra::python {

/// The object layout: the interpreter's header, the use counter, the engine value. `value` is
/// constructed in place right after allocation and destroyed in `dealloc`.
template <class T>
struct Wrapper {
  PyObject_HEAD
  UseCounter use;
  T value;
};

using PyQuantumGate = Wrapper<kelvra::QuantumGate>;
using PyQuantumCircuit = Wrapper<kelvra::QuantumCircuit>;
using PyQuantumState = Wrapper<kelvra::QuantumState>;
using PyPauliString = Wrapper<pelmar::PauliString>;

/// The type objects, created once by the module initialisation (null before).
extern PyTypeObject* quantum_gate_type;
extern PyTypeObject* quantum_circuit_type;
extern PyTypeObject* quantum_state_type;
extern PyTypeObject* pauli_string_type;

/// The PyType_Spec records the type objects are created from.
extern PyType_Spec quantum_gate_spec;
extern PyType_Spec quantum_circuit_spec;
extern PyType_Spec quantum_state_spec;
extern PyType_Spec pauli_string_spec;

/// A member entry named `__module__` for the types with a bare name. Its presence in the new type's
/// dictionary keeps type creation from warning that the module is unknown; module initialisation
/// replaces the entry by the string "kelvra" before the type is used.
constexpr PyMemberDef module_placeholder() { return {"__module__", T_OBJECT, 0, READONLY, nullptr}; }

/// A keyword-taking C function as the PyCFunction of a method table entry.
template <auto F>
PyCFunction cfunction() {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(F));
}

template <class T>
Wrapper<T>* unwrap(PyObject* o) {
  return reinterpret_cast<Wrapper<T>*>(o);
}

/// A new object of `type` owning `value`; null with MemoryError set when allocation fails.
template <class T>
PyObject* wrap(PyTypeObject* type, T&& value) {
  using V = std::remove_cvref_t<T>;
  static_assert(std::is_nothrow_move_constructible_v<V>);
  V local(std::forward<T>(value));
  PyObject* o = type->tp_alloc(type, 0);
  if (o == nullptr) return nullptr;
  auto* w = unwrap<V>(o);
  w->use.uses = 0;
  new (&w->value) V(std::move(local));
  return o;
}

/// tp_dealloc of every wrapper: destroys the engine value, frees the object and drops the
/// reference that every instance of a heap type holds on its type.
template <class T>
void dealloc(PyObject* o) {
  PyTypeObject* type = Py_TYPE(o);
  unwrap<T>(o)->value.~T();
  type->tp_free(o);
  Py_DECREF(type);
}

/// Takes shared or exclusive use of a wrapper and returns its value; null (RuntimeError set) on a
/// conflict. The guard releases the use.
template <class T>
T* use(PyObject* o, UseGuard& guard, bool exclusive) {
  auto* w = unwrap<T>(o);
  if (!guard.take(o, w->use, exclusive)) return nullptr;
  return &w->value;
}

/// Converts an object argument of class `type` and takes shared use of it.
template <class T>
const T* use_argument(PyObject* o, PyTypeObject* type, const char* name, UseGuard& guard) {
  PyObject* obj = to_object(o, type, name);
  if (obj == nullptr) return nullptr;
  return use<T>(obj, guard, false);
}

}  // namespace kelvra::python
