#include "apps/rixgrid/Commands.h"

#include <RixDBGrids.h>

#include <cstdio>
#include <memory>
#include <iostream>

namespace rixgrid {

namespace {
std::vector<TCommand>& Registry() {
  static std::vector<TCommand> r;
  return r;
}

void PrintUsage(std::ostream& Out) {
  Out << "usage: rixgrid COMMAND [ARGS]\n\ncommands:\n";
  for (const TCommand& c : Commands()) {
    std::string words;
    for (const std::string& w : c.Words) words += w + " ";
    Out << "  " << words << c.ArgsHelp << "\n      " << c.Summary << "\n";
  }
}

// Messages go out on one line.
std::string OneLine(std::string S) {
  for (char& c : S)
    if (c == '\n' || c == '\r') c = ' ';
  return S;
}
} // namespace

TCommandRegistration::TCommandRegistration(std::vector<std::string> Words, std::string ArgsHelp, std::string Summary,
                                           TCommandProc Run) {
  Registry().push_back({std::move(Words), std::move(ArgsHelp), std::move(Summary), Run});
}

const std::vector<TCommand>& Commands() { return Registry(); }

int RunTool(const std::vector<std::string>& Args) {
  if (Args.empty() || Args[0] == "-h" || Args[0] == "--help" || Args[0] == "help") {
    PrintUsage(Args.empty() ? std::cerr : std::cout);
    return Args.empty() ? 2 : 0;
  }
  const TCommand* best = nullptr;
  for (const TCommand& c : Commands()) {
    if (c.Words.size() > Args.size()) continue;
    bool match = true;
    for (size_t i = 0; i < c.Words.size(); ++i) match = match && c.Words[i] == Args[i];
    if (match && (best == nullptr || c.Words.size() > best->Words.size())) best = &c;
  }
  if (best == nullptr) {
    std::cerr << "rixgrid: unknown command '" << Args[0] << (Args.size() > 1 ? " " + Args[1] : "") << "'\n";
    PrintUsage(std::cerr);
    return 2;
  }
  std::vector<std::string> rest(Args.begin() + static_cast<std::ptrdiff_t>(best->Words.size()), Args.end());
  try {
    return best->Run(rest);
  } catch (const TUsageError& E) {
    std::string words;
    for (const std::string& w : best->Words) words += w + " ";
    std::cerr << "rixgrid: " << E.Message << "\nusage: rixgrid " << words << best->ArgsHelp << "\n";
    return 2;
  } catch (const std::exception& E) {
    std::cerr << "rixgrid: " << OneLine(E.what()) << "\n";
    return 1;
  }
}

std::string ReadFileBytes(const std::string& FileName) {
  TMemoryStream m;
  m.LoadFromFile(FileName);
  return m.DataString();
}

void WriteFileBytes(const std::string& FileName, const std::string& Bytes) {
  std::string tmp = FileName + ".tmp";
  try {
    TFileStream f(tmp, fmCreate);
    f.WriteBytes(Bytes);
  } catch (...) {
    std::remove(tmp.c_str());
    throw;
  }
  if (std::rename(tmp.c_str(), FileName.c_str()) != 0) {
    std::remove(tmp.c_str());
    throw EFCreateError("Cannot create file \"" + FileName + "\"");
  }
}

namespace {
std::string FirstRow(TDataSet* Q, const std::string& Database) {
  std::unique_ptr<TDataSet> owned(Q);
  Q->Open();
  if (Q->Eof()) throw EDatabaseError(Database + ": the database has no tables");
  return Q->Fields()->Fields(0)->AsString();
}
} // namespace

std::string FirstTable(TComponent* Owner, const std::string& Database) {
  auto* q = new TSQLiteDataSet(Owner);
  q->SetDatabaseName(Database);
  q->SetSQL("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid LIMIT 1");
  return FirstRow(q, Database);
}

std::string FirstPgTable(TComponent* Owner, const std::string& ConnInfo) {
  auto* q = new TPgDataSet(Owner);
  q->SetConnectionString(ConnInfo);
  q->SetSQL("SELECT c.oid::regclass::text FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
            " WHERE c.relkind IN ('r', 'p') AND n.nspname NOT IN ('pg_catalog', 'information_schema')"
            " AND n.nspname NOT LIKE 'pg_toast%' ORDER BY c.oid LIMIT 1");
  return FirstRow(q, ConnInfo);
}

void LoadFormFile(TComponent* Root, const std::string& FileName) {
  std::string binary;
  try {
    binary = rix::TextToBinary(ReadFileBytes(FileName));
  } catch (const EParserError& E) {
    throw EParserError(FileName + ": " + E.Message());
  }
  TMemoryStream s;
  s.Write(binary.data(), static_cast<std::int64_t>(binary.size()));
  s.SetPosition(0);
  try {
    ReadComponent(s, Root);
  } catch (const EReadError& E) {
    throw EReadError(FileName + ": " + E.Message());
  }
}

} // namespace rixgrid
