#include "app/depth_limit.h"

#include <gtest/gtest.h>

namespace vellox {
namespace {

TEST(DepthLimitTest, ReadsLikeAtoiAndClamps) {
  struct Case {
    const char* value;
    std::int32_t expected;
  } cases[] = {
      {"", 0},           {"2", 2},
      {"-1", -1},        {"-5", -5},
      {"3x", 3},         {"x3", 0},
      {"  \t\n7", 7},    {"+4", 4},
      {"-", 0},          {"- 3", 0},
      {"007", 7},        {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"99999999999999999999999", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-99999999999999999999999", -2147483647 - 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseDepthLimit(c.value), c.expected) << "'" << c.value << "'";
}

}  // namespace
}  // namespace vellox
