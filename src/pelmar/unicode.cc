#include "pelmar/unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace pelmar::text {

namespace {

struct Range {
  char32_t lo;
  char32_t hi;  // inclusive
};

// Unicode 14.0.0 (the character database of CPython 3.11's `unicodedata`).
// White_Space: the code points with the binary property White_Space (PropList.txt).
constexpr std::array<Range, 10> kWhiteSpace{{
    {0x0009, 0x000D},
    {0x0020, 0x0020},
    {0x0085, 0x0085},
    {0x00A0, 0x00A0},
    {0x1680, 0x1680},
    {0x2000, 0x200A},
    {0x2028, 0x2029},
    {0x202F, 0x202F},
    {0x205F, 0x205F},
    {0x3000, 0x3000},
}};

// Unicode 14.0.0, general category Nd, generated with
//   [c for c in range(0x110000) if unicodedata.category(chr(c)) == 'Nd']
// and merged into maximal runs. Sorted and disjoint, as the binary search requires.
constexpr std::array<Range, 62> kDecimalDigit{{
    {0x0030, 0x0039},   {0x0660, 0x0669},   {0x06F0, 0x06F9},   {0x07C0, 0x07C9},
    {0x0966, 0x096F},   {0x09E6, 0x09EF},   {0x0A66, 0x0A6F},   {0x0AE6, 0x0AEF},
    {0x0B66, 0x0B6F},   {0x0BE6, 0x0BEF},   {0x0C66, 0x0C6F},   {0x0CE6, 0x0CEF},
    {0x0D66, 0x0D6F},   {0x0DE6, 0x0DEF},   {0x0E50, 0x0E59},   {0x0ED0, 0x0ED9},
    {0x0F20, 0x0F29},   {0x1040, 0x1049},   {0x1090, 0x1099},   {0x17E0, 0x17E9},
    {0x1810, 0x1819},   {0x1946, 0x194F},   {0x19D0, 0x19D9},   {0x1A80, 0x1A89},
    {0x1A90, 0x1A99},   {0x1B50, 0x1B59},   {0x1BB0, 0x1BB9},   {0x1C40, 0x1C49},
    {0x1C50, 0x1C59},   {0xA620, 0xA629},   {0xA8D0, 0xA8D9},   {0xA900, 0xA909},
    {0xA9D0, 0xA9D9},   {0xA9F0, 0xA9F9},   {0xAA50, 0xAA59},   {0xABF0, 0xABF9},
    {0xFF10, 0xFF19},   {0x104A0, 0x104A9}, {0x10D30, 0x10D39}, {0x11066, 0x1106F},
    {0x110F0, 0x110F9}, {0x11136, 0x1113F}, {0x111D0, 0x111D9}, {0x112F0, 0x112F9},
    {0x11450, 0x11459}, {0x114D0, 0x114D9}, {0x11650, 0x11659}, {0x116C0, 0x116C9},
    {0x11730, 0x11739}, {0x118E0, 0x118E9}, {0x11950, 0x11959}, {0x11C50, 0x11C59},
    {0x11D50, 0x11D59}, {0x11DA0, 0x11DA9}, {0x16A60, 0x16A69}, {0x16AC0, 0x16AC9},
    {0x16B50, 0x16B59}, {0x1D7CE, 0x1D7FF}, {0x1E140, 0x1E149}, {0x1E2F0, 0x1E2F9},
    {0x1E950, 0x1E959}, {0x1FBF0, 0x1FBF9},
}};

template <std::size_t N>
bool in_ranges(const std::array<Range, N>& table, char32_t c) {
  // First range whose upper end is at or above c; c is in the table iff that range starts at or
  // below c.
  auto it = std::lower_bound(table.begin(), table.end(), c,
                             [](const Range& r, char32_t v) { return r.hi < v; });
  return it != table.end() && it->lo <= c;
}

constexpr char32_t kReplacement = 0xFFFD;

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

Decoded decode_utf8(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return {kReplacement, 1};
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = at(pos);
  if (b0 < 0x80) return {b0, 1};

  // Lead byte: sequence length and the smallest code point that length may encode, which rejects
  // overlong forms.
  std::size_t len;
  char32_t cp;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return {kReplacement, 1};  // stray continuation byte, C0/C1 or F5..FF
  }
  if (s.size() - pos < len) return {kReplacement, 1};
  for (std::size_t k = 1; k < len; ++k) {
    const unsigned char b = at(pos + k);
    if (!is_continuation(b)) return {kReplacement, 1};
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {kReplacement, 1};
  return {cp, len};
}

bool is_white_space(char32_t c) { return in_ranges(kWhiteSpace, c); }

bool is_decimal_digit(char32_t c) { return in_ranges(kDecimalDigit, c); }

bool is_valid_utf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const Decoded d = decode_utf8(s, pos);
    // A genuine U+FFFD takes three bytes; a one-byte replacement marks malformed input.
    if (d.cp == kReplacement && d.len == 1) return false;
    pos += d.len;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  std::size_t begin = 0;
  while (begin < s.size()) {
    const Decoded d = decode_utf8(s, begin);
    if (!is_white_space(d.cp)) break;
    begin += d.len;
  }
  // Walk forward from the first kept character, remembering where the last non-space one ends;
  // decoding forwards keeps the code-point boundaries exact without a backward decoder.
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < s.size();) {
    const Decoded d = decode_utf8(s, pos);
    pos += d.len;
    if (!is_white_space(d.cp)) end = pos;
  }
  return s.substr(begin, end - begin);
}

}  // namespace pelmar::text
