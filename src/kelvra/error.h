#pragma once
/// Errors of the engine: 18 kinds with fixed messages. `ChForm` wraps a CH-form library error and
/// `Compile` a compiler error, both without changing their text.

#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pelmar/chacha_rng.h"
#include "pelmar/error.h"

namespace kelvra {

/// Errors of the circuit compiler.
struct CompileError {
  enum class Kind : std::uint8_t { ChForm, GateNotSupported };
  Kind kind{};
  pelmar::Error ch_form;  // Kind::ChForm
  std::string gate_name;  // Kind::GateNotSupported

  static CompileError from_ch_form(pelmar::Error e);
  static CompileError gate_not_supported(std::string gate_name);
  std::string message() const;
  std::string debug() const;
  bool operator==(const CompileError&) const = default;
};

enum class ErrorKind : std::uint8_t {
  QubitIndexOutOfBounds = 0,       // index, count
  InvalidNumQubits = 1,            // count
  GateNotClifford = 2,             // text (gate short name)
  StatevectorTooLarge = 3,         // count
  NonCliffordGateApplication = 4,  // text (gate short name)
  QubitCountMismatch = 5,          // operation, left, right
  MeasurementTooManyQubits = 6,
  SamplingTooManyQubits = 7,
  ImpossibleProjection = 8,     // index (qubit_index), desired
  DuplicateQubitIndex = 9,      // index
  InvalidPauliStringLength = 10,  // expected, found
  EmptyQubitIndices = 11,
  QasmParsingError = 12,  // text
  Io = 13,                // text (the operating system's description)
  Compile = 14,           // compile
  Binomial = 15,          // binomial
  ChForm = 16,            // ch_form
  NotImplemented = 17,    // text
};

struct Error {
  ErrorKind kind{};
  std::size_t index = 0;
  std::size_t count = 0;
  std::string_view operation;  // a static text naming the operation
  std::size_t left = 0;
  std::size_t right = 0;
  bool desired = false;
  std::size_t expected = 0;
  std::size_t found = 0;
  std::string text;
  pelmar::Error ch_form;
  CompileError compile;
  pelmar::BinomialError binomial{};

  static Error qubit_index_out_of_bounds(std::size_t index, std::size_t count);
  static Error invalid_num_qubits(std::size_t count);
  static Error gate_not_clifford(std::string gate_name);
  static Error statevector_too_large(std::size_t count);
  static Error non_clifford_gate_application(std::string gate_name);
  static Error qubit_count_mismatch(std::string_view operation, std::size_t left, std::size_t right);
  static Error measurement_too_many_qubits();
  static Error sampling_too_many_qubits();
  static Error impossible_projection(std::size_t qubit_index, bool desired);
  static Error duplicate_qubit_index(std::size_t index);
  static Error invalid_pauli_string_length(std::size_t expected, std::size_t found);
  static Error empty_qubit_indices();
  static Error qasm_parsing_error(std::string description);
  static Error io(std::string os_text);
  /// `io` with the text of errno value `err`.
  static Error io_errno(int err);
  static Error from_compile(CompileError e);
  static Error from_binomial(pelmar::BinomialError e);
  static Error from_ch_form(pelmar::Error e);
  static Error not_implemented(std::string description);

  std::string message() const;
  std::string debug() const;
  bool operator==(const Error&) const = default;
};

template <class T>
using Result = std::expected<T, Error>;
using Status = std::expected<void, Error>;

/// Passes a CH-form result up as the engine's `ChForm` kind.
template <class T>
Result<T> wrap(pelmar::Result<T>&& r) {
  if (!r) return std::unexpected(Error::from_ch_form(std::move(r.error())));
  if constexpr (std::is_void_v<T>) {
    return {};
  } else {
    return std::move(*r);
  }
}

}  // namespace kelvra
