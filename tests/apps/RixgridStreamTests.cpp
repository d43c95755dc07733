// Drives the rixgrid tool as a user would: its exit codes, output and files.
#include <RixDBGrids.h>

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

using tooltest::Slurp;
using tooltest::Spit;
using tooltest::TRun;

class RixgridStream : public tooltest::TToolTest {
protected:
  RixgridStream() : TToolTest("rixgrid-test") {}

  TRun Run(const std::string& Args) { return Exec(Args); }

  fs::path Source = RIX_SOURCE_DIR;
};

TEST_F(RixgridStream, BuildThenDumpGivesTheTextBack) {
  fs::path sample = Source / "resources/demo/sample.txt";
  fs::path bin = Dir / "sample.rixcols";
  TRun b = Run("stream build " + sample.string() + " -o " + bin.string());
  ASSERT_EQ(b.Code, 0) << b.Err;
  EXPECT_EQ(Slurp(bin).substr(0, 4), "TPF0");
  TRun d = Run("stream dump " + bin.string());
  ASSERT_EQ(d.Code, 0) << d.Err;
  EXPECT_EQ(d.Out, Slurp(sample));
  EXPECT_NE(d.Out.find("顧客番号"), std::string::npos);
  fs::path again = Dir / "again.txt", bin2 = Dir / "again.rixcols";
  Spit(again, d.Out);
  ASSERT_EQ(Run("stream build " + again.string() + " -o " + bin2.string()).Code, 0);
  EXPECT_EQ(Slurp(bin2), Slurp(bin));
}

TEST_F(RixgridStream, MalformedInputExitsWithOneLineOnStderr) {
  fs::path junk = Dir / "junk.bin", text = Dir / "bad.txt", out = Dir / "out.bin";
  Spit(junk, "TPF0\x05TJunk");
  Spit(text, "object T\n  A = 'unterminated\nend\n");
  Spit(out, "keep me");
  for (const std::string& args :
       {"stream dump " + junk.string(), "stream dump " + (Dir / "missing").string(),
        "stream build " + text.string() + " -o " + out.string()}) {
    TRun r = Run(args);
    EXPECT_EQ(r.Code, 1) << args;
    EXPECT_TRUE(r.Out.empty());
    ASSERT_FALSE(r.Err.empty());
    EXPECT_EQ(r.Err.find('\n'), r.Err.size() - 1) << r.Err;
    EXPECT_EQ(r.Err.rfind("rixgrid: ", 0), 0u) << r.Err;
  }
  EXPECT_EQ(Slurp(out), "keep me");
  EXPECT_NE(Run("stream build " + text.string() + " -o " + out.string()).Err.find("Line 2"), std::string::npos);
}

TEST_F(RixgridStream, BadUsageExitsWithTwo) {
  EXPECT_EQ(Run("").Code, 2);
  EXPECT_EQ(Run("stream").Code, 2);
  EXPECT_EQ(Run("stream dump").Code, 2);
  EXPECT_EQ(Run("stream build x").Code, 2);
  TRun help = Run("--help");
  EXPECT_EQ(help.Code, 0);
  EXPECT_NE(help.Out.find("stream dump"), std::string::npos);
}

} // namespace
