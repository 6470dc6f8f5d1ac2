#include "pelmar/error.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pelmar::Error;

struct MessageCase {
  const char* name;
  Error error;
  const char* message;
};

class ErrorMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ErrorMessages, RenderTheFixedText) { EXPECT_EQ(GetParam().error.message(), GetParam().message); }

INSTANTIATE_TEST_SUITE_P(
    AllKinds, ErrorMessages,
    ::testing::Values(
        MessageCase{"QubitIndexOutOfBounds", Error::qubit_index_out_of_bounds(5, 3),
                    "Qubit index 5 is out of bounds for 3 qubits."},
        MessageCase{"InvalidNumQubits", Error::invalid_num_qubits(0),
                    "Number of qubits must be greater than zero, got 0."},
        MessageCase{"DuplicateQubitIndices", Error::duplicate_qubit_indices(1),
                    "Two-qubit gate requires two different qubit indices, but got the same: 1."},
        // No space after "onto"; the first digit is the complement of the one asked for.
        MessageCase{"ImpossibleProjectionOntoOne", Error::impossible_projection(2, true),
                    "Impossible projection on qubit 2: cannot project determined state |0> onto|1>."},
        MessageCase{"ImpossibleProjectionOntoZero", Error::impossible_projection(3, false),
                    "Impossible projection on qubit 3: cannot project determined state |1> onto|0>."},
        MessageCase{"QubitCountMismatch", Error::qubit_count_mismatch("calculating inner product", 2, 3),
                    "The qubit counts of the two states must match for calculating inner product, got 2 and 3."},
        MessageCase{"InvalidPermutationLength", Error::invalid_permutation_length(4, 3),
                    "The length of the permutation (4) must match the number of qubits (3)."},
        MessageCase{"InvalidPermutation", Error::invalid_permutation({0, 2, 2}),
                    "The provided permutation [0, 2, 2] is not a valid permutation of qubit indices."},
        MessageCase{"InvalidPermutationEmpty", Error::invalid_permutation({}),
                    "The provided permutation [] is not a valid permutation of qubit indices."},
        MessageCase{"InvalidQubitStateLength", Error::invalid_qubit_state_length(2, 3),
                    "The length of the qubit state (2) does not match the number of qubits (3)."},
        // No final full stop.
        MessageCase{"CannotDiscardQubit", Error::cannot_discard_qubit(0),
                    "Cannot discard qubit 0 because it is not in a proper state"},
        MessageCase{"QasmParsingError", Error::qasm_parsing_error("bad line"), "QASM parsing error: bad line"},
        MessageCase{"PauliStringParsingError", Error::pauli_string_parsing_error("bad term"),
                    "Pauli string parsing error: bad term"},
        MessageCase{"Io", Error::io("No such file or directory (os error 2)"),
                    "IO error: No such file or directory (os error 2)"},
        MessageCase{"LargeNumbersInPlainDecimal", Error::qubit_index_out_of_bounds(18446744073709551615u, 1000000),
                    "Qubit index 18446744073709551615 is out of bounds for 1000000 qubits."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorDebug, NamesTheKindAndTheNamedFields) {
  EXPECT_EQ(Error::qubit_index_out_of_bounds(5, 3).debug(), "QubitIndexOutOfBounds(5, 3)");
  EXPECT_EQ(Error::impossible_projection(2, true).debug(), "ImpossibleProjection { qubit_index: 2, desired: true }");
  EXPECT_EQ(Error::qubit_count_mismatch("calculating inner product", 2, 3).debug(),
            "QubitCountMismatch { operation: \"calculating inner product\", left: 2, right: 3 }");
}

TEST(ErrorEquality, ComparesKindAndFields) {
  EXPECT_EQ(Error::qubit_index_out_of_bounds(5, 3), Error::qubit_index_out_of_bounds(5, 3));
  EXPECT_NE(Error::qubit_index_out_of_bounds(5, 3), Error::qubit_index_out_of_bounds(5, 4));
  EXPECT_NE(Error::duplicate_qubit_indices(1), Error::cannot_discard_qubit(1));
}

}  // namespace
