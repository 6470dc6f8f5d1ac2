#include "pelmar/unicode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using pelmar::text::decode_utf8;
using pelmar::text::is_decimal_digit;
using pelmar::text::is_valid_utf8;
using pelmar::text::is_white_space;
using pelmar::text::trim;

struct DecodeCase {
  const char* name;
  std::string bytes;
  char32_t cp;
  std::size_t len;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, FirstCodePoint) {
  const DecodeCase& c = GetParam();
  const auto d = decode_utf8(c.bytes, 0);
  EXPECT_EQ(static_cast<std::uint32_t>(d.cp), static_cast<std::uint32_t>(c.cp));
  EXPECT_EQ(d.len, c.len);
  // Malformed input is exactly what decodes to a one-byte replacement.
  EXPECT_EQ(is_valid_utf8(c.bytes), !(c.cp == 0xFFFD && c.len == 1));
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, Decode,
    ::testing::Values(DecodeCase{"ascii", "A", U'A', 1}, DecodeCase{"nul", std::string(1, '\0'), 0, 1},
                      DecodeCase{"two_bytes", "\xC3\xA9", 0xE9, 2},
                      DecodeCase{"three_bytes", "\xE2\x98\x83", 0x2603, 3},
                      DecodeCase{"four_bytes", "\xF0\x9F\x98\x80", 0x1F600, 4},
                      DecodeCase{"largest", "\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
                      DecodeCase{"genuine_replacement", "\xEF\xBF\xBD", 0xFFFD, 3},
                      DecodeCase{"overlong_two", "\xC0\x80", 0xFFFD, 1},
                      DecodeCase{"overlong_three", "\xE0\x80\xAF", 0xFFFD, 1},
                      DecodeCase{"overlong_four", "\xF0\x8F\xBF\xBF", 0xFFFD, 1},
                      DecodeCase{"surrogate", "\xED\xA0\x80", 0xFFFD, 1},
                      DecodeCase{"above_max", "\xF4\x90\x80\x80", 0xFFFD, 1},
                      DecodeCase{"lead_f5", "\xF5\x80\x80\x80", 0xFFFD, 1},
                      DecodeCase{"stray_continuation", "\x80", 0xFFFD, 1},
                      DecodeCase{"truncated", "\xE2\x98", 0xFFFD, 1},
                      DecodeCase{"bad_continuation", "\xE2\x41\x83", 0xFFFD, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decode, AlwaysAdvancesAndNeverReadsPastTheEnd) {
  const std::string s = "a\xE2\x98\x83\xFF\xF0\x9F";  // ASCII, snowman, bad byte, truncated emoji
  std::vector<std::uint32_t> cps;  // not char32_t: gtest cannot print it
  for (std::size_t pos = 0; pos < s.size();) {
    const auto d = decode_utf8(s, pos);
    ASSERT_GE(d.len, 1u);
    cps.push_back(d.cp);
    pos += d.len;
  }
  EXPECT_EQ(cps, (std::vector<std::uint32_t>{U'a', 0x2603, 0xFFFD, 0xFFFD, 0xFFFD}));
  EXPECT_EQ(decode_utf8(s, s.size()).len, 1u);
}

TEST(WhiteSpace, ExactlyThePropertySet) {
  const std::vector<char32_t> members = {0x09,   0x0A,   0x0B,   0x0C,   0x0D,   0x20,   0x85,   0xA0,
                                         0x1680, 0x2000, 0x2005, 0x200A, 0x2028, 0x2029, 0x202F, 0x205F,
                                         0x3000};
  for (char32_t c : members) EXPECT_TRUE(is_white_space(c)) << std::hex << static_cast<std::uint32_t>(c);
  std::size_t count = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) count += is_white_space(c);
  EXPECT_EQ(count, 25u);
  // Separators that are not White_Space: information separators, zero-width space, word
  // joiner, the Mongolian vowel separator and the byte-order mark.
  for (std::uint32_t c : {0x1Cu, 0x1Fu, 0x08u, 0x0Eu, 0x200Bu, 0x2060u, 0x180Eu, 0xFEFFu})
    EXPECT_FALSE(is_white_space(c)) << std::hex << c;
}

TEST(DecimalDigit, MatchesTheNdCategory) {
  // Count and sum of all Nd code points of the character database the table was built from.
  std::size_t count = 0;
  std::uint64_t sum = 0;
  for (char32_t c = 0; c <= 0x10FFFF; ++c)
    if (is_decimal_digit(c)) ++count, sum += c;
  EXPECT_EQ(count, 660u);
  EXPECT_EQ(sum, 30806570u);
  for (char32_t c : {U'0', U'9', char32_t{0x0660}, char32_t{0xFF19}, char32_t{0x1D7CE}, char32_t{0x1D7FF},
                     char32_t{0x1FBF9}})
    EXPECT_TRUE(is_decimal_digit(c));
  // Other numerics: superscript two, circled one, Roman numeral one, CJK "one".
  for (char32_t c : {U'/', U':', char32_t{0xB2}, char32_t{0x2460}, char32_t{0x2160}, char32_t{0x4E00}})
    EXPECT_FALSE(is_decimal_digit(c));
}

TEST(Trim, UnicodeWhiteSpaceAtBothEnds) {
  struct Case {
    std::string in, out;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {"   ", ""},
      {"  a b \t", "a b"},
      {"\xE3\x80\x80X\xE2\x80\xA9", "X"},               // ideographic space, paragraph separator
      {"\xC2\xA0\xC2\x85" "ab\xE1\x9A\x80", "ab"},      // NBSP, NEL, Ogham space mark
      {"\x1C" "a", "\x1C" "a"},                          // not White_Space
      {"\xE2\x80\x8B" "a\xE2\x80\x8B", "\xE2\x80\x8B" "a\xE2\x80\x8B"},  // zero-width space kept
      {" \xFF ", "\xFF"},                                // a malformed byte is content
      {"\xC3\xA9 ", "\xC3\xA9"},
  };
  for (const auto& c : cases) EXPECT_EQ(trim(c.in), c.out) << c.in;
}

}  // namespace
