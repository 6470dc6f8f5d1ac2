#pragma once
/// The character classes the text parsers need: Unicode White_Space, Unicode decimal digits
/// (general category Nd), and a UTF-8 decoder.

#include <cstddef>
#include <string_view>

namespace pelmar::text {

/// One decoded code point and the number of bytes it took. Malformed input decodes one byte at a
/// time as U+FFFD, so decoding never fails and always advances.
struct Decoded {
  char32_t cp;
  std::size_t len;
};
Decoded decode_utf8(std::string_view s, std::size_t pos);

/// True for the code points with the Unicode White_Space property.
bool is_white_space(char32_t c);
/// True for the code points of general category Nd (decimal digits of every script).
bool is_decimal_digit(char32_t c);
/// True when the whole string is valid UTF-8 (no overlongs, surrogates or values above U+10FFFF).
bool is_valid_utf8(std::string_view s);

/// `s` without leading and trailing Unicode white space.
std::string_view trim(std::string_view s);

}  // namespace pelmar::text
