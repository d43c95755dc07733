// The rixgrid tool's subcommands. Each lives in its own file and registers
// itself with a static TCommandRegistration:
//
//   static TCommandRegistration Reg({"stream", "dump"}, "FILE", "print a stream as text", RunDump);
//
// main() picks the command whose words match the start of the arguments,
// longest first, and passes it the rest.
#pragma once

#include <string>
#include <vector>

class TComponent;

namespace rixgrid {

// Raised for bad command lines: the tool prints the usage and exits with 2.
struct TUsageError {
  std::string Message;
};

using TCommandProc = int (*)(const std::vector<std::string>& Args);

struct TCommand {
  std::vector<std::string> Words;
  std::string ArgsHelp;
  std::string Summary;
  TCommandProc Run;
};

struct TCommandRegistration {
  TCommandRegistration(std::vector<std::string> Words, std::string ArgsHelp, std::string Summary, TCommandProc Run);
};

const std::vector<TCommand>& Commands();
// Runs the tool; returns the exit code (0 done, 1 failed, 2 bad usage).
int RunTool(const std::vector<std::string>& Args);

// Whole-file helpers shared by the commands.
std::string ReadFileBytes(const std::string& FileName);
// Writes through a temporary file renamed over FileName, so a failure never
// leaves a half-written file.
void WriteFileBytes(const std::string& FileName, const std::string& Bytes);

// The first table of an SQLite database, in creation order.
std::string FirstTable(TComponent* Owner, const std::string& Database);
// The first user table on a PostgreSQL server, in creation order.
std::string FirstPgTable(TComponent* Owner, const std::string& ConnInfo);
// Reads a form file in the text form (an "object Name: TRixDBGrid ... end"
// block) into Root; errors name the file.
void LoadFormFile(TComponent* Root, const std::string& FileName);

} // namespace rixgrid
