#include "base/status_or.h"

#include <gtest/gtest.h>

#include <string>

namespace vellox {
namespace {

TEST(StatusOrTest, HoldsAValueOrAFailure) {
  StatusOr<std::string> value = std::string("outline");
  ASSERT_TRUE(value.ok());
  EXPECT_TRUE(value.status().ok());
  EXPECT_EQ(*value, "outline");
  EXPECT_EQ(value->size(), 7u);

  StatusOr<std::string> failure = Status::Damaged("no startxref");
  EXPECT_FALSE(failure.ok());
  EXPECT_EQ(failure.status().code(), StatusCode::kDamaged);
  EXPECT_EQ(failure.status().message(), "no startxref");
}

// Asking a failure for its value stops the program with the failure's
// reason, never reads a value that is not there.
TEST(StatusOrDeathTest, TheValueOfAFailureStopsTheProgram) {
  const StatusOr<std::string> failure = Status::Damaged("no startxref");
  EXPECT_DEATH((void)failure.value(), "the value of a failure was asked for: no startxref");
  EXPECT_DEATH((void)failure->size(), "no startxref");
  EXPECT_DEATH((void)*StatusOr<int>(Status::IoError("gone")), "gone");
}

}  // namespace
}  // namespace vellox
