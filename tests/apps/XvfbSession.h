// A private Xvfb display for tests that drive a real window: the tool runs
// in the background on it, xdotool types and clicks, and the test reads the
// tool's output and snapshots. Everything started is stopped again, also
// when the test fails.
#pragma once

#include "ToolTestSupport.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace tooltest {

inline bool HaveCommand(const std::string& Name) {
  return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

// Polls Ready every 100 ms for up to Seconds.
inline bool WaitUntil(const std::function<bool()>& Ready, double Seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
  for (;;) {
    if (Ready()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

class TXvfbSession {
public:
  explicit TXvfbSession(fs::path Dir) : FDir(std::move(Dir)) {}
  ~TXvfbSession() {
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) Stop(*it);
  }
  TXvfbSession(const TXvfbSession&) = delete;
  TXvfbSession& operator=(const TXvfbSession&) = delete;

  // Empty when the display is up; otherwise why not (a missing tool skips).
  std::string Start() {
    for (const char* tool : {"Xvfb", "xdotool"})
      if (!HaveCommand(tool)) return std::string(tool) + " is not installed";
    const fs::path displayFile = FDir / "display";
    // Xvfb picks a free display itself and writes its number when ready.
    FChildren.push_back(Spawn("exec Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -r 3>" +
                              displayFile.string() + " >" + (FDir / "xvfb.log").string() + " 2>&1"));
    if (!WaitUntil([&] { return Slurp(displayFile).find_first_of("0123456789") != std::string::npos; }, 15))
      return "no Xvfb display came up: " + Slurp(FDir / "xvfb.log");
    std::string n;
    for (char c : Slurp(displayFile))
      if (c >= '0' && c <= '9') n += c;
    Display = ":" + n;
    return {};
  }

  // Runs Command (a shell command line) on the display in the background,
  // its output going to Out and Err.
  pid_t Launch(const std::string& Command, const fs::path& Out, const fs::path& Err) {
    pid_t p = Spawn("DISPLAY=" + Display + " SDL_VIDEODRIVER=x11 exec " + Command + " >" + Out.string() + " 2>" +
                    Err.string());
    FChildren.push_back(p);
    return p;
  }

  // xdotool on the display; its exit code.
  int Xdotool(const std::string& Args) {
    const std::string cmd = "DISPLAY=" + Display + " timeout 20 xdotool " + Args + " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(cmd.c_str()));
  }
  // The first visible window whose name contains Name; "" when none shows.
  std::string FindWindow(const std::string& Name, double Seconds = 20) {
    std::string id;
    const fs::path out = FDir / "wid";
    WaitUntil(
        [&] {
          // SDL may create and destroy a window while it starts; xdotool can
          // trip over that, so the search is repeated.
          std::system(("DISPLAY=" + Display + " timeout 5 xdotool search --onlyvisible --name '" + Name + "' >" +
                       out.string() + " 2>/dev/null")
                          .c_str());
          std::string s = Slurp(out);
          id = s.substr(0, s.find('\n'));
          return !id.empty();
        },
        Seconds);
    return id;
  }
  bool Alive(pid_t P) const { return ::kill(P, 0) == 0; }

  std::string Display;

private:
  static pid_t Spawn(const std::string& ShellCommand) {
    pid_t p = ::fork();
    if (p == 0) {
      ::setpgid(0, 0);
      ::execl("/bin/sh", "sh", "-c", ShellCommand.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return p;
  }
  static void Stop(pid_t P) {
    if (P <= 0) return;
    ::kill(-P, SIGTERM);
    ::kill(P, SIGTERM);
    int status = 0;
    for (int i = 0; i < 50; ++i) {
      if (::waitpid(P, &status, WNOHANG) == P) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(-P, SIGKILL);
    ::kill(P, SIGKILL);
    ::waitpid(P, &status, 0);
  }

  fs::path FDir;
  std::vector<pid_t> FChildren;
};

} // namespace tooltest
