#pragma once
/// OpenQASM 2 reader and writer for the engine's gate set.
///
/// Writer dialect: "OPENQASM 2.0;", "include \"qelib1.inc\";", "qreg R[N];", then one line per gate,
/// joined by "\n" with no terminator after the last line.
/// Reader: the writer's dialect plus comments, blank lines, free white space and `measure` lines
/// (skipped with a warning on standard error); every other statement is rejected.

#include <string>
#include <string_view>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/error.h"

namespace kelvra::qasm {

std::string to_qasm_str(const QuantumCircuit& circuit, std::string_view reg);
Result<QuantumCircuit> from_qasm_str(std::string_view text);
/// Creates or truncates `path` (mode 0666 before the umask) and writes the text; failures are Io.
Status to_qasm_file(const QuantumCircuit& circuit, const std::string& path, std::string_view reg);
/// Reads the whole file as UTF-8 and parses it; a read failure is a QasmParsingError.
Result<QuantumCircuit> from_qasm_file(const std::string& path);

}  // namespace kelvra::qasm
