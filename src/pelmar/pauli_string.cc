#include "pelmar/pauli_string.h"

#include <algorithm>
#include <optional>
#include <set>

#include "pelmar/unicode.h"

namespace pelmar {

namespace {

char letter(Pauli p) {
  switch (p) {
    case Pauli::I:
      return 'I';
    case Pauli::X:
      return 'X';
    case Pauli::Y:
      return 'Y';
    case Pauli::Z:
      return 'Z';
  }
  return '?';
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

/// Text for an error message: the bytes as written when they are valid UTF-8, otherwise each
/// malformed byte replaced by U+FFFD, so that a message is always valid UTF-8.
std::string quoted(std::string_view s) {
  if (text::is_valid_utf8(s)) return std::string(s);
  std::string out;
  for (std::size_t pos = 0; pos < s.size();) {
    const text::Decoded d = text::decode_utf8(s, pos);
    append_utf8(out, d.cp);
    pos += d.len;
  }
  return out;
}

Error parse_error(std::string description) { return Error::pauli_string_parsing_error(std::move(description)); }

std::optional<Pauli> term_letter(char c) {
  switch (c) {
    case 'X':
    case 'x':
      return Pauli::X;
    case 'Y':
    case 'y':
      return Pauli::Y;
    case 'Z':
    case 'z':
      return Pauli::Z;
    default:
      return std::nullopt;
  }
}

/// Whole-term match of `(?i)([XYZ])(\d+)`: one ASCII letter X, Y or Z in either case (no other
/// code point case-folds to them), then one or more code points of category Nd, nothing else.
/// Returns the letter, with `digits` set to the digit run as written.
std::optional<Pauli> match_term(std::string_view term, std::string_view& digits) {
  if (term.empty()) return std::nullopt;
  const std::optional<Pauli> p = term_letter(term[0]);
  if (!p) return std::nullopt;
  digits = term.substr(1);
  if (digits.empty()) return std::nullopt;
  for (std::size_t pos = 0; pos < digits.size();) {
    const text::Decoded d = text::decode_utf8(digits, pos);
    if (!text::is_decimal_digit(d.cp)) return std::nullopt;
    pos += d.len;
  }
  return p;
}

/// Decimal value of a digit run as a size_t; nothing when a digit is not 0-9 or the value does
/// not fit.
std::optional<std::size_t> read_index(std::string_view digits) {
  std::size_t v = 0;
  for (char ch : digits) {
    if (ch < '0' || ch > '9') return std::nullopt;
    if (__builtin_mul_overflow(v, std::size_t{10}, &v)) return std::nullopt;
    if (__builtin_add_overflow(v, static_cast<std::size_t>(ch - '0'), &v)) return std::nullopt;
  }
  return v;
}

Result<PauliString> parse_sparse(std::string_view t) {
  std::vector<std::pair<std::size_t, Pauli>> terms;
  std::set<std::size_t> seen;
  std::size_t pos = 0;
  while (pos < t.size()) {
    // Skip a run of white space, then take the term up to the next white space or the end.
    text::Decoded d = text::decode_utf8(t, pos);
    if (text::is_white_space(d.cp)) {
      pos += d.len;
      continue;
    }
    const std::size_t begin = pos;
    while (pos < t.size()) {
      d = text::decode_utf8(t, pos);
      if (text::is_white_space(d.cp)) break;
      pos += d.len;
    }
    const std::string_view term = t.substr(begin, pos - begin);

    std::string_view digits;
    const std::optional<Pauli> p = match_term(term, digits);
    if (!p)
      return std::unexpected(
          parse_error("invalid sparse Pauli term: '" + quoted(term) + "' in string: '" + quoted(t) + "'"));
    const std::optional<std::size_t> index = read_index(digits);
    if (!index) return std::unexpected(parse_error("invalid qubit index: " + quoted(digits)));
    if (!seen.insert(*index).second)
      return std::unexpected(parse_error("duplicate Pauli operator on qubit " + std::to_string(*index) +
                                         " in string: '" + quoted(t) + "'"));
    terms.emplace_back(*index, *p);
  }
  return PauliString::sparse(std::move(terms));
}

Result<PauliString> parse_dense(std::string_view t) {
  std::vector<Pauli> paulis;
  std::size_t position = 0;  // in code points
  for (std::size_t pos = 0; pos < t.size(); ++position) {
    const text::Decoded d = text::decode_utf8(t, pos);
    Pauli p;
    switch (d.cp) {
      case U'I':
        p = Pauli::I;
        break;
      case U'X':
        p = Pauli::X;
        break;
      case U'Y':
        p = Pauli::Y;
        break;
      case U'Z':
        p = Pauli::Z;
        break;
      default: {
        std::string c;
        append_utf8(c, d.cp);
        return std::unexpected(parse_error("invalid character '" + c + "' at position " +
                                           std::to_string(position) + " in dense PauliString"));
      }
    }
    paulis.push_back(p);
    pos += d.len;
  }
  // The text is written with qubit 0 last.
  std::reverse(paulis.begin(), paulis.end());
  return PauliString::dense(std::move(paulis));
}

}  // namespace

PauliString PauliString::dense(std::vector<Pauli> paulis) {
  PauliString s;
  s.form_ = Form::Dense;
  s.dense_ = std::move(paulis);
  return s;
}

PauliString PauliString::sparse(std::vector<std::pair<std::size_t, Pauli>> terms) {
  PauliString s;
  s.form_ = Form::Sparse;
  s.sparse_ = std::move(terms);
  return s;
}

Result<PauliString> PauliString::parse(std::string_view text) {
  const std::string_view t = text::trim(text);
  if (t.empty() || t == "I" || t == "i") return sparse({});
  if (std::any_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) return parse_sparse(t);
  return parse_dense(t);
}

bool PauliString::is_identity() const {
  if (form_ == Form::Sparse) return sparse_.empty();
  return std::all_of(dense_.begin(), dense_.end(), [](Pauli p) { return p == Pauli::I; });
}

std::string PauliString::to_string() const {
  std::string out;
  if (form_ == Form::Dense) {
    if (dense_.empty()) return "I";
    out.reserve(dense_.size());
    for (auto it = dense_.rbegin(); it != dense_.rend(); ++it) out += letter(*it);
    return out;
  }
  if (sparse_.empty()) return "I";
  for (std::size_t k = 0; k < sparse_.size(); ++k) {
    if (k) out += ' ';
    out += letter(sparse_[k].second);
    out += std::to_string(sparse_[k].first);
  }
  return out;
}

}  // namespace pelmar
