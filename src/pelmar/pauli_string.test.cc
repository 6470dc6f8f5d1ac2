#include "pelmar/pauli_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pelmar/unicode.h"

namespace {

using pelmar::ErrorKind;
using pelmar::Pauli;
using pelmar::PauliString;
using Terms = std::vector<std::pair<std::size_t, Pauli>>;
using Paulis = std::vector<Pauli>;
constexpr Pauli I = Pauli::I, X = Pauli::X, Y = Pauli::Y, Z = Pauli::Z;

struct ParseCase {
  const char* name;
  std::string text;
  PauliString expected;
  std::string printed;
  bool identity;
};

class Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parse, ValueAndPrintedForm) {
  const ParseCase& c = GetParam();
  const auto got = PauliString::parse(c.text);
  ASSERT_TRUE(got.has_value()) << got.error().message();
  EXPECT_EQ(*got, c.expected);
  EXPECT_EQ(got->to_string(), c.printed);
  EXPECT_EQ(got->is_identity(), c.identity);
}

const ParseCase kParseCases[] = {
    {"empty", "", PauliString::sparse({}), "I", true},
    {"blank", "  ", PauliString::sparse({}), "I", true},
    {"upper_i", "I", PauliString::sparse({}), "I", true},
    {"lower_i", "i", PauliString::sparse({}), "I", true},
    {"padded_i", " I ", PauliString::sparse({}), "I", true},
    {"unicode_padded_i", "\xE3\x80\x80I\xC2\xA0", PauliString::sparse({}), "I", true},
    {"dense_qubit0_last", "XIZ", PauliString::dense(Paulis{Z, I, X}), "XIZ", false},
    {"dense_identity", "II", PauliString::dense(Paulis{I, I}), "II", true},
    {"dense_trimmed", "\tYX\n", PauliString::dense(Paulis{X, Y}), "YX", false},
    {"sparse_written_order", "x0 Y3  z1", PauliString::sparse(Terms{{0, X}, {3, Y}, {1, Z}}), "X0 Y3 Z1", false},
    {"sparse_leading_zeros", "Z007", PauliString::sparse(Terms{{7, Z}}), "Z7", false},
    {"sparse_unicode_separators", "\xE2\x80\x83X0\xE2\x80\xA8\xE2\x80\x83z12\xE3\x80\x80",
     PauliString::sparse(Terms{{0, X}, {12, Z}}), "X0 Z12", false},
    {"sparse_largest_index", "Y18446744073709551615",
     PauliString::sparse(Terms{{18446744073709551615u, Y}}), "Y18446744073709551615", false},
};
INSTANTIATE_TEST_SUITE_P(Texts, Parse, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FailCase {
  const char* name;
  std::string text;
  std::string description;
};

class ParseFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(ParseFailure, Description) {
  const FailCase& c = GetParam();
  const auto got = PauliString::parse(c.text);
  ASSERT_FALSE(got.has_value()) << got->to_string();
  EXPECT_EQ(got.error().kind, ErrorKind::PauliStringParsingError);
  EXPECT_EQ(got.error().message(), "Pauli string parsing error: " + c.description);
  EXPECT_TRUE(pelmar::text::is_valid_utf8(got.error().message()));
}

const FailCase kFailCases[] = {
    {"duplicate", "X1 Y1", "duplicate Pauli operator on qubit 1 in string: 'X1 Y1'"},
    {"duplicate_leading_zero", " X1 Z01 ", "duplicate Pauli operator on qubit 1 in string: 'X1 Z01'"},
    {"bad_letter", "X1 Q2", "invalid sparse Pauli term: 'Q2' in string: 'X1 Q2'"},
    {"letter_alone", "X 1", "invalid sparse Pauli term: 'X' in string: 'X 1'"},
    {"identity_term", "I0", "invalid sparse Pauli term: 'I0' in string: 'I0'"},
    {"sign_sparse", "-X0", "invalid sparse Pauli term: '-X0' in string: '-X0'"},
    {"trailing_letter", "X0a", "invalid sparse Pauli term: 'X0a' in string: 'X0a'"},
    {"two_letters", "XY0", "invalid sparse Pauli term: 'XY0' in string: 'XY0'"},
    // The first failing term decides, whatever comes later.
    {"first_failure_wins", "Q1 X2 X2", "invalid sparse Pauli term: 'Q1' in string: 'Q1 X2 X2'"},
    {"duplicate_before_bad_term", "X2 X2 Q1", "duplicate Pauli operator on qubit 2 in string: 'X2 X2 Q1'"},
    {"index_overflow", "X99999999999999999999", "invalid qubit index: 99999999999999999999"},
    {"index_one_past_max", "Z18446744073709551616", "invalid qubit index: 18446744073709551616"},
    // Decimal digits of other scripts match the term but are not read as an index.
    {"fullwidth_digit", "X\xEF\xBC\x91 Z0", "invalid qubit index: \xEF\xBC\x91"},
    {"mixed_digits", "Y1\xD9\xA3", "invalid qubit index: 1\xD9\xA3"},
    {"dense_lower_case", "XyZ", "invalid character 'y' at position 1 in dense PauliString"},
    {"dense_inner_space", "X Z", "invalid character ' ' at position 1 in dense PauliString"},
    {"dense_sign", "-XZ", "invalid character '-' at position 0 in dense PauliString"},
    {"dense_double_i", "ii", "invalid character 'i' at position 0 in dense PauliString"},
    // Positions count characters, not bytes, and the character is quoted whole.
    {"dense_multibyte_position", "\xC3\x89X\xE2\x98\x83", "invalid character '\xC3\x89' at position 0 in dense PauliString"},
    {"dense_after_multibyte", "XX\xE2\x98\x83", "invalid character '\xE2\x98\x83' at position 2 in dense PauliString"},
    {"dense_emoji", "ZZZ\xF0\x9F\x98\x80", "invalid character '\xF0\x9F\x98\x80' at position 3 in dense PauliString"},
    // Only ASCII digits make a text sparse.
    {"dense_arabic_digit", "X\xD9\xA3", "invalid character '\xD9\xA3' at position 1 in dense PauliString"},
    // A malformed byte is one character, quoted as U+FFFD so the message stays valid UTF-8.
    {"dense_malformed_byte", "X\xFFZ", "invalid character '\xEF\xBF\xBD' at position 1 in dense PauliString"},
    {"sparse_malformed_byte", "X\xFF" "0", "invalid sparse Pauli term: 'X\xEF\xBF\xBD" "0' in string: 'X\xEF\xBF\xBD" "0'"},
};
INSTANTIATE_TEST_SUITE_P(Texts, ParseFailure, ::testing::ValuesIn(kFailCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PauliStringValue, PrintingAndIdentityOfBuiltValues) {
  EXPECT_EQ(PauliString::dense({}).to_string(), "I");
  EXPECT_TRUE(PauliString::dense({}).is_identity());
  EXPECT_FALSE(PauliString::dense({I, Y, I}).is_identity());
  EXPECT_EQ(PauliString::dense({X, Y, Z, I}).to_string(), "IZYX");
  EXPECT_EQ(PauliString::sparse({{12, Z}, {0, X}}).to_string(), "Z12 X0");
  // The dense identity and the empty sparse form are different values of the same operator.
  EXPECT_NE(PauliString::dense({}), PauliString::sparse({}));
}

TEST(PauliStringValue, PrintThenParseRoundTrips) {
  for (const char* text : {"XIZ", "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY", "X0 Y3 Z1",
                           "Z18446744073709551615 X0"}) {
    const auto p = PauliString::parse(text);
    ASSERT_TRUE(p.has_value()) << text;
    EXPECT_EQ(p->to_string(), text);
    EXPECT_EQ(PauliString::parse(p->to_string()), p);
  }
}

}  // namespace
