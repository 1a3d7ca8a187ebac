#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace vellox {
namespace platform {
namespace {

const char kWildcards[] =
    "no file name holds '*' or '?', and the shell does not expand them here: give one PDF, or "
    "its folder to convert every PDF below it";

// A quote is in no file name: one in a path was kept by a backslash before
// it, and the message says how the path was most likely meant. Nor is a
// wildcard, which the message says too.
TEST(CommandLineTest, WhatNoFileNameHoldsIsRefusedWithTheWayToWriteIt) {
  struct Case {
    std::string path;     // as the C runtime's rule hands it over
    std::string advice;   // empty: accepted
  } cases[] = {
      {"C:\\My Books", ""},
      {"C:\\My Books\\", ""},
      {"C:\\My Books\" -j 2",  // typed: "C:\My Books\" -j 2
       "a backslash before a closing quote escapes it; write \"C:\\My Books\" or "
       "\"C:\\My Books\\\\\""},
      {"D:\"", "a backslash before a closing quote escapes it; write \"D:\" or \"D:\\\\\""},
      // Nor a wildcard, which no shell here expands; "\\?\" is no wildcard.
      {"*.pdf", kWildcards},
      {"C:\\Books\\book?.pdf", kWildcards},
      {"\\\\?\\C:\\Books\\book.pdf", ""},
      {"\\\\?\\C:\\Books\\*.pdf", kWildcards},
  };
  for (const Case& c : cases) {
    const Status status = CheckCommandLinePath(c.path);
    EXPECT_EQ(status.ok(), c.advice.empty()) << c.path;
    EXPECT_EQ(status.message(), c.advice) << c.path;
  }
}

// "/?" names no file on Windows, and asks for help; "/h" may name one.
TEST(CommandLineTest, SlashQuestionMarkAsksForHelp) {
  EXPECT_TRUE(IsHelpArgument("/?"));
  for (const char* argument : {"/h", "-?", "/?x", "?", ""}) EXPECT_FALSE(IsHelpArgument(argument));
}

}  // namespace
}  // namespace platform
}  // namespace vellox
