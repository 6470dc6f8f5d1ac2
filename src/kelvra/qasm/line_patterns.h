#pragma once
/// Matchers for the four line patterns of the QASM reader, written by hand:
///
///   qreg    "qreg\s+([a-zA-Z][a-zA-Z0-9_]*)\s*\[\s*(\d+)\s*\]\s*;"
///   gate/1  "([a-z_]+)\s+([a-zA-Z][a-zA-Z0-9_]*)\[(\d+)\]\s*;"
///   gate/2  "([a-z_]+)\s+R\[(\d+)\],\s*R\[(\d+)\]\s*;"                  (R the register class above)
///   gate/3  "([a-z_]+)\s+R\[(\d+)\],\s*R\[(\d+)\],\s*R\[(\d+)\]\s*;"
///
/// `\s` is Unicode White_Space and `\d` a Unicode decimal digit (Nd); the name and register classes
/// are ASCII. Each matcher finds the leftmost match anywhere in the line, with the groups a
/// backtracking regex engine would report, so text before and after the match is ignored.
///
/// Every quantifier of these patterns is followed by a character its class cannot contain
/// (`[a-z_]+` by `\s`, `\s` by a letter or `[`, a register by `[`, `\d+` by `\s` or `]`), so at a
/// fixed start position the greedy runs are the only candidates and no backtracking is possible.
/// A gate match starting inside a run of `[a-z_]` therefore succeeds exactly when one starting at
/// the beginning of that run does, and the leftmost match begins at the start of a run: the search
/// is linear in the line.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kelvra::qasm {

/// Groups of a `qreg` match: register name and size digits (views into the searched line).
struct QregMatch {
  std::string_view reg;
  std::string_view size;
};

/// Groups of a gate match of arity 1, 2 or 3: the name, then per operand the register and the
/// index digits (views into the searched line; entries at or beyond the arity are empty).
struct GateMatch {
  std::string_view name;
  std::array<std::string_view, 3> regs;
  std::array<std::string_view, 3> indices;
};

std::optional<QregMatch> match_qreg(std::string_view line);
/// `arity` is 1, 2 or 3; any other value matches nothing.
std::optional<GateMatch> match_gate(std::string_view line, std::size_t arity);

}  // namespace kelvra::qasm
