// The OpenQASM 2 reader: the writer's dialect plus comments, blank lines, free white space and
// `measure` lines, which are skipped with a warning on standard error.

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/circuit/quantum_gate.h"
#include "kelvra/qasm/line_patterns.h"
#include "kelvra/qasm/qasm.h"
#include "pelmar/unicode.h"

namespace kelvra {

namespace {

// Name tables: QASM name to the gate constructor, operands in the order they appear on the line.
// Constant data, so there is nothing to initialise at run time and nothing to guard.
template <class Make>
struct NamedGate {
  std::string_view name;
  Make make;
};
using Make1 = QuantumGate (*)(std::size_t);
using Make2 = QuantumGate (*)(std::size_t, std::size_t);
using Make3 = QuantumGate (*)(std::size_t, std::size_t, std::size_t);

constexpr NamedGate<Make1> kSingleQubitGates[] = {
    {"h", &QuantumGate::H},     {"x", &QuantumGate::X},   {"y", &QuantumGate::Y},
    {"z", &QuantumGate::Z},     {"s", &QuantumGate::S},   {"sdg", &QuantumGate::Sdg},
    {"sx", &QuantumGate::SqrtX}, {"sxdg", &QuantumGate::SqrtXdg}, {"t", &QuantumGate::T},
    {"tdg", &QuantumGate::Tdg},
};
constexpr NamedGate<Make2> kTwoQubitGates[] = {
    {"cx", &QuantumGate::CX},
    {"cz", &QuantumGate::CZ},
    {"swap", &QuantumGate::Swap},
};
constexpr NamedGate<Make3> kThreeQubitGates[] = {
    {"ccx", &QuantumGate::CCX},
};

template <class Make, std::size_t N>
std::optional<Make> lookup(const NamedGate<Make> (&table)[N], std::string_view name) {
  for (const auto& entry : table)
    if (entry.name == name) return entry.make;
  return std::nullopt;
}

/// Reads a matched digit group as an unsigned machine word, left to right: each character is first
/// checked to be an ASCII digit, then accumulated with overflow checks, so the first problem met
/// decides the error text.
std::expected<std::size_t, const char*> parse_number(std::string_view digits) {
  if (digits.empty()) return std::unexpected("cannot parse integer from empty string");
  std::size_t value = 0;
  for (const char ch : digits) {
    if (ch < '0' || ch > '9') return std::unexpected("invalid digit found in string");
    if (__builtin_mul_overflow(value, std::size_t{10}, &value) ||
        __builtin_add_overflow(value, static_cast<std::size_t>(ch - '0'), &value))
      return std::unexpected("number too large to fit in target type");
  }
  return value;
}

/// Writes the whole text to file descriptor 2, unbuffered, retrying interrupted and partial writes.
/// A failing or closed standard error stream loses the warning and nothing else.
void write_stderr(std::string_view text) {
  const int saved_errno = errno;
  while (!text.empty()) {
    const ssize_t n = ::write(2, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) break;
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  errno = saved_errno;
}

/// Blank lines, comments and the header lines are skipped (prefix tests).
bool is_skipped_line(std::string_view line) {
  if (line.empty()) return true;
  return line.starts_with("//") || line.starts_with("OPENQASM") || line.starts_with("include");
}

Error invalid_index(std::string_view line, const char* why) {
  return Error::qasm_parsing_error("Invalid qubit index in line: '" + std::string(line) + "' (" + why + ")");
}

/// Parses the first `N` index groups of a gate match in order; the first bad one decides.
template <std::size_t N>
std::expected<std::array<std::size_t, N>, Error> parse_indices(const qasm::GateMatch& m, std::string_view line) {
  std::array<std::size_t, N> out{};
  for (std::size_t k = 0; k < N; ++k) {
    auto v = parse_number(m.indices[k]);
    if (!v) return std::unexpected(invalid_index(line, v.error()));
    out[k] = *v;
  }
  return out;
}

/// Gate of a trimmed line: nullopt when no gate pattern with a known name matches.
std::optional<Result<QuantumGate>> read_gate(std::string_view line) {
  if (auto m = qasm::match_gate(line, 3)) {
    if (auto make = lookup(kThreeQubitGates, m->name)) {
      auto q = parse_indices<3>(*m, line);
      if (!q) return std::unexpected(std::move(q.error()));
      return (*make)((*q)[0], (*q)[1], (*q)[2]);
    }
  }
  if (auto m = qasm::match_gate(line, 2)) {
    if (auto make = lookup(kTwoQubitGates, m->name)) {
      auto q = parse_indices<2>(*m, line);
      if (!q) return std::unexpected(std::move(q.error()));
      return (*make)((*q)[0], (*q)[1]);
    }
  }
  if (auto m = qasm::match_gate(line, 1)) {
    if (auto make = lookup(kSingleQubitGates, m->name)) {
      auto q = parse_indices<1>(*m, line);
      if (!q) return std::unexpected(std::move(q.error()));
      return (*make)((*q)[0]);
    }
  }
  return std::nullopt;
}

}  // namespace

Result<QuantumCircuit> QuantumCircuit::from_qasm_str(std::string_view text) { return qasm::from_qasm_str(text); }

namespace qasm {

Result<QuantumCircuit> from_qasm_str(std::string_view text) {
  std::optional<std::size_t> num_qubits;
  std::vector<QuantumGate> gates;
  std::size_t line_number = 0;
  std::size_t pos = 0;
  // Lines end at "\n" (a preceding "\r" goes with the terminator); a final terminator does not
  // start another line.
  while (pos < text.size()) {
    const std::size_t nl = text.find('\n', pos);
    std::string_view raw = nl == std::string_view::npos ? text.substr(pos) : text.substr(pos, nl - pos);
    pos = nl == std::string_view::npos ? text.size() : nl + 1;
    ++line_number;
    if (nl != std::string_view::npos && raw.ends_with('\r')) raw.remove_suffix(1);
    const std::string_view line = pelmar::text::trim(raw);

    if (is_skipped_line(line)) continue;

    if (auto m = match_qreg(line)) {
      if (num_qubits) return std::unexpected(Error::qasm_parsing_error("Multiple qreg declarations are not supported."));
      auto size = parse_number(m->size);
      if (!size)
        return std::unexpected(Error::qasm_parsing_error("Invalid qreg size in line: '" + std::string(line) + "' (" +
                                                         size.error() + ")"));
      num_qubits = *size;
      continue;
    }

    if (line.starts_with("measure")) {
      write_stderr("[Warning] Line " + std::to_string(line_number) +
                   ": `measure` operation is ignored by the parser.\n");
      continue;
    }

    if (auto gate = read_gate(line)) {
      if (!*gate) return std::unexpected(std::move(gate->error()));
      gates.push_back(**gate);
      continue;
    }

    return std::unexpected(Error::qasm_parsing_error("Unrecognized or malformed line: " + std::string(line)));
  }
  if (!num_qubits) return std::unexpected(Error::qasm_parsing_error("qreg declaration not found in QASM string."));
  return QuantumCircuit(*num_qubits, std::move(gates));
}

}  // namespace qasm
}  // namespace kelvra
