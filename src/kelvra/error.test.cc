#include "kelvra/error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace kelvra {
namespace {

struct MessageCase {
  const char* id;
  Error error;
  std::string message;
};

std::ostream& operator<<(std::ostream& os, const MessageCase& c) { return os << c.id; }

class ErrorMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ErrorMessage, RendersFixedText) {
  const MessageCase& c = GetParam();
  EXPECT_EQ(c.error.message(), c.message);
  // Rendering does not change the value.
  const Error copy = c.error;
  (void)copy.message();
  EXPECT_EQ(copy, c.error);
}

const MessageCase kMessages[] = {
    {"QubitIndexOutOfBounds", Error::qubit_index_out_of_bounds(5, 3), "Qubit index 5 is out of bounds for 3 qubits."},
    {"InvalidNumQubits", Error::invalid_num_qubits(0), "Number of qubits must be greater than zero, got 0."},
    {"GateNotClifford", Error::gate_not_clifford("Tdg"),
     "Attempted to convert a non-Clifford gate to a Clifford gate: Tdg"},
    {"StatevectorTooLarge", Error::statevector_too_large(29),
     "Calculating the statevector for a state with 29 qubits is not feasible."},
    {"NonCliffordGateApplication", Error::non_clifford_gate_application("CCX"),
     "Direct application of non-Clifford gate CCX is not supported."},
    {"QubitCountMismatch", Error::qubit_count_mismatch("inner product", 2, 3),
     "The qubit counts of the two states must match for inner product, got 2 and 3."},
    {"MeasurementTooManyQubits", Error::measurement_too_many_qubits(),
     "Measurements of more than 128 qubits are not supoprted."},
    {"SamplingTooManyQubits", Error::sampling_too_many_qubits(), "Sampling more than 128 qubits is not supported."},
    {"ImpossibleProjectionToOne", Error::impossible_projection(2, true),
     "Impossible projection on qubit 2: cannot project determined state |0> onto |1>."},
    {"ImpossibleProjectionToZero", Error::impossible_projection(2, false),
     "Impossible projection on qubit 2: cannot project determined state |1> onto |0>."},
    {"DuplicateQubitIndex", Error::duplicate_qubit_index(4), "Duplicate qubit index found: 4."},
    {"InvalidPauliStringLength", Error::invalid_pauli_string_length(3, 5),
     "Invalid Pauli string length: expected 3, found 5."},
    {"EmptyQubitIndices", Error::empty_qubit_indices(), "Qubit index list is empty."},
    {"QasmParsingError", Error::qasm_parsing_error("bad line"), "QASM parsing error: bad line"},
    {"Io", Error::io("Permission denied"), "IO error: Permission denied"},
    {"CompileGateNotSupported", Error::from_compile(CompileError::gate_not_supported("CCX")),
     "Gate CCX is not supported."},
    {"CompileChForm", Error::from_compile(CompileError::from_ch_form(pelmar::Error::qubit_index_out_of_bounds(2, 2))),
     "Qubit index 2 is out of bounds for 2 qubits."},
    {"BinomialBelowZero", Error::from_binomial(pelmar::BinomialError::ProbabilityBelowZeroOrNaN),
     "p < 0 or is NaN in binomial distribution"},
    {"BinomialAboveOne", Error::from_binomial(pelmar::BinomialError::ProbabilityAboveOne),
     "p > 1 in binomial distribution"},
    {"ChForm", Error::from_ch_form(pelmar::Error::duplicate_qubit_indices(1)),
     "Two-qubit gate requires two different qubit indices, but got the same: 1."},
    {"NotImplemented", Error::not_implemented("zero norm"), "Not implemented: zero norm"},
    {"LargeNumbers", Error::qubit_index_out_of_bounds(18446744073709551615ull, 0),
     "Qubit index 18446744073709551615 is out of bounds for 0 qubits."},
};

INSTANTIATE_TEST_SUITE_P(AllKinds, ErrorMessage, ::testing::ValuesIn(kMessages),
                         [](const auto& info) { return std::string(info.param.id); });

// Both wrapping kinds hand the wrapped text through untouched, for every library kind, including
// the library's own projection text without the space after "onto".
TEST(ErrorWrapping, AddsNothingToWrappedText) {
  const pelmar::Error inner[] = {
      pelmar::Error::qubit_index_out_of_bounds(7, 2), pelmar::Error::invalid_num_qubits(0),
      pelmar::Error::impossible_projection(3, false), pelmar::Error::cannot_discard_qubit(1),
      pelmar::Error::qubit_count_mismatch("calculating inner product", 2, 3),
      pelmar::Error::pauli_string_parsing_error("x"),
  };
  for (const auto& e : inner) {
    EXPECT_EQ(Error::from_ch_form(e).message(), e.message());
    EXPECT_EQ(CompileError::from_ch_form(e).message(), e.message());
    EXPECT_EQ(Error::from_compile(CompileError::from_ch_form(e)).message(), e.message());
  }
  EXPECT_EQ(Error::from_ch_form(pelmar::Error::impossible_projection(3, false)).message(),
            "Impossible projection on qubit 3: cannot project determined state |1> onto|0>.");
}

TEST(ErrorWrapping, WrapPassesValueOrWrapsError) {
  pelmar::Result<int> ok = 4;
  EXPECT_EQ(wrap(std::move(ok)).value(), 4);
  pelmar::Status bad = std::unexpected(pelmar::Error::invalid_num_qubits(0));
  Status wrapped = wrap(std::move(bad));
  ASSERT_FALSE(wrapped);
  EXPECT_EQ(wrapped.error().kind, ErrorKind::ChForm);
  EXPECT_EQ(wrapped.error().ch_form, pelmar::Error::invalid_num_qubits(0));
}

TEST(ErrorIo, RendersOperatingSystemText) {
  const Error e = Error::io_errno(ENOENT);
  EXPECT_EQ(e.kind, ErrorKind::Io);
  EXPECT_EQ(e.message(), "IO error: No such file or directory");
}

}  // namespace
}  // namespace kelvra
