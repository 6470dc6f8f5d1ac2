#include "kelvra/qasm/line_patterns.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

namespace kelvra::qasm {
namespace {

// ---------------------------------------------------------------------------------------------
// Hand-derived expectations, including non-ASCII white space and digits.

struct QregCase {
  const char* id;
  std::string line;
  bool matches;
  std::string reg = "";
  std::string size = "";
};

const QregCase kQregCases[] = {
    {"plain", "qreg q[3];", true, "q", "3"},
    {"spaces_inside_brackets", "qreg q [ 3 ] ;", true, "q", "3"},
    {"tabs", "qreg\tq\t[\t3\t]\t;", true, "q", "3"},
    {"long_name", "qreg reg_A9[12];", true, "reg_A9", "12"},
    {"text_around", "xqreg q[2]; junk", true, "q", "2"},
    {"second_keyword_matches", "qreg qreg r[4];", true, "r", "4"},
    {"ideographic_space_and_arabic_digit", "qreg\u3000q[\u0663];", true, "q", "\u0663"},
    {"no_space_after_keyword", "qregq[3];", false},
    {"name_starts_with_digit", "qreg 1q[3];", false},
    {"empty_size", "qreg q[];", false},
    {"no_semicolon", "qreg q[3]", false},
    {"text_before_semicolon", "qreg q[3] x;", false},
    {"space_inside_number", "qreg q[1 2];", false},
    {"superscript_is_not_a_decimal_digit", "qreg q[\u00b2];", false},
    {"upper_case_keyword", "QREG q[3];", false},
};

class QregPattern : public testing::TestWithParam<QregCase> {};

TEST_P(QregPattern, MatchesAndGroups) {
  const QregCase& c = GetParam();
  const auto m = match_qreg(c.line);
  ASSERT_EQ(m.has_value(), c.matches);
  if (m) {
    EXPECT_EQ(m->reg, c.reg);
    EXPECT_EQ(m->size, c.size);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, QregPattern, testing::ValuesIn(kQregCases),
                         [](const auto& info) { return std::string(info.param.id); });

struct GateCase {
  const char* id;
  std::size_t arity;
  std::string line;
  bool matches;
  std::string name = "";
  std::vector<std::string> indices = {};
};

const GateCase kGateCases[] = {
    {"one", 1, "h q[0];", true, "h", {"0"}},
    {"space_before_semicolon", 1, "h q[0] ;", true, "h", {"0"}},
    {"name_run_starts_inside_word", 1, "xh q[0];", true, "xh", {"0"}},
    {"upper_case_letter_ends_the_name_run", 1, "Xh q[0];", true, "h", {"0"}},
    {"digit_before_name", 1, "1h q[0];", true, "h", {"0"}},
    {"underscore_in_name", 1, "my_gate q[0];", true, "my_gate", {"0"}},
    {"earlier_words_fail_then_match", 1, "foo bar h q[12];", true, "h", {"12"}},
    {"first_of_two_statements", 1, "h q[0]; x q[1];", true, "h", {"0"}},
    {"register_with_digits_and_underscore", 1, "t q1_A[7];", true, "t", {"7"}},
    {"no_break_space_and_bengali_digit", 1, "h\u00a0q[\u09e7];", true, "h", {"\u09e7"}},
    {"no_semicolon", 1, "hh q[0]", false},
    {"space_before_bracket", 1, "h q [0];", false},
    {"space_inside_bracket", 1, "h q[ 0];", false},
    {"no_space_after_name", 1, "hq[0];", false},
    {"register_starts_with_underscore", 1, "h _q[0];", false},
    {"parameter_list", 1, "rz(0.5) q[0];", false},
    {"two_operands_for_one", 1, "cx q[0], q[1];", false},
    {"measure_arrow", 1, "measure q[0] -> c[0];", false},
    {"two_no_space_after_comma", 2, "cx q[0],q[1];", true, "cx", {"0", "1"}},
    {"two_free_spacing", 2, "cx   q[0],   q[1] ;", true, "cx", {"0", "1"}},
    {"two_later_statement", 2, "foo q[0]; cx q[3], q[4];", true, "cx", {"3", "4"}},
    {"two_space_before_comma", 2, "cx q[0] , q[1];", false},
    {"two_space_before_bracket", 2, "cx q [0], q[1];", false},
    {"two_three_operands", 2, "ccx q[0], q[1], q[2];", false},
    {"three", 3, "ccx q[0], q[1], q[2];", true, "ccx", {"0", "1", "2"}},
    {"three_mixed_registers", 3, "ccx a[1],b[22],\tc[333];", true, "ccx", {"1", "22", "333"}},
    {"three_two_operands", 3, "ccx q[0], q[1];", false},
    {"arity_zero", 0, "h q[0];", false},
    {"arity_four", 4, "h q[0], q[1], q[2], q[3];", false},
};

class GatePattern : public testing::TestWithParam<GateCase> {};

TEST_P(GatePattern, MatchesAndGroups) {
  const GateCase& c = GetParam();
  const auto m = match_gate(c.line, c.arity);
  ASSERT_EQ(m.has_value(), c.matches);
  if (m) {
    EXPECT_EQ(m->name, c.name);
    for (std::size_t k = 0; k < 3; ++k)
      EXPECT_EQ(m->indices[k], k < c.indices.size() ? c.indices[k] : "") << "operand " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GatePattern, testing::ValuesIn(kGateCases),
                         [](const auto& info) { return std::string(info.param.id); });

// ---------------------------------------------------------------------------------------------
// Differential check against std::regex on ASCII lines, where its `\s` (the C locale's space
// class) and `\d` agree with White_Space and Nd.

const char* const kRegisterPattern = "([a-zA-Z][a-zA-Z0-9_]*)";

std::string gate_pattern(std::size_t arity) {
  std::string p = std::string("([a-z_]+)\\s+") + kRegisterPattern + "\\[(\\d+)\\]";
  for (std::size_t k = 1; k < arity; ++k) p += std::string(",\\s*") + kRegisterPattern + "\\[(\\d+)\\]";
  return p + "\\s*;";
}

/// Random lines: statements built slot by slot from the patterns' own pieces, each slot sometimes
/// given a wrong piece, with random text before and after, so that matches, near misses and several
/// candidate start positions all occur often.
std::vector<std::string> random_lines(std::size_t count) {
  std::mt19937 rng(20240611);
  const auto pick = [&rng](std::initializer_list<const char*> options) {
    std::uniform_int_distribution<std::size_t> d(0, options.size() - 1);
    return std::string(options.begin()[d(rng)]);
  };
  std::bernoulli_distribution wrong(0.08);
  std::uniform_int_distribution<int> operands(1, 3);
  std::uniform_int_distribution<int> junk_pieces(0, 2);
  const auto slot = [&](std::initializer_list<const char*> good) {
    return wrong(rng) ? pick({"", " ", "[", "]", ",", ";", "_", "Q", "9", "qreg", "h q", "\f", "\r", "\x1c", "\x1f"}) : pick(good);
  };
  const auto junk = [&] {
    std::string j;
    for (int n = junk_pieces(rng); n > 0; --n) j += pick({"x", "qreg", "h", " ", ";", "q[1]", "1", "_", ",", "cx q"});
    return j;
  };
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i) {
    std::string s = junk();
    const bool qreg = wrong(rng) || i % 4 == 0;
    if (qreg) {
      s += "qreg" + slot({" ", "\t", "  "}) + slot({"q", "r1", "Ab_9"}) + slot({"", " "}) + "[" +
           slot({"", " "}) + slot({"0", "12", "007"}) + slot({"", " "}) + slot({"]"}) + slot({"", " "}) + slot({";"});
    } else {
      s += slot({"h", "cx", "ccx", "xh", "_a"}) + slot({" ", "\t", "\v "});
      for (int k = operands(rng); k > 0; --k) {
        s += slot({"q", "r1", "Ab_9"}) + slot({"["}) + slot({"0", "12", "3"}) + slot({"]"});
        if (k > 1) s += slot({","}) + slot({"", " ", "\t"});
      }
      s += slot({"", " "}) + slot({";"});
    }
    lines.push_back(s + junk());
  }
  return lines;
}

TEST(LinePatternsAgainstStdRegex, QregAgreesOnAsciiLines) {
  const std::regex re(std::string("qreg\\s+") + kRegisterPattern + "\\s*\\[\\s*(\\d+)\\s*\\]\\s*;");
  std::size_t matched = 0;
  for (const std::string& line : random_lines(20000)) {
    std::smatch sm;
    const bool expected = std::regex_search(line, sm, re);
    const auto m = match_qreg(line);
    ASSERT_EQ(m.has_value(), expected) << '"' << line << '"';
    if (!m) continue;
    ++matched;
    EXPECT_EQ(m->reg, sm.str(1)) << '"' << line << '"';
    EXPECT_EQ(m->size, sm.str(2)) << '"' << line << '"';
  }
  EXPECT_GT(matched, 500u) << "the generated lines should exercise matches";
}

class GatePatternAgainstStdRegex : public testing::TestWithParam<std::size_t> {};

TEST_P(GatePatternAgainstStdRegex, AgreesOnAsciiLines) {
  const std::size_t arity = GetParam();
  const std::regex re(gate_pattern(arity));
  std::size_t matched = 0;
  for (const std::string& line : random_lines(20000)) {
    std::smatch sm;
    const bool expected = std::regex_search(line, sm, re);
    const auto m = match_gate(line, arity);
    ASSERT_EQ(m.has_value(), expected) << '"' << line << '"';
    if (!m) continue;
    ++matched;
    EXPECT_EQ(m->name, sm.str(1)) << '"' << line << '"';
    for (std::size_t k = 0; k < arity; ++k) {
      EXPECT_EQ(m->regs[k], sm.str(2 + 2 * k)) << '"' << line << '"';
      EXPECT_EQ(m->indices[k], sm.str(3 + 2 * k)) << '"' << line << '"';
    }
  }
  EXPECT_GT(matched, 500u) << "the generated lines should exercise matches";
}

INSTANTIATE_TEST_SUITE_P(Arity, GatePatternAgainstStdRegex, testing::Values(1, 2, 3));

}  // namespace
}  // namespace kelvra::qasm
