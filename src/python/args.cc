#include "python/args.h"

#include <cstring>

#include "python/wrappers.h"

namespace kelvra::python {

namespace {

/// "'a'", "'a' and 'b'", "'a', 'b', and 'c'".
std::string quoted_list(const std::vector<const char*>& names) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) {
      if (i + 1 == names.size()) {
        out += names.size() > 2 ? ", and " : " and ";
      } else {
        out += ", ";
      }
    }
    out += '\'';
    out += names[i];
    out += '\'';
  }
  return out;
}

/// Replaces a pending TypeError by TypeError "argument 'NAME': " + its text; leaves any other
/// pending exception as it is.
void prefix_type_error(const char* name) {
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return;
  PyObject *type = nullptr, *value = nullptr, *tb = nullptr;
  PyErr_Fetch(&type, &value, &tb);
  PyErr_NormalizeException(&type, &value, &tb);
  Ref t = Ref::steal(type), v = Ref::steal(value), b = Ref::steal(tb);
  Ref text = Ref::steal(v ? PyObject_Str(v.get()) : nullptr);
  if (!text) return;  // str() of the error failed; that failure stays pending
  PyErr_Format(PyExc_TypeError, "argument '%s': %U", name, text.get());
}

std::string class_name(PyTypeObject* type) {
  const char* full = type->tp_name;
  const char* dot = std::strrchr(full, '.');
  return dot ? dot + 1 : full;
}

bool is_numpy_bool(PyObject* o) {
  // numpy 1 names the scalar type "numpy.bool_", numpy 2 "numpy.bool".
  const char* name = Py_TYPE(o)->tp_name;
  return std::strcmp(name, "numpy.bool_") == 0 || std::strcmp(name, "numpy.bool") == 0;
}

/// Iterates a sequence argument (not a str), calling `item(obj)` for each element in order.
template <class Item>
bool for_each_item(PyObject* o, const char* name, Item&& item) {
  if (PyUnicode_Check(o)) {
    raise_argument_type_error(name, "'" + type_qualname(o) + "' object cannot be converted to a list");
    return false;
  }
  if (!PySequence_Check(o)) {
    raise_cannot_convert(name, o, "Sequence");
    return false;
  }
  Ref it = Ref::steal(PyObject_GetIter(o));
  if (!it) {
    prefix_type_error(name);
    return false;
  }
  for (;;) {
    Ref element = Ref::steal(PyIter_Next(it.get()));
    if (!element) {
      if (PyErr_Occurred()) {
        prefix_type_error(name);
        return false;
      }
      return true;
    }
    if (!item(element.get())) return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------

bool bind(PyObject* args, PyObject* kwargs, const Signature& sig, Bound& out) {
  const std::size_t total = sig.names.size();
  const Py_ssize_t given = args ? PyTuple_GET_SIZE(args) : 0;
  if (total > Bound::kMax) throw pelmar::InternalFault("signature with too many parameters");
  if (static_cast<std::size_t>(given) > total) {
    const char* verb = given == 1 ? "was" : "were";
    if (sig.required == total) {
      PyErr_Format(PyExc_TypeError, "%s takes %zu positional arguments but %zd %s given", sig.full, total, given,
                   verb);
    } else {
      PyErr_Format(PyExc_TypeError, "%s takes from %zu to %zu positional arguments but %zd %s given", sig.full,
                   sig.required, total, given, verb);
    }
    return false;
  }
  for (Py_ssize_t i = 0; i < given; ++i) out.slot_[i] = Ref::borrow(PyTuple_GET_ITEM(args, i));

  if (kwargs != nullptr) {
    Py_ssize_t pos = 0;
    PyObject *key = nullptr, *value = nullptr;
    while (PyDict_Next(kwargs, &pos, &key, &value)) {
      std::size_t index = total;
      if (PyUnicode_Check(key)) {
        for (std::size_t i = 0; i < total; ++i) {
          if (PyUnicode_CompareWithASCIIString(key, sig.names[i]) == 0) {
            index = i;
            break;
          }
        }
      }
      if (index == total) {
        PyErr_Format(PyExc_TypeError,
                     PyUnicode_Check(key) ? "%s got an unexpected keyword argument '%U'"
                                          : "%s got an unexpected keyword argument '%R'",
                     sig.full, key);
        return false;
      }
      if (out.slot_[index]) {
        PyErr_Format(PyExc_TypeError, "%s got multiple values for argument '%s'", sig.full, sig.names[index]);
        return false;
      }
      out.slot_[index] = Ref::borrow(value);
    }
  }

  std::vector<const char*> missing;
  for (std::size_t i = 0; i < sig.required; ++i) {
    if (!out.slot_[i]) missing.push_back(sig.names[i]);
  }
  if (!missing.empty()) {
    const std::string list = quoted_list(missing);
    PyErr_Format(PyExc_TypeError, "%s missing %zu required positional %s: %s", sig.full, missing.size(),
                 missing.size() == 1 ? "argument" : "arguments", list.c_str());
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

std::string type_qualname(PyObject* o) {
  Ref q = Ref::steal(PyType_GetQualName(Py_TYPE(o)));
  if (q) {
    Py_ssize_t n = 0;
    if (const char* s = PyUnicode_AsUTF8AndSize(q.get(), &n)) return std::string(s, static_cast<std::size_t>(n));
  }
  PyErr_Clear();
  return "object";
}

void raise_argument_type_error(const char* name, std::string_view message) {
  std::string text = "argument '";
  text += name;
  text += "': ";
  text += message;
  raise_message(PyExc_TypeError, text);
}

void raise_cannot_convert(const char* name, PyObject* o, std::string_view target) {
  std::string text = "'" + type_qualname(o) + "' object cannot be converted to '";
  text += target;
  text += '\'';
  raise_argument_type_error(name, text);
}

std::optional<std::size_t> to_index(PyObject* o, const char* name) {
  Ref index = Ref::steal(PyNumber_Index(o));
  if (!index) {
    prefix_type_error(name);
    return std::nullopt;
  }
  const unsigned long long v = PyLong_AsUnsignedLongLong(index.get());
  if (v == static_cast<unsigned long long>(-1) && PyErr_Occurred()) {
    prefix_type_error(name);
    return std::nullopt;
  }
  static_assert(sizeof(unsigned long long) == sizeof(std::size_t));
  return static_cast<std::size_t>(v);
}

std::optional<std::vector<std::size_t>> to_index_list(PyObject* o, const char* name) {
  std::vector<std::size_t> out;
  const bool ok = for_each_item(o, name, [&](PyObject* item) {
    auto v = to_index(item, name);
    if (!v) return false;
    out.push_back(*v);
    return true;
  });
  if (!ok) return std::nullopt;
  return out;
}

std::optional<std::vector<kelvra::QuantumGate>> to_gate_list(PyObject* o, const char* name) {
  std::vector<kelvra::QuantumGate> out;
  const bool ok = for_each_item(o, name, [&](PyObject* item) {
    if (Py_TYPE(item) != quantum_gate_type) {
      raise_cannot_convert(name, item, "QuantumGate");
      return false;
    }
    out.push_back(unwrap<kelvra::QuantumGate>(item)->value);
    return true;
  });
  if (!ok) return std::nullopt;
  return out;
}

std::optional<std::string> to_text(PyObject* o, const char* name) {
  if (!PyUnicode_Check(o)) {
    raise_cannot_convert(name, o, "str");
    return std::nullopt;
  }
  Py_ssize_t n = 0;
  const char* s = PyUnicode_AsUTF8AndSize(o, &n);
  if (s == nullptr) {
    prefix_type_error(name);
    return std::nullopt;
  }
  return std::string(s, static_cast<std::size_t>(n));
}

std::optional<bool> to_bool(PyObject* o, const char* name) {
  if (o == Py_True) return true;
  if (o == Py_False) return false;
  if (is_numpy_bool(o)) {
    const int truth = PyObject_IsTrue(o);
    if (truth < 0) {
      prefix_type_error(name);
      return std::nullopt;
    }
    return truth == 1;
  }
  raise_cannot_convert(name, o, "bool");
  return std::nullopt;
}

PyObject* to_object(PyObject* o, PyTypeObject* type, const char* name) {
  if (Py_TYPE(o) == type) return o;
  raise_cannot_convert(name, o, class_name(type));
  return nullptr;
}

bool parse_py_seed(PyObject* o, std::optional<pelmar::Seed>& out) {
  out.reset();
  if (o == nullptr || o == Py_None) return true;

  // An index: its value as 8 little-endian bytes, then zeros.
  {
    Ref index = Ref::steal(PyNumber_Index(o));
    if (index) {
      const unsigned long long v = PyLong_AsUnsignedLongLong(index.get());
      if (!(v == static_cast<unsigned long long>(-1) && PyErr_Occurred())) {
        pelmar::Seed seed{};
        for (std::size_t i = 0; i < 8; ++i) seed[i] = static_cast<std::uint8_t>(v >> (8 * i));
        out = seed;
        return true;
      }
    }
    PyErr_Clear();
  }

  // Any other int: its own 32-byte little-endian encoding (OverflowError below 0 or from 2^256).
  if (PyLong_CheckExact(o)) {
    Ref bytes = Ref::steal(PyObject_CallMethod(o, "to_bytes", "is", 32, "little"));
    if (!bytes) return false;
    if (!PyBytes_Check(bytes.get()) || PyBytes_GET_SIZE(bytes.get()) != 32) {
      PyErr_SetString(PyExc_RuntimeError, "int.to_bytes(32, 'little') did not return 32 bytes");
      return false;
    }
    pelmar::Seed seed{};
    std::memcpy(seed.data(), PyBytes_AS_STRING(bytes.get()), 32);
    out = seed;
    return true;
  }

  if (PyBytes_Check(o)) {
    const Py_ssize_t n = PyBytes_GET_SIZE(o);
    if (n != 32) {
      PyErr_Format(PyExc_ValueError, "Seed must be 32 bytes, got %zd", n);
      return false;
    }
    pelmar::Seed seed{};
    std::memcpy(seed.data(), PyBytes_AS_STRING(o), 32);
    out = seed;
    return true;
  }

  PyErr_SetString(PyExc_TypeError, "Seed must be an integer or 32 bytes");
  return false;
}

// ---------------------------------------------------------------------------------------------

bool UseGuard::take(PyObject* owner, UseCounter& counter, bool exclusive) {
  if (counter_ != nullptr) throw pelmar::InternalFault("use guard taken twice");
  if (exclusive ? counter.uses != 0 : counter.uses < 0) {
    const std::string type = class_name(Py_TYPE(owner));
    const std::string text = exclusive ? type + " object is already in use and cannot be changed by this call"
                                       : type + " object is already in use by a call that changes it";
    raise_message(PyExc_RuntimeError, text);
    return false;
  }
  counter.uses = exclusive ? -1 : counter.uses + 1;
  owner_ = Ref::borrow(owner);
  counter_ = &counter;
  exclusive_ = exclusive;
  return true;
}

void UseGuard::release() {
  if (counter_ == nullptr) return;
  counter_->uses = exclusive_ ? 0 : counter_->uses - 1;
  counter_ = nullptr;
  owner_ = Ref();
}

// ---------------------------------------------------------------------------------------------

void raise_message(PyObject* type, std::string_view message) {
  Ref text = Ref::steal(PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()), "replace"));
  if (!text) return;  // MemoryError is pending
  PyErr_SetObject(type, text.get());
}

void raise_error(PyObject* type, const kelvra::Error& e, std::string_view prefix) {
  std::string text(prefix);
  text += e.message();
  raise_message(type, text);
}

void raise_current_exception(const MemoryNote& note) noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    char text[320];
    if (note.format != nullptr) {
      std::snprintf(text, sizeof text, note.format, note.a, note.b);
    } else {
      std::snprintf(text, sizeof text, "not enough memory for %.*s", static_cast<int>(note.callable.size()),
                    note.callable.data());
    }
    PyErr_SetString(PyExc_MemoryError, text);
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  } catch (...) {
    PyErr_SetString(PyExc_RuntimeError, "unknown internal fault");
  }
}

// ---------------------------------------------------------------------------------------------

PyObject* py_bool(bool b) { return Py_NewRef(b ? Py_True : Py_False); }

PyObject* py_index(std::size_t v) { return PyLong_FromSize_t(v); }

PyObject* py_text(std::string_view s) {
  return PyUnicode_FromStringAndSize(s.data(), static_cast<Py_ssize_t>(s.size()));
}

PyObject* py_bool_list(const std::vector<bool>& v) {
  Ref list = Ref::steal(PyList_New(static_cast<Py_ssize_t>(v.size())));
  if (!list) return nullptr;
  for (std::size_t i = 0; i < v.size(); ++i) PyList_SET_ITEM(list.get(), i, py_bool(v[i]));
  return list.release();
}

PyObject* py_index_list(const std::vector<std::size_t>& v) {
  Ref list = Ref::steal(PyList_New(static_cast<Py_ssize_t>(v.size())));
  if (!list) return nullptr;
  for (std::size_t i = 0; i < v.size(); ++i) {
    PyObject* item = py_index(v[i]);
    if (item == nullptr) return nullptr;
    PyList_SET_ITEM(list.get(), i, item);
  }
  return list.release();
}

PyObject* no_constructor(PyTypeObject*, PyObject*, PyObject*) {
  PyErr_SetString(PyExc_TypeError, "No constructor defined");
  return nullptr;
}

}  // namespace kelvra::python
