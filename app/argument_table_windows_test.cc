#include "app/argument_table.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "test_util.h"

// Where a relative name on the command line is taken from, when argument 0
// names the program by a path (a script, or PowerShell, a shortcut or
// "start", which pass the full path whatever was typed).
namespace vellox {
namespace {

using testing::ScratchDirectory;
using testing::WriteFile;

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((work + "\\sub").c_str(), nullptr));
    WriteFile(bin + "\\only-bin.pdf", "x");
    WriteFile(work + "\\only-work.pdf", "x");
    WriteFile(bin + "\\both.pdf", "x");
    WriteFile(work + "\\both.pdf", "x");
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));
  }
  void TearDown() override { SetCurrentDirectoryA(previous); }

  ScratchDirectory scratch;
  const std::string bin = scratch.Path("bin"), work = scratch.Path("work");
  char previous[MAX_PATH] = "";
};

TEST_F(ProgramFolderTest, ANameIsTakenFromWhereItIsTheProgramsFolderFirst) {
  const std::string program = bin + "\\vellox.exe";
  struct Case {
    std::string argument0;
    std::string argument;
    std::string resolved;
    std::string warning;  // empty: none
  } cases[] = {
      {program, "only-bin.pdf", bin + "\\only-bin.pdf", ""},
      {program, "only-work.pdf", work + "\\only-work.pdf", ""},
      {program, "sub", work + "\\sub", ""},
      {program, "both.pdf", bin + "\\both.pdf",
       "warning: 'both.pdf' is taken from the program's folder ('" + bin +
           "\\both.pdf'), not from the current directory ('" + work +
           "\\both.pdf'): for that one, give its full path (in PowerShell: \"$PWD\\both.pdf\")"},
      {program, ".", bin,
       "warning: '.' is taken from the program's folder ('" + bin +
           "'), not from the current directory ('" + work +
           "'): for that one, give its full path (in PowerShell: \"$PWD\")"},
      {program, work + "\\both.pdf", work + "\\both.pdf", ""},
      // Started without a path, or from its own folder: one place to look.
      {"vellox", "both.pdf", work + "\\both.pdf", ""},
      {"vellox", "neither.pdf", work + "\\neither.pdf", ""},
      {work + "\\vellox.exe", "neither.pdf", work + "\\neither.pdf", ""},
  };
  for (const Case& c : cases) {
    ArgumentTable table;
    const char* argv[] = {c.argument0.c_str()};
    table.Parse(1, argv);
    std::string resolved, warning;
    const Status status = table.ResolvePath(c.argument, &resolved, &warning);
    ASSERT_TRUE(status.ok()) << c.argument0 << " " << c.argument << ": " << status.message();
    EXPECT_EQ(resolved, c.resolved) << c.argument0 << " " << c.argument;
    EXPECT_EQ(warning, c.warning) << c.argument0 << " " << c.argument;
  }
}

TEST_F(ProgramFolderTest, ANameInNeitherPlaceNamesBoth) {
  ArgumentTable table;
  const std::string program = bin + "\\vellox.exe";
  const char* argv[] = {program.c_str()};
  table.Parse(1, argv);
  std::string resolved = "untouched";
  const Status status = table.ResolvePath("neither.pdf", &resolved);
  EXPECT_EQ(status.code(), StatusCode::kNotFound);
  EXPECT_EQ(status.message(), "it is in neither the program's folder ('" + bin +
                                  "\\neither.pdf') nor the current directory ('" + work +
                                  "\\neither.pdf')");
  EXPECT_EQ(resolved, "untouched");
}

}  // namespace
}  // namespace vellox
