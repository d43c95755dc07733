#include "platform/core/Streams.h"
#include "platform/core/Checked.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// ---- TStream ---------------------------------------------------------------

std::int64_t TStream::Size() {
  std::int64_t pos = Seek(0, soCurrent);
  std::int64_t end = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return end;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("Stream does not support resizing"); }

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count)) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  std::int64_t result = Count;
  std::vector<char> buf(static_cast<size_t>(std::min<std::int64_t>(Count, 1 << 16)) + 1);
  while (Count > 0) {
    std::int64_t n = std::min<std::int64_t>(Count, static_cast<std::int64_t>(buf.size()));
    Source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    Count -= n;
  }
  return result;
}

// ---- TMemoryStream ---------------------------------------------------------

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  std::int64_t n = std::min(Count, Size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  std::int64_t end = rix::CheckedAdd(FPosition, Count);
  if (end > Size()) FData.resize(static_cast<size_t>(end));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

std::int64_t TMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
  std::int64_t pos = rix::CheckedAdd(base, Offset);
  if (pos < 0) throw EStreamError("Seek before the start of the stream");
  FPosition = pos;
  return FPosition;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Negative stream size");
  FData.resize(static_cast<size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  std::int64_t n = Stream.Size();
  std::vector<std::uint8_t> data(static_cast<size_t>(n));
  Stream.ReadBuffer(data.data(), n);
  FData = std::move(data);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead);
  LoadFromStream(f);
}

void TMemoryStream::SaveToStream(TStream& Stream) { Stream.WriteBuffer(FData.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(f);
}

// ---- TFileStream -----------------------------------------------------------

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FFileName(FileName) {
  if (Mode == fmCreate) {
    FHandle = ::open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0)
      throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
    return;
  }
  int flags = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
  FHandle = ::open(FileName.c_str(), flags | O_CLOEXEC);
  if (FHandle < 0) throw EFOpenError("Cannot open file \"" + FileName + "\". " + std::strerror(errno));
  struct stat st {};
  if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    throw EFOpenError("Cannot open file \"" + FileName + "\". It is a directory");
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  std::int64_t total = 0;
  auto* p = static_cast<char*>(Buffer);
  while (total < Count) {
    ssize_t n = ::read(FHandle, p + total, static_cast<size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
  std::int64_t total = 0;
  auto* p = static_cast<const char*>(Buffer);
  while (total < Count) {
    ssize_t n = ::write(FHandle, p + total, static_cast<size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  if (r < 0) throw EStreamError("Seek error in \"" + FFileName + "\". " + std::strerror(errno));
  return r;
}

void TFileStream::SetSize(std::int64_t NewSize) {
  if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError("Cannot resize \"" + FFileName + "\". " + std::strerror(errno));
}

// ---- SaveFileReplacing --------------------------------------------------------

void SaveFileReplacing(const std::string& Name, const void* Data, std::int64_t Size) {
  // A symbolic link keeps pointing at the file it names, which is replaced.
  std::string FileName = Name;
  std::error_code linkError;
  if (std::filesystem::is_symlink(Name, linkError)) {
    std::filesystem::path target = std::filesystem::canonical(Name, linkError);
    if (!linkError) FileName = target.string();
  }
  struct stat old {};
  const bool replacing = ::stat(FileName.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode))
    throw EFCreateError("Cannot create file \"" + FileName + "\". It is a directory");
  // A name nobody else uses, created exclusively (a leftover is never reused).
  std::string temp;
  int fd = -1;
  for (unsigned n = 0; fd < 0; ++n) {
    temp = FileName + ".~" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || n >= 100))
      throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(errno));
  }
  auto fail = [&](const std::string& What, int Error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    throw EWriteError(What + " \"" + FileName + "\". " + std::strerror(Error));
  };
  const auto* p = static_cast<const char*>(Data);
  for (std::int64_t left = Size; left > 0;) {
    ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("Cannot write file", n < 0 ? errno : ENOSPC);
    p += n;
    left -= n;
  }
  if (replacing) (void)::fchmod(fd, old.st_mode & 07777);
  if (::fsync(fd) != 0 && errno != EINVAL) fail("Cannot write file", errno);
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) fail("Cannot write file", errno);
  if (::rename(temp.c_str(), FileName.c_str()) != 0) fail("Cannot create file", errno);
}
