#include "kelvra/qasm/line_patterns.h"

#include "pelmar/unicode.h"

namespace kelvra::qasm {

namespace {

constexpr std::size_t kFail = std::string_view::npos;

// ASCII classes: a byte below 0x80 is always a whole character, and no byte of a multi-byte UTF-8
// sequence (or of a malformed one) falls in these ranges.
bool is_name_char(unsigned char c) { return (c >= 'a' && c <= 'z') || c == '_'; }
bool is_alpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_reg_char(unsigned char c) { return is_alpha(c) || (c >= '0' && c <= '9') || c == '_'; }

bool byte_is(std::string_view s, std::size_t pos, char c) { return pos < s.size() && s[pos] == c; }

/// End of the run of Unicode white space starting at `pos` (`\s*`).
std::size_t skip_space(std::string_view s, std::size_t pos) {
  while (pos < s.size()) {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) {  // ASCII White_Space: U+0009..U+000D and U+0020
      if (b != ' ' && (b < '\t' || b > '\r')) break;
      ++pos;
      continue;
    }
    const auto d = pelmar::text::decode_utf8(s, pos);
    if (!pelmar::text::is_white_space(d.cp)) break;
    pos += d.len;
  }
  return pos;
}

/// End of `\s+` at `pos`, or kFail.
std::size_t skip_space1(std::string_view s, std::size_t pos) {
  const std::size_t end = skip_space(s, pos);
  return end == pos ? kFail : end;
}

/// End of `\d+` at `pos`, or kFail.
std::size_t skip_digits1(std::string_view s, std::size_t pos) {
  std::size_t end = pos;
  while (end < s.size()) {
    const auto b = static_cast<unsigned char>(s[end]);
    if (b < 0x80) {  // the only ASCII decimal digits are 0-9
      if (b < '0' || b > '9') break;
      ++end;
      continue;
    }
    const auto d = pelmar::text::decode_utf8(s, end);
    if (!pelmar::text::is_decimal_digit(d.cp)) break;
    end += d.len;
  }
  return end == pos ? kFail : end;
}

/// End of `[a-zA-Z][a-zA-Z0-9_]*` at `pos`, or kFail.
std::size_t skip_register(std::string_view s, std::size_t pos) {
  if (pos >= s.size() || !is_alpha(static_cast<unsigned char>(s[pos]))) return kFail;
  ++pos;
  while (pos < s.size() && is_reg_char(static_cast<unsigned char>(s[pos]))) ++pos;
  return pos;
}

/// `\s*;` at `pos`: true when it matches.
bool space_then_semicolon(std::string_view s, std::size_t pos) { return byte_is(s, skip_space(s, pos), ';'); }

/// The part of a gate pattern after the name, matched from `pos` (just past the name run).
bool match_gate_operands(std::string_view s, std::size_t pos, std::size_t arity, GateMatch& m) {
  pos = skip_space1(s, pos);
  if (pos == kFail) return false;
  for (std::size_t k = 0; k < arity; ++k) {
    if (k > 0) {
      if (!byte_is(s, pos, ',')) return false;
      pos = skip_space(s, pos + 1);
    }
    const std::size_t reg_begin = pos;
    pos = skip_register(s, pos);
    if (pos == kFail || !byte_is(s, pos, '[')) return false;
    m.regs[k] = s.substr(reg_begin, pos - reg_begin);
    const std::size_t digits_begin = pos + 1;
    pos = skip_digits1(s, digits_begin);
    if (pos == kFail || !byte_is(s, pos, ']')) return false;
    m.indices[k] = s.substr(digits_begin, pos - digits_begin);
    ++pos;
  }
  return space_then_semicolon(s, pos);
}

}  // namespace

std::optional<QregMatch> match_qreg(std::string_view line) {
  constexpr std::string_view kKeyword = "qreg";
  for (std::size_t start = line.find(kKeyword); start != std::string_view::npos;
       start = line.find(kKeyword, start + 1)) {
    std::size_t pos = skip_space1(line, start + kKeyword.size());
    if (pos == kFail) continue;
    const std::size_t reg_begin = pos;
    pos = skip_register(line, pos);
    if (pos == kFail) continue;
    const std::string_view reg = line.substr(reg_begin, pos - reg_begin);
    pos = skip_space(line, pos);
    if (!byte_is(line, pos, '[')) continue;
    const std::size_t digits_begin = skip_space(line, pos + 1);
    pos = skip_digits1(line, digits_begin);
    if (pos == kFail) continue;
    const std::string_view size = line.substr(digits_begin, pos - digits_begin);
    pos = skip_space(line, pos);
    if (!byte_is(line, pos, ']')) continue;
    if (!space_then_semicolon(line, pos + 1)) continue;
    return QregMatch{reg, size};
  }
  return std::nullopt;
}

std::optional<GateMatch> match_gate(std::string_view line, std::size_t arity) {
  if (arity < 1 || arity > 3) return std::nullopt;
  std::size_t i = 0;
  while (i < line.size()) {
    if (!is_name_char(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    // A maximal run [i, end) of name characters: every start inside it leads to the same operands.
    std::size_t end = i + 1;
    while (end < line.size() && is_name_char(static_cast<unsigned char>(line[end]))) ++end;
    GateMatch m;
    if (match_gate_operands(line, end, arity, m)) {
      m.name = line.substr(i, end - i);
      return m;
    }
    i = end;
  }
  return std::nullopt;
}

}  // namespace kelvra::qasm
