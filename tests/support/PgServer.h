// A private PostgreSQL server for one test process: initdb into a scratch
// directory, listening only on a Unix socket there (no TCP port), stopped and
// removed when the process ends, also when it dies: a watchdog outside the
// process does that once the process is gone. Run as root, the server runs as
// the unprivileged system user "rixpg", created the first time. The
// benchmarks use it too.
//
//   TPgServer& pg = TPgServer::Shared();   // started on first use
//   pg.ConnInfo()                          // "host=/tmp/rixpg.X dbname=postgres user=postgres"
//   pg.Exec("CREATE TABLE ...");           // through a connection of its own
//   pg.Stop(); pg.Start();                 // a server going away and coming back
#pragma once

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace rixtest {

class TPgServer {
public:
  static TPgServer& Shared() {
    static TPgServer server;
    return server;
  }

  const std::string& ConnInfo() const { return FConnInfo; }
  const std::string& Dir() const { return FDir; }

  void Start() { Shell(AsServerUser(Bin("pg_ctl") + " -D " + FDir + "/data -l " + FDir + "/log -w -t 60 -o \"-c listen_addresses='' -k " + FDir + " -c fsync=off -c synchronous_commit=off -c full_page_writes=off\" start")); }
  void Stop() { Shell(AsServerUser(Bin("pg_ctl") + " -D " + FDir + "/data -w -m fast stop")); }

  // Runs SQL on a connection of the test's own; "" on success, else the
  // server's message.
  std::string TryExec(const std::string& Sql) {
    PGresult* r = Run(Sql);
    std::string err;
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK) err = PQerrorMessage(FConn);
    PQclear(r);
    return err;
  }
  void Exec(const std::string& Sql) {
    std::string err = TryExec(Sql);
    if (!err.empty()) throw std::runtime_error(err + " in: " + Sql);
  }
  // The first column of the first row, "" for none or NULL.
  std::string Query(const std::string& Sql) {
    PGresult* r = Run(Sql);
    std::string out;
    if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0) out = PQgetvalue(r, 0, 0);
    else if (PQresultStatus(r) != PGRES_TUPLES_OK) out = "error: " + std::string(PQerrorMessage(FConn));
    PQclear(r);
    return out;
  }
  // Drops everything the last test made.
  void Reset() { Exec("DROP SCHEMA public CASCADE; CREATE SCHEMA public"); }

  ~TPgServer() {
    if (FConn != nullptr) PQfinish(FConn);
    std::system((AsServerUser(Bin("pg_ctl") + " -D " + FDir + "/data -w -m immediate stop") + " >/dev/null 2>&1").c_str());
    std::filesystem::remove_all(FDir);
  }

private:
  TPgServer() {
    FBinDir = FindBinDir();
    if (FBinDir.empty()) throw std::runtime_error("no PostgreSQL server under /usr/lib/postgresql/*/bin (apt-get install postgresql)");
    char tmpl[] = "/tmp/rixpg.XXXXXX";
    if (::mkdtemp(tmpl) == nullptr) throw std::runtime_error("cannot make a scratch directory");
    FDir = tmpl;
    if (::geteuid() == 0) {
      // Another test process may be creating the user at the same moment.
      Shell("id -u rixpg >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin rixpg"
            " || id -u rixpg");
      Shell("chown rixpg " + FDir);
      FUser = "rixpg";
    }
    // Whatever happens to this process, the server and the directory go with it.
    Shell("setsid sh -c 'while kill -0 " + std::to_string(::getpid()) + " 2>/dev/null; do sleep 1; done; " +
          AsServerUser(Bin("pg_ctl") + " -D " + FDir + "/data -m immediate stop") + "; rm -rf " + FDir +
          "' </dev/null >/dev/null 2>&1 &");
    Shell(AsServerUser(Bin("initdb") + " -D " + FDir + "/data -U postgres -A trust -E UTF8 --locale=C --no-sync"));
    Start();
    FConnInfo = "host=" + FDir + " dbname=postgres user=postgres";
  }

  static std::string FindBinDir() {
    std::string best;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
      if (std::filesystem::exists(e.path() / "bin" / "initdb") && e.path().string() > best) best = e.path().string();
    return best.empty() ? best : best + "/bin";
  }
  std::string Bin(const char* Name) const { return FBinDir + "/" + Name; }
  std::string AsServerUser(const std::string& Cmd) const {
    return "cd " + FDir + " && " + (FUser.empty() ? Cmd : "runuser -u " + FUser + " -- " + Cmd);
  }
  static void Shell(const std::string& Cmd) {
    if (std::system((Cmd + " >/dev/null 2>&1").c_str()) != 0) throw std::runtime_error("failed: " + Cmd);
  }
  // Once more on a fresh connection when the server went away meanwhile.
  PGresult* Run(const std::string& Sql) {
    PGresult* r = PQexec(Conn(), Sql.c_str());
    if (PQstatus(FConn) == CONNECTION_OK) return r;
    PQclear(r);
    PQreset(FConn);
    return PQexec(FConn, Sql.c_str());
  }
  PGconn* Conn() {
    if (FConn != nullptr && PQstatus(FConn) != CONNECTION_OK) PQreset(FConn);
    if (FConn == nullptr) {
      FConn = PQconnectdb((FConnInfo + " options='-c client_min_messages=warning'").c_str());
    }
    return FConn;
  }

  std::string FBinDir, FDir, FUser, FConnInfo;
  PGconn* FConn = nullptr;
};

} // namespace rixtest
