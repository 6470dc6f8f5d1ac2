#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/qasm/qasm.h"

namespace kelvra::qasm {
namespace {

using G = QuantumGate;

/// Redirects file descriptor 2 into a pipe for the lifetime of the object.
class StderrCapture {
 public:
  StderrCapture() {
    if (::pipe(pipe_) != 0) throw std::runtime_error("pipe");
    saved_ = ::dup(2);
    ::dup2(pipe_[1], 2);
    ::close(pipe_[1]);
  }
  ~StderrCapture() { restore(); }
  /// Restores descriptor 2 and returns everything written to it meanwhile.
  std::string finish() {
    restore();
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(pipe_[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    return out;
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    ::dup2(saved_, 2);
    ::close(saved_);
    saved_ = -1;
  }
  int pipe_[2]{-1, -1};
  int saved_ = -1;
};

const std::string kHeader = "OPENQASM 2.0;\ninclude \"qelib1.inc\";\n";

// ---------------------------------------------------------------------------------------------
// Texts that read.

struct ReadCase {
  const char* id;
  std::string text;
  std::size_t num_qubits;
  std::vector<QuantumGate> gates;
};

const ReadCase kReadCases[] = {
    {"writer_dialect", kHeader + "qreg q[2];\nh q[0];\ncx q[0], q[1];", 2, {G::H(0), G::CX(0, 1)}},
    {"every_gate_name",
     "qreg q[3];\nh q[0];\nx q[1];\ny q[2];\nz q[0];\ns q[1];\nsdg q[2];\nsx q[0];\nsxdg q[1];\nt q[2];\n"
     "tdg q[0];\ncx q[0], q[1];\ncz q[1], q[2];\nswap q[2], q[0];\nccx q[2], q[0], q[1];\n",
     3,
     {G::H(0), G::X(1), G::Y(2), G::Z(0), G::S(1), G::Sdg(2), G::SqrtX(0), G::SqrtXdg(1), G::T(2), G::Tdg(0),
      G::CX(0, 1), G::CZ(1, 2), G::Swap(2, 0), G::CCX(2, 0, 1)}},
    {"no_space_after_comma", "qreg q[2];\ncx q[0],q[1];", 2, {G::CX(0, 1)}},
    {"free_spacing", "qreg q[2];\n  cx   q[0],   q[1] ;  ", 2, {G::CX(0, 1)}},
    {"spaced_declaration", "qreg q [ 3 ] ;", 3, {}},
    {"zero_qubits", "qreg q[0];", 0, {}},
    {"first_statement_of_a_line_only", "qreg q[2];\nh q[0]; x q[1];", 2, {G::H(0)}},
    {"trailing_comment", "qreg q[1];\nh q[0]; // note", 1, {G::H(0)}},
    // Two-operand gates are tried before one-operand gates, so the later statement wins here.
    {"two_operand_pattern_first", "qreg q[2];\nh q[0]; cx q[0], q[1];", 2, {G::CX(0, 1)}},
    {"skipped_lines",
     "// comment\n\n   \nOPENQASM 3;\nincludes anything\n\tinclude \"x.inc\";\nqreg q[1];\n// h q[0];\nh q[0];", 1,
     {G::H(0)}},
    {"measure_skipped", "qreg q[1];\nmeasure q[0] -> c[0];\nmeasurement\nh q[0];", 1, {G::H(0)}},
    {"gate_before_qreg", "h q[0];\nqreg q[1];", 1, {G::H(0)}},
    {"index_beyond_register", "qreg q[2];\nh q[5];\ncx q[1], q[1];", 2, {G::H(5), G::CX(1, 1)}},
    {"register_names_ignored", "qreg q[2];\nh r[0];\ncx a[0], B_9[1];", 2, {G::H(0), G::CX(0, 1)}},
    {"leading_zeros", "qreg q[002];\nh q[007];", 2, {G::H(7)}},
    {"largest_machine_word", "qreg q[18446744073709551615];\nt q[18446744073709551615];", SIZE_MAX,
     {G::T(SIZE_MAX)}},
    {"crlf_lines", "OPENQASM 2.0;\r\nqreg q[2];\r\nh q[0];\r\ncx q[0], q[1];\r\n", 2, {G::H(0), G::CX(0, 1)}},
    {"unicode_white_space", "\u3000qreg\u00a0q[1];\u2003\nh\u2009q[0]\u0085;\n", 1, {G::H(0)}},
};

class ReadOk : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadOk, GivesTheCircuit) {
  const ReadCase& c = GetParam();
  StderrCapture quiet;  // the measure case warns; the warning text is checked below
  const auto r = from_qasm_str(c.text);
  ASSERT_TRUE(r.has_value()) << r.error().message();
  EXPECT_EQ(*r, QuantumCircuit(c.num_qubits, c.gates)) << r->to_string();
  // The circuit method forwards.
  EXPECT_EQ(QuantumCircuit::from_qasm_str(c.text), r);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadOk, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.id); });

// ---------------------------------------------------------------------------------------------
// Texts that fail, with the whole message.

struct FailCase {
  const char* id;
  std::string text;
  std::string message;
};

const std::string kUnrecognized = "QASM parsing error: Unrecognized or malformed line: ";
const std::string kNoQreg = "QASM parsing error: qreg declaration not found in QASM string.";

const FailCase kFailCases[] = {
    {"empty_text", "", kNoQreg},
    {"only_skipped_lines", "OPENQASM 2.0;\n// qreg q[1];\n\n", kNoQreg},
    {"gates_without_qreg", "h q[0];\ncx q[0], q[1];", kNoQreg},
    {"second_qreg", "qreg q[2];\nqreg r[1];", "QASM parsing error: Multiple qreg declarations are not supported."},
    {"second_qreg_checked_before_its_size", "qreg q[2];\nqreg r[99999999999999999999];",
     "QASM parsing error: Multiple qreg declarations are not supported."},
    {"qreg_size_too_large", "qreg q[99999999999999999999];",
     "QASM parsing error: Invalid qreg size in line: 'qreg q[99999999999999999999];' (number too large to fit in "
     "target type)"},
    {"qreg_size_two_to_the_64", "qreg q[18446744073709551616];",
     "QASM parsing error: Invalid qreg size in line: 'qreg q[18446744073709551616];' (number too large to fit in "
     "target type)"},
    {"qreg_size_non_ascii_digit", "  qreg q[\u0663];  ",
     "QASM parsing error: Invalid qreg size in line: 'qreg q[\u0663];' (invalid digit found in string)"},
    {"index_non_ascii_digit", "qreg q[1];\nh q[1\uff11];",
     "QASM parsing error: Invalid qubit index in line: 'h q[1\uff11];' (invalid digit found in string)"},
    {"index_too_large", "qreg q[1];\ncx q[0], q[99999999999999999999];",
     "QASM parsing error: Invalid qubit index in line: 'cx q[0], q[99999999999999999999];' (number too large to "
     "fit in target type)"},
    // Digits are read left to right and the first problem met decides.
    {"overflow_before_bad_digit", "qreg q[99999999999999999999\u0663];",
     "QASM parsing error: Invalid qreg size in line: 'qreg q[99999999999999999999\u0663];' (number too large to "
     "fit in target type)"},
    {"bad_digit_before_overflow", "qreg q[9999999999999999999\u06639];",
     "QASM parsing error: Invalid qreg size in line: 'qreg q[9999999999999999999\u06639];' (invalid digit found in "
     "string)"},
    {"first_bad_operand_decides", "qreg q[1];\nccx q[\u0663], q[99999999999999999999], q[0];",
     "QASM parsing error: Invalid qubit index in line: 'ccx q[\u0663], q[99999999999999999999], q[0];' (invalid "
     "digit found in string)"},
    {"upper_case_name", "qreg q[1];\n   H q[0];  ", kUnrecognized + "H q[0];"},
    {"barrier", "qreg q[1];\nbarrier q[0];", kUnrecognized + "barrier q[0];"},
    {"creg", "qreg q[1];\ncreg c[1];", kUnrecognized + "creg c[1];"},
    {"reset", "qreg q[1];\nreset q[0];", kUnrecognized + "reset q[0];"},
    {"parameterised", "qreg q[1];\nrz(0.5) q[0];", kUnrecognized + "rz(0.5) q[0];"},
    {"space_before_comma", "qreg q[2];\ncx q[0] , q[1];", kUnrecognized + "cx q[0] , q[1];"},
    {"space_before_bracket", "qreg q[2];\ncx q [0], q[1];", kUnrecognized + "cx q [0], q[1];"},
    {"name_run_includes_prefix", "qreg q[1];\nxh q[0];", kUnrecognized + "xh q[0];"},
    {"no_semicolon", "qreg q[1];\nh q[0]", kUnrecognized + "h q[0]"},
    {"three_qubit_name_with_two_operands", "qreg q[3];\nccx q[0], q[1];", kUnrecognized + "ccx q[0], q[1];"},
    {"two_qubit_name_with_three_operands", "qreg q[3];\ncx q[0], q[1], q[2];", kUnrecognized + "cx q[0], q[1], q[2];"},
    {"one_qubit_name_with_two_operands", "qreg q[2];\nh q[0], q[1];", kUnrecognized + "h q[0], q[1];"},
    {"qreg_without_semicolon", "qreg q[2]\r\nh q[0];", kUnrecognized + "qreg q[2]"},
    // A bad line ends the reading at once, also before a later declaration.
    {"error_before_later_qreg", "h q[0];\nbogus\nqreg q[1];", kUnrecognized + "bogus"},
    {"error_after_valid_gates", "qreg q[1];\nh q[0];\nx q[0];\nnope;", kUnrecognized + "nope;"},
};

class ReadFails : public testing::TestWithParam<FailCase> {};

TEST_P(ReadFails, WithTheMessage) {
  const FailCase& c = GetParam();
  const auto r = from_qasm_str(c.text);
  ASSERT_FALSE(r.has_value()) << r->to_string();
  EXPECT_EQ(r.error().kind, ErrorKind::QasmParsingError);
  EXPECT_EQ(r.error().message(), c.message);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadFails, testing::ValuesIn(kFailCases),
                         [](const auto& info) { return std::string(info.param.id); });

// ---------------------------------------------------------------------------------------------
// The `measure` warning goes straight to file descriptor 2.

struct WarningCase {
  const char* id;
  std::string text;
  bool ok;
  std::string warnings;
};

const WarningCase kWarningCases[] = {
    {"line_seven", "OPENQASM 2.0;\ninclude \"qelib1.inc\";\nqreg q[1];\n\n// c\nh q[0];\nmeasure q[0] -> c[0];", true,
     "[Warning] Line 7: `measure` operation is ignored by the parser.\n"},
    {"any_line_starting_with_measure", "qreg q[1];\r\n  measurement\r\nmeasure\r\n", true,
     "[Warning] Line 2: `measure` operation is ignored by the parser.\n"
     "[Warning] Line 3: `measure` operation is ignored by the parser.\n"},
    {"printed_before_a_later_failure", "measure q[0];\nbogus\nmeasure q[0];", false,
     "[Warning] Line 1: `measure` operation is ignored by the parser.\n"},
    {"not_at_line_start", "qreg q[1];\nh q[0]; measure q[0];", true, ""},
    {"qreg_pattern_first", "measure qreg q[1];", true, ""},
};

class MeasureWarning : public testing::TestWithParam<WarningCase> {};

TEST_P(MeasureWarning, WrittenToStandardError) {
  const WarningCase& c = GetParam();
  StderrCapture capture;
  const auto r = from_qasm_str(c.text);
  const std::string written = capture.finish();
  EXPECT_EQ(r.has_value(), c.ok);
  EXPECT_EQ(written, c.warnings);
}

INSTANTIATE_TEST_SUITE_P(Cases, MeasureWarning, testing::ValuesIn(kWarningCases),
                         [](const auto& info) { return std::string(info.param.id); });

TEST(MeasureWarningStream, ClosedStandardErrorDoesNotFailTheReading) {
  const int saved = ::dup(2);
  ::close(2);
  const auto r = from_qasm_str("qreg q[1];\nmeasure q[0];\nh q[0];");
  ::dup2(saved, 2);
  ::close(saved);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, QuantumCircuit(1, {G::H(0)}));
}

}  // namespace
}  // namespace kelvra::qasm
