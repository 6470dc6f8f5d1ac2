#pragma once
/// The shared frame of every Python entry point: binding a call's positional tuple and keyword
/// dictionary to named parameters, one converter per parameter kind, the seed rule, the use
/// counter that guards an object against being changed while it is read, and the one wrapper that
/// keeps C++ exceptions from reaching the interpreter.
///
/// Every function here that returns `false` or `nullptr` has set a Python exception.

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/error.h"
#include "pelmar/clifford_circuit.h"

namespace kelvra::python {

// ---------------------------------------------------------------------------------------------
// Owned references.

/// One strong reference, released on every path.
class Ref {
 public:
  Ref() = default;
  /// Takes ownership of a new reference (may be null).
  static Ref steal(PyObject* o) { return Ref(o); }
  /// Adds a reference to a borrowed object (may be null).
  static Ref borrow(PyObject* o) {
    Py_XINCREF(o);
    return Ref(o);
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Ref& operator=(Ref&& o) noexcept {
    if (this != &o) {
      Py_XDECREF(p_);
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  ~Ref() { Py_XDECREF(p_); }

  PyObject* get() const { return p_; }
  /// Hands the reference to the caller.
  PyObject* release() { return std::exchange(p_, nullptr); }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  explicit Ref(PyObject* p) : p_(p) {}
  PyObject* p_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Binding.

/// The parameters of one callable. `full` is the name used in binding errors, e.g.
/// "QuantumState.measure()"; the first `required` names are required, the rest default to None.
struct Signature {
  const char* full;
  std::span<const char* const> names;
  std::size_t required;
};

/// The bound arguments of one call, as strong references; a parameter that was not given is null.
class Bound {
 public:
  static constexpr std::size_t kMax = 4;
  PyObject* operator[](std::size_t i) const { return slot_[i].get(); }

 private:
  friend bool bind(PyObject* args, PyObject* kwargs, const Signature& sig, Bound& out);
  std::array<Ref, kMax> slot_;
};

/// Binds `args` (a tuple, may be null) and `kwargs` (a dict, may be null) to `sig`. Every parameter
/// may be given by position or by keyword. Raises the TypeError of the first binding failure:
/// too many positional arguments, an unknown keyword, a parameter given twice, missing parameters.
bool bind(PyObject* args, PyObject* kwargs, const Signature& sig, Bound& out);

// ---------------------------------------------------------------------------------------------
// Conversion. A converter's TypeError is prefixed "argument 'NAME': "; other errors (OverflowError,
// UnicodeEncodeError, errors raised by the object's own methods) pass unchanged.

/// `__qualname__` of the type of `o` (for messages); "object" should the lookup fail.
std::string type_qualname(PyObject* o);

/// Raises TypeError "argument 'NAME': " + message.
void raise_argument_type_error(const char* name, std::string_view message);
/// Raises TypeError "argument 'NAME': 'TYPE' object cannot be converted to 'TARGET'".
void raise_cannot_convert(const char* name, PyObject* o, std::string_view target);

/// An int, an int subclass (bool included) or an object with `__index__`, in 0 … 2^64 − 1.
std::optional<std::size_t> to_index(PyObject* o, const char* name);
/// A sequence other than str; every item an index, in order.
std::optional<std::vector<std::size_t>> to_index_list(PyObject* o, const char* name);
/// A sequence other than str; every item a QuantumGate, copied.
std::optional<std::vector<kelvra::QuantumGate>> to_gate_list(PyObject* o, const char* name);
/// A str (or subclass) as UTF-8.
std::optional<std::string> to_text(PyObject* o, const char* name);
/// Exactly True or False, or a numpy boolean scalar through its `__bool__`.
std::optional<bool> to_bool(PyObject* o, const char* name);
/// `o` itself when its type is `type` (borrowed), else the "cannot be converted" TypeError naming
/// the class (the type's name after its last full stop).
PyObject* to_object(PyObject* o, PyTypeObject* type, const char* name);

/// The seed rule: None (or absent) is no seed; an index is its 8 little-endian bytes followed by
/// 24 zero bytes; any other exact int is `seed.to_bytes(32, "little")` (its OverflowError passes
/// unchanged); bytes of length 32 are taken as they are. Raises ValueError
/// "Seed must be 32 bytes, got N" for other lengths and TypeError
/// "Seed must be an integer or 32 bytes" for every other type, without an argument prefix.
bool parse_py_seed(PyObject* o, std::optional<pelmar::Seed>& out);

// ---------------------------------------------------------------------------------------------
// Use counter and guard.

/// Current uses of one object: n > 0 readers, or −1 for one writer.
struct UseCounter {
  std::int64_t uses = 0;
};

/// Shared or exclusive use of one object for the length of a call. Taking it fails with
/// RuntimeError when the object is in a conflicting use: shared while exclusive, exclusive while
/// in any use. Released by the destructor, on every path.
class UseGuard {
 public:
  UseGuard() = default;
  UseGuard(const UseGuard&) = delete;
  UseGuard& operator=(const UseGuard&) = delete;
  UseGuard(UseGuard&& o) noexcept
      : owner_(std::move(o.owner_)), counter_(std::exchange(o.counter_, nullptr)), exclusive_(o.exclusive_) {}
  UseGuard& operator=(UseGuard&&) = delete;
  ~UseGuard() { release(); }

  /// Takes the use of `owner`, whose counter is `counter`. False (RuntimeError set) on conflict.
  bool take(PyObject* owner, UseCounter& counter, bool exclusive);
  void release();

 private:
  Ref owner_;
  UseCounter* counter_ = nullptr;
  bool exclusive_ = false;
};

// ---------------------------------------------------------------------------------------------
// Errors and the entry-point wrapper.

/// Raises `type` with `message` (UTF-8; invalid bytes replaced) as the only argument.
void raise_message(PyObject* type, std::string_view message);
/// Raises `type` with `prefix` + the engine error's message.
void raise_error(PyObject* type, const kelvra::Error& e, std::string_view prefix = {});

/// What a call was doing, for the MemoryError raised when the engine runs out of memory. The text
/// is a printf format with up to two %zu fields, rendered only when needed.
struct MemoryNote {
  const char* format = nullptr;
  std::size_t a = 0;
  std::size_t b = 0;
  std::string_view callable;

  void set(const char* f, std::size_t x = 0, std::size_t y = 0) {
    format = f;
    a = x;
    b = y;
  }
};

/// Turns the current C++ exception into a Python exception: std::bad_alloc becomes MemoryError
/// naming what was too large, every other exception RuntimeError with its text.
void raise_current_exception(const MemoryNote& note) noexcept;

/// Runs one entry point; no C++ exception leaves it. `body(note)` returns the result or null
/// with a Python exception set.
template <class Body>
PyObject* entry(std::string_view callable, Body&& body) noexcept {
  MemoryNote note;
  note.callable = callable;
  try {
    return body(note);
  } catch (...) {
    raise_current_exception(note);
    return nullptr;
  }
}

/// Same for slots that return an int status (-1 on failure).
template <class Body>
int entry_status(std::string_view callable, Body&& body) noexcept {
  MemoryNote note;
  note.callable = callable;
  try {
    return body(note);
  } catch (...) {
    raise_current_exception(note);
    return -1;
  }
}

// ---------------------------------------------------------------------------------------------
// Results.

PyObject* py_bool(bool b);
PyObject* py_index(std::size_t v);
PyObject* py_text(std::string_view s);
/// A new list of bool.
PyObject* py_bool_list(const std::vector<bool>& v);
/// A new list of int.
PyObject* py_index_list(const std::vector<std::size_t>& v);

/// The "No constructor defined" tp_new of the classes without a constructor.
PyObject* no_constructor(PyTypeObject*, PyObject*, PyObject*);

}  // namespace kelvra::python
