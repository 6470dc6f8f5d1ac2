#include "kelvra/error.h"

#include <system_error>
#include <utility>

namespace kelvra {

namespace {

Error make(ErrorKind kind) {
  Error e;
  e.kind = kind;
  return e;
}

std::string num(std::size_t v) { return std::to_string(v); }

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

const char* binomial_message(pelmar::BinomialError b) {
  switch (b) {
    case pelmar::BinomialError::ProbabilityBelowZeroOrNaN:
      return "p < 0 or is NaN in binomial distribution";
    case pelmar::BinomialError::ProbabilityAboveOne:
      return "p > 1 in binomial distribution";
  }
  return "invalid probability in binomial distribution";
}

const char* binomial_debug(pelmar::BinomialError b) {
  switch (b) {
    case pelmar::BinomialError::ProbabilityBelowZeroOrNaN:
      return "ProbabilityBelowZeroOrNaN";
    case pelmar::BinomialError::ProbabilityAboveOne:
      return "ProbabilityAboveOne";
  }
  return "Unknown";
}

}  // namespace

// ---- CompileError.

CompileError CompileError::from_ch_form(pelmar::Error e) {
  CompileError c;
  c.kind = Kind::ChForm;
  c.ch_form = std::move(e);
  return c;
}

CompileError CompileError::gate_not_supported(std::string gate_name) {
  CompileError c;
  c.kind = Kind::GateNotSupported;
  c.gate_name = std::move(gate_name);
  return c;
}

std::string CompileError::message() const {
  switch (kind) {
    case Kind::ChForm:
      return ch_form.message();
    case Kind::GateNotSupported:
      return "Gate " + gate_name + " is not supported.";
  }
  return "unknown compile error";
}

std::string CompileError::debug() const {
  switch (kind) {
    case Kind::ChForm:
      return "ChForm(" + ch_form.debug() + ")";
    case Kind::GateNotSupported:
      return "GateNotSupported(" + quoted(gate_name) + ")";
  }
  return "Unknown";
}

// ---- Error constructors.

Error Error::qubit_index_out_of_bounds(std::size_t index, std::size_t count) {
  Error e = make(ErrorKind::QubitIndexOutOfBounds);
  e.index = index;
  e.count = count;
  return e;
}
Error Error::invalid_num_qubits(std::size_t count) {
  Error e = make(ErrorKind::InvalidNumQubits);
  e.count = count;
  return e;
}
Error Error::gate_not_clifford(std::string gate_name) {
  Error e = make(ErrorKind::GateNotClifford);
  e.text = std::move(gate_name);
  return e;
}
Error Error::statevector_too_large(std::size_t count) {
  Error e = make(ErrorKind::StatevectorTooLarge);
  e.count = count;
  return e;
}
Error Error::non_clifford_gate_application(std::string gate_name) {
  Error e = make(ErrorKind::NonCliffordGateApplication);
  e.text = std::move(gate_name);
  return e;
}
Error Error::qubit_count_mismatch(std::string_view operation, std::size_t left, std::size_t right) {
  Error e = make(ErrorKind::QubitCountMismatch);
  e.operation = operation;
  e.left = left;
  e.right = right;
  return e;
}
Error Error::measurement_too_many_qubits() { return make(ErrorKind::MeasurementTooManyQubits); }
Error Error::sampling_too_many_qubits() { return make(ErrorKind::SamplingTooManyQubits); }
Error Error::impossible_projection(std::size_t qubit_index, bool desired) {
  Error e = make(ErrorKind::ImpossibleProjection);
  e.index = qubit_index;
  e.desired = desired;
  return e;
}
Error Error::duplicate_qubit_index(std::size_t index) {
  Error e = make(ErrorKind::DuplicateQubitIndex);
  e.index = index;
  return e;
}
Error Error::invalid_pauli_string_length(std::size_t expected, std::size_t found) {
  Error e = make(ErrorKind::InvalidPauliStringLength);
  e.expected = expected;
  e.found = found;
  return e;
}
Error Error::empty_qubit_indices() { return make(ErrorKind::EmptyQubitIndices); }
Error Error::qasm_parsing_error(std::string description) {
  Error e = make(ErrorKind::QasmParsingError);
  e.text = std::move(description);
  return e;
}
Error Error::io(std::string os_text) {
  Error e = make(ErrorKind::Io);
  e.text = std::move(os_text);
  return e;
}
Error Error::io_errno(int err) { return io(std::system_category().message(err)); }
Error Error::from_compile(CompileError c) {
  Error e = make(ErrorKind::Compile);
  e.compile = std::move(c);
  return e;
}
Error Error::from_binomial(pelmar::BinomialError b) {
  Error e = make(ErrorKind::Binomial);
  e.binomial = b;
  return e;
}
Error Error::from_ch_form(pelmar::Error c) {
  Error e = make(ErrorKind::ChForm);
  e.ch_form = std::move(c);
  return e;
}
Error Error::not_implemented(std::string description) {
  Error e = make(ErrorKind::NotImplemented);
  e.text = std::move(description);
  return e;
}

// ---- Rendering.

std::string Error::message() const {
  switch (kind) {
    // The kinds the engine shares with the CH-form library render through the library's text.
    case ErrorKind::QubitIndexOutOfBounds:
      return pelmar::Error::qubit_index_out_of_bounds(index, count).message();
    case ErrorKind::InvalidNumQubits:
      return pelmar::Error::invalid_num_qubits(count).message();
    case ErrorKind::GateNotClifford:
      return "Attempted to convert a non-Clifford gate to a Clifford gate: " + text;
    case ErrorKind::StatevectorTooLarge:
      return "Calculating the statevector for a state with " + num(count) + " qubits is not feasible.";
    case ErrorKind::NonCliffordGateApplication:
      return "Direct application of non-Clifford gate " + text + " is not supported.";
    case ErrorKind::QubitCountMismatch:
      return pelmar::Error::qubit_count_mismatch(operation, left, right).message();
    case ErrorKind::MeasurementTooManyQubits:
      // The misspelling is part of the fixed text.
      return "Measurements of more than 128 qubits are not supoprted.";
    case ErrorKind::SamplingTooManyQubits:
      return "Sampling more than 128 qubits is not supported.";
    case ErrorKind::ImpossibleProjection:
      return "Impossible projection on qubit " + num(index) + ": cannot project determined state |" +
             (desired ? "0" : "1") + "> onto |" + (desired ? "1" : "0") + ">.";
    case ErrorKind::DuplicateQubitIndex:
      return "Duplicate qubit index found: " + num(index) + ".";
    case ErrorKind::InvalidPauliStringLength:
      return "Invalid Pauli string length: expected " + num(expected) + ", found " + num(found) + ".";
    case ErrorKind::EmptyQubitIndices:
      return "Qubit index list is empty.";
    case ErrorKind::QasmParsingError:
      return "QASM parsing error: " + text;
    case ErrorKind::Io:
      return "IO error: " + text;
    case ErrorKind::Compile:
      return compile.message();
    case ErrorKind::Binomial:
      return binomial_message(binomial);
    case ErrorKind::ChForm:
      return ch_form.message();
    case ErrorKind::NotImplemented:
      return "Not implemented: " + text;
  }
  return "unknown error";
}

std::string Error::debug() const {
  switch (kind) {
    case ErrorKind::QubitIndexOutOfBounds:
      return "QubitIndexOutOfBounds(" + num(index) + ", " + num(count) + ")";
    case ErrorKind::InvalidNumQubits:
      return "InvalidNumQubits(" + num(count) + ")";
    case ErrorKind::GateNotClifford:
      return "GateNotClifford(" + quoted(text) + ")";
    case ErrorKind::StatevectorTooLarge:
      return "StatevectorTooLarge(" + num(count) + ")";
    case ErrorKind::NonCliffordGateApplication:
      return "NonCliffordGateApplication(" + quoted(text) + ")";
    case ErrorKind::QubitCountMismatch:
      return std::string("QubitCountMismatch { operation: \"") + std::string(operation) + "\", left: " + num(left) +
             ", right: " + num(right) + " }";
    case ErrorKind::MeasurementTooManyQubits:
      return "MeasurementTooManyQubits";
    case ErrorKind::SamplingTooManyQubits:
      return "SamplingTooManyQubits";
    case ErrorKind::ImpossibleProjection:
      return "ImpossibleProjection { qubit_index: " + num(index) + ", desired: " + (desired ? "true" : "false") +
             " }";
    case ErrorKind::DuplicateQubitIndex:
      return "DuplicateQubitIndex(" + num(index) + ")";
    case ErrorKind::InvalidPauliStringLength:
      return "InvalidPauliStringLength { expected: " + num(expected) + ", found: " + num(found) + " }";
    case ErrorKind::EmptyQubitIndices:
      return "EmptyQubitIndices";
    case ErrorKind::QasmParsingError:
      return "QasmParsingError(" + quoted(text) + ")";
    case ErrorKind::Io:
      return "Io(" + quoted(text) + ")";
    case ErrorKind::Compile:
      return "Compile(" + compile.debug() + ")";
    case ErrorKind::Binomial:
      return std::string("Binomial(") + binomial_debug(binomial) + ")";
    case ErrorKind::ChForm:
      return "ChForm(" + ch_form.debug() + ")";
    case ErrorKind::NotImplemented:
      return "NotImplemented(" + quoted(text) + ")";
  }
  return "Unknown";
}

}  // namespace kelvra
