// A test-only SQLite VFS over the default one that fails one chosen file
// operation: the Nth read, write, sync or lock after arming, with an I/O
// error, "disk full" or "busy". Registered as the default VFS while a
// TFaultVfs lives, so code under test that opens databases normally goes
// through it; a checker opens its own connection with the "unix" VFS.
#pragma once

#include <sqlite3.h>

#include <cstring>

namespace rixtest {

enum class TFault { IoError, DiskFull, Busy };

class TFaultVfs {
public:
  TFaultVfs() {
    Self() = this;
    FBase = sqlite3_vfs_find(nullptr);
    FVfs = *FBase;
    FVfs.zName = "rixfault";
    FVfs.szOsFile = static_cast<int>(sizeof(TFile)) + FBase->szOsFile;
    FVfs.xOpen = &Open;
    sqlite3_vfs_register(&FVfs, 1);
  }
  ~TFaultVfs() {
    sqlite3_vfs_unregister(&FVfs);
    sqlite3_vfs_register(FBase, 1);
    Self() = nullptr;
  }
  TFaultVfs(const TFaultVfs&) = delete;
  TFaultVfs& operator=(const TFaultVfs&) = delete;

  // Fails the Nth operation counted from now (1 = the next one).
  void Arm(long N, TFault Kind) {
    FCountdown = N;
    FKind = Kind;
    FFired = false;
    FCounted = 0;
  }
  void Disarm() { FCountdown = 0; }
  bool Fired() const { return FFired; }
  // Operations seen since the last Arm (to size a sweep).
  long Counted() const { return FCounted; }

private:
  struct TFile {
    sqlite3_file Base;          // our methods
    sqlite3_file* Real;         // the wrapped file, right after this struct
  };

  static TFaultVfs*& Self() {
    static TFaultVfs* self = nullptr;
    return self;
  }
  static sqlite3_file* Real(sqlite3_file* F) { return reinterpret_cast<TFile*>(F)->Real; }

  // Counts one operation; answers the error to give, or SQLITE_OK.
  static int Tick(int IoErrCode) {
    TFaultVfs* v = Self();
    if (v == nullptr) return SQLITE_OK;
    ++v->FCounted;
    if (v->FCountdown <= 0 || --v->FCountdown > 0) return SQLITE_OK;
    v->FFired = true;
    switch (v->FKind) {
    case TFault::IoError: return IoErrCode;
    case TFault::DiskFull: return SQLITE_FULL;
    case TFault::Busy: return SQLITE_BUSY;
    }
    return SQLITE_OK;
  }

  static int Close(sqlite3_file* F) {
    sqlite3_file* r = Real(F);
    int rc = r->pMethods != nullptr ? r->pMethods->xClose(r) : SQLITE_OK;
    return rc;
  }
  static int Read(sqlite3_file* F, void* Buf, int Amt, sqlite3_int64 Off) {
    if (int rc = Tick(SQLITE_IOERR_READ)) return rc;
    return Real(F)->pMethods->xRead(Real(F), Buf, Amt, Off);
  }
  static int Write(sqlite3_file* F, const void* Buf, int Amt, sqlite3_int64 Off) {
    if (int rc = Tick(SQLITE_IOERR_WRITE)) return rc;
    return Real(F)->pMethods->xWrite(Real(F), Buf, Amt, Off);
  }
  static int Truncate(sqlite3_file* F, sqlite3_int64 Size) { return Real(F)->pMethods->xTruncate(Real(F), Size); }
  static int Sync(sqlite3_file* F, int Flags) {
    if (int rc = Tick(SQLITE_IOERR_FSYNC)) return rc;
    return Real(F)->pMethods->xSync(Real(F), Flags);
  }
  static int FileSize(sqlite3_file* F, sqlite3_int64* Size) { return Real(F)->pMethods->xFileSize(Real(F), Size); }
  static int Lock(sqlite3_file* F, int Level) {
    if (int rc = Tick(SQLITE_IOERR_LOCK)) return rc;
    return Real(F)->pMethods->xLock(Real(F), Level);
  }
  static int Unlock(sqlite3_file* F, int Level) { return Real(F)->pMethods->xUnlock(Real(F), Level); }
  static int CheckReserved(sqlite3_file* F, int* Out) {
    return Real(F)->pMethods->xCheckReservedLock(Real(F), Out);
  }
  static int FileControl(sqlite3_file* F, int Op, void* Arg) {
    return Real(F)->pMethods->xFileControl(Real(F), Op, Arg);
  }
  static int SectorSize(sqlite3_file* F) { return Real(F)->pMethods->xSectorSize(Real(F)); }
  static int Characteristics(sqlite3_file* F) { return Real(F)->pMethods->xDeviceCharacteristics(Real(F)); }

  static int Open(sqlite3_vfs* Vfs, const char* Name, sqlite3_file* F, int Flags, int* OutFlags) {
    // Version 1 methods: no shared memory (rollback journals only) and no
    // memory mapping, so every page goes through the counted calls.
    static const sqlite3_io_methods methods = {1,           &Close,     &Read,          &Write,
                                               &Truncate,   &Sync,      &FileSize,      &Lock,
                                               &Unlock,     &CheckReserved, &FileControl, &SectorSize,
                                               &Characteristics, nullptr, nullptr, nullptr,
                                               nullptr,     nullptr,    nullptr};
    TFaultVfs* v = Self();
    auto* file = reinterpret_cast<TFile*>(F);
    std::memset(file, 0, sizeof(TFile));
    file->Real = reinterpret_cast<sqlite3_file*>(file + 1);
    int rc = v->FBase->xOpen(v->FBase, Name, file->Real, Flags, OutFlags);
    // SQLite calls xClose only when pMethods is set: a failed open leaves it null.
    file->Base.pMethods = file->Real->pMethods != nullptr ? &methods : nullptr;
    (void)Vfs;
    return rc;
  }

  sqlite3_vfs* FBase = nullptr;
  sqlite3_vfs FVfs{};
  long FCountdown = 0;
  long FCounted = 0;
  TFault FKind = TFault::IoError;
  bool FFired = false;
};

} // namespace rixtest
