#include "pelmar/error.h"

#include <utility>

namespace pelmar {

namespace {
Error make(ErrorKind kind) {
  Error e;
  e.kind = kind;
  return e;
}
std::string num(std::size_t v) { return std::to_string(v); }
}  // namespace

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
Error Error::duplicate_qubit_indices(std::size_t index) {
  Error e = make(ErrorKind::DuplicateQubitIndices);
  e.index = index;
  return e;
}
Error Error::impossible_projection(std::size_t qubit_index, bool desired) {
  Error e = make(ErrorKind::ImpossibleProjection);
  e.index = qubit_index;
  e.desired = desired;
  return e;
}
Error Error::qubit_count_mismatch(std::string_view operation, std::size_t left, std::size_t right) {
  Error e = make(ErrorKind::QubitCountMismatch);
  e.operation = operation;
  e.left = left;
  e.right = right;
  return e;
}
Error Error::invalid_permutation_length(std::size_t length, std::size_t count) {
  Error e = make(ErrorKind::InvalidPermutationLength);
  e.length = length;
  e.count = count;
  return e;
}
Error Error::invalid_permutation(std::vector<std::size_t> list) {
  Error e = make(ErrorKind::InvalidPermutation);
  e.list = std::move(list);
  return e;
}
Error Error::invalid_qubit_state_length(std::size_t length, std::size_t count) {
  Error e = make(ErrorKind::InvalidQubitStateLength);
  e.length = length;
  e.count = count;
  return e;
}
Error Error::cannot_discard_qubit(std::size_t index) {
  Error e = make(ErrorKind::CannotDiscardQubit);
  e.index = index;
  return e;
}
Error Error::qasm_parsing_error(std::string text) {
  Error e = make(ErrorKind::QasmParsingError);
  e.text = std::move(text);
  return e;
}
Error Error::pauli_string_parsing_error(std::string text) {
  Error e = make(ErrorKind::PauliStringParsingError);
  e.text = std::move(text);
  return e;
}
Error Error::io(std::string os_text) {
  Error e = make(ErrorKind::Io);
  e.text = std::move(os_text);
  return e;
}

std::string Error::message() const {
  switch (kind) {
    case ErrorKind::QubitIndexOutOfBounds:
      return "Qubit index " + num(index) + " is out of bounds for " + num(count) + " qubits.";
    case ErrorKind::InvalidNumQubits:
      return "Number of qubits must be greater than zero, got " + num(count) + ".";
    case ErrorKind::DuplicateQubitIndices:
      return "Two-qubit gate requires two different qubit indices, but got the same: " + num(index) + ".";
    case ErrorKind::ImpossibleProjection:
      // No space after "onto": the library's historical text.
      return "Impossible projection on qubit " + num(index) + ": cannot project determined state |" +
             (desired ? "0" : "1") + "> onto|" + (desired ? "1" : "0") + ">.";
    case ErrorKind::QubitCountMismatch:
      return std::string("The qubit counts of the two states must match for ") + std::string(operation) + ", got " +
             num(left) + " and " + num(right) + ".";
    case ErrorKind::InvalidPermutationLength:
      return "The length of the permutation (" + num(length) + ") must match the number of qubits (" +
             num(count) + ").";
    case ErrorKind::InvalidPermutation: {
      std::string s = "The provided permutation [";
      for (std::size_t i = 0; i < list.size(); ++i) s += (i ? ", " : "") + num(list[i]);
      return s + "] is not a valid permutation of qubit indices.";
    }
    case ErrorKind::InvalidQubitStateLength:
      return "The length of the qubit state (" + num(length) + ") does not match the number of qubits (" +
             num(count) + ").";
    case ErrorKind::CannotDiscardQubit:
      return "Cannot discard qubit " + num(index) + " because it is not in a proper state";
    case ErrorKind::QasmParsingError:
      return "QASM parsing error: " + text;
    case ErrorKind::PauliStringParsingError:
      return "Pauli string parsing error: " + text;
    case ErrorKind::Io:
      return "IO error: " + text;
  }
  return "unknown error";
}

std::string Error::debug() const {
  switch (kind) {
    case ErrorKind::QubitIndexOutOfBounds:
      return "QubitIndexOutOfBounds(" + num(index) + ", " + num(count) + ")";
    case ErrorKind::InvalidNumQubits:
      return "InvalidNumQubits(" + num(count) + ")";
    case ErrorKind::DuplicateQubitIndices:
      return "DuplicateQubitIndices(" + num(index) + ")";
    case ErrorKind::ImpossibleProjection:
      return "ImpossibleProjection { qubit_index: " + num(index) + ", desired: " + (desired ? "true" : "false") +
             " }";
    case ErrorKind::QubitCountMismatch:
      return std::string("QubitCountMismatch { operation: \"") + std::string(operation) + "\", left: " + num(left) +
             ", right: " + num(right) + " }";
    case ErrorKind::InvalidPermutationLength:
      return "InvalidPermutationLength(" + num(length) + ", " + num(count) + ")";
    case ErrorKind::InvalidPermutation: {
      std::string s = "InvalidPermutation([";
      for (std::size_t i = 0; i < list.size(); ++i) s += (i ? ", " : "") + num(list[i]);
      return s + "])";
    }
    case ErrorKind::InvalidQubitStateLength:
      return "InvalidQubitStateLength(" + num(length) + ", " + num(count) + ")";
    case ErrorKind::CannotDiscardQubit:
      return "CannotDiscardQubit(" + num(index) + ")";
    case ErrorKind::QasmParsingError:
      return "QasmParsingError(\"" + text + "\")";
    case ErrorKind::PauliStringParsingError:
      return "PauliStringParsingError(\"" + text + "\")";
    case ErrorKind::Io:
      return "Io(\"" + text + "\")";
  }
  return "Unknown";
}

}  // namespace pelmar
