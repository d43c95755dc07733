// Running the rixgrid tool the way a user does: a scratch directory, the
// command's exit code and its captured output.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& P) {
  std::ifstream f(P, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void Spit(const fs::path& P, const std::string& S) {
  std::ofstream f(P, std::ios::binary);
  f << S;
}

struct TRun {
  int Code;
  std::string Out, Err;
};

// Each fixture gets its own scratch directory, named by Tag and the process.
class TToolTest : public testing::Test {
protected:
  explicit TToolTest(const std::string& Tag)
      : Tool(fs::path(RIX_BINARY_DIR) / "bin" / "rixgrid"),
        Dir(fs::temp_directory_path() / (Tag + "-" + std::to_string(::getpid()))) {}

  void SetUp() override { fs::create_directories(Dir); }
  void TearDown() override { fs::remove_all(Dir); }

  // Prefix goes in front of the tool, e.g. an environment setting.
  TRun Exec(const std::string& Args, const std::string& Prefix = "") {
    fs::path out = Dir / "stdout", err = Dir / "stderr";
    std::string cmd = Prefix + Tool.string() + " " + Args + " >" + out.string() + " 2>" + err.string();
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }

  fs::path Tool, Dir;
};

}  // namespace tooltest
