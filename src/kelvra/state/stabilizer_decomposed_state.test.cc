#include "kelvra/state/stabilizer_decomposed_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kelvra {
namespace {

struct QargsCase {
  const char* id;
  std::size_t n;
  std::vector<std::size_t> qargs;
  std::optional<Error> error;
};

std::ostream& operator<<(std::ostream& os, const QargsCase& c) { return os << c.id; }

class ValidateQargs : public ::testing::TestWithParam<QargsCase> {};

TEST_P(ValidateQargs, ReportsFirstFailureInFixedOrder) {
  const auto& c = GetParam();
  const std::vector<std::size_t> before = c.qargs;
  const Status s = StabilizerDecomposedState::validate_qargs(c.n, c.qargs);
  if (c.error) {
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error(), *c.error);
  } else {
    EXPECT_TRUE(s);
  }
  EXPECT_EQ(c.qargs, before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ValidateQargs,
    ::testing::Values(
        QargsCase{"Empty", 3, {}, Error::empty_qubit_indices()},
        QargsCase{"EmptyOnZeroQubits", 0, {}, Error::empty_qubit_indices()},
        QargsCase{"BoundsBeforeDuplicates", 3, {1, 1, 5}, Error::qubit_index_out_of_bounds(5, 3)},
        QargsCase{"FirstOutOfRangeInListOrder", 4, {9, 0, 4}, Error::qubit_index_out_of_bounds(9, 4)},
        QargsCase{"SmallestRepeatNotFirstRepeat", 5, {4, 2, 4, 2}, Error::duplicate_qubit_index(2)},
        QargsCase{"RepeatFarApart", 8, {7, 0, 3, 5, 0}, Error::duplicate_qubit_index(0)},
        QargsCase{"SingleValid", 1, {0}, std::nullopt},
        QargsCase{"SingleOnZeroQubits", 0, {0}, Error::qubit_index_out_of_bounds(0, 0)},
        QargsCase{"Permutation", 4, {3, 1, 0, 2}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.id); });

}  // namespace
}  // namespace kelvra
