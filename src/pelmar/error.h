#pragma once
/// Errors of the CH-form library: a closed list of kinds, each a small value with the offending
/// fields and one fixed message. Broken internal invariants are not errors but `InternalFault`s.

#include <cstddef>
#include <cstdint>
#include <expected>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

enum class ErrorKind : std::uint8_t {
  QubitIndexOutOfBounds = 0,     // index, count
  InvalidNumQubits = 1,          // count
  DuplicateQubitIndices = 2,     // index
  ImpossibleProjection = 3,      // index (qubit_index), desired
  QubitCountMismatch = 4,        // operation, left, right
  InvalidPermutationLength = 5,  // length, count
  InvalidPermutation = 6,        // list
  InvalidQubitStateLength = 7,   // length, count
  CannotDiscardQubit = 8,        // index
  QasmParsingError = 9,          // text
  PauliStringParsingError = 10,  // text
  Io = 11,                       // text: the operating system's own description
};

struct Error {
  ErrorKind kind{};
  std::size_t index = 0;
  std::size_t count = 0;
  std::size_t length = 0;
  std::size_t left = 0;
  std::size_t right = 0;
  bool desired = false;
  std::string_view operation;  // a static text naming the operation
  std::string text;
  std::vector<std::size_t> list;

  static Error qubit_index_out_of_bounds(std::size_t index, std::size_t count);
  static Error invalid_num_qubits(std::size_t count);
  static Error duplicate_qubit_indices(std::size_t index);
  static Error impossible_projection(std::size_t qubit_index, bool desired);
  static Error qubit_count_mismatch(std::string_view operation, std::size_t left, std::size_t right);
  static Error invalid_permutation_length(std::size_t length, std::size_t count);
  static Error invalid_permutation(std::vector<std::size_t> list);
  static Error invalid_qubit_state_length(std::size_t length, std::size_t count);
  static Error cannot_discard_qubit(std::size_t index);
  static Error qasm_parsing_error(std::string text);
  static Error pauli_string_parsing_error(std::string text);
  static Error io(std::string os_text);

  /// The user-facing text of the kind.
  std::string message() const;
  /// Kind name and fields, for diagnostics only.
  std::string debug() const;

  bool operator==(const Error&) const = default;
};

template <class T>
using Result = std::expected<T, Error>;
using Status = std::expected<void, Error>;

/// A broken internal invariant (a singular G, an impossible superposition, ...). Never produced by
/// the library's own operations on valid forms; thrown instead of returning a wrong state.
class InternalFault : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace pelmar
