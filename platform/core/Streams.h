// Byte streams: the base TStream, a growable memory stream and a file stream.
// Component streaming (ReadComponent/WriteComponent) lives in
// platform/streaming and works on any of these.
#pragma once

#include "platform/core/Classes.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  RIX_CLASS_NAME(TStream)
public:
  // Read and Write move at most Count bytes and return how many they moved.
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t NewSize);

  // Move exactly Count bytes or raise EReadError / EWriteError.
  void ReadBuffer(void* Buffer, std::int64_t Count);
  void WriteBuffer(const void* Buffer, std::int64_t Count);
  void WriteBytes(const std::string& Bytes) { WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size())); }
  // Copies Count bytes from Source (all of it from the start when Count is 0).
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

class TMemoryStream : public TStream {
  RIX_CLASS_NAME(TMemoryStream)
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> Data) : FData(std::move(Data)) {}
  explicit TMemoryStream(const std::string& Data) : FData(Data.begin(), Data.end()) {}

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
  void SetSize(std::int64_t NewSize) override;

  void Clear();
  const std::uint8_t* Memory() const { return FData.data(); }
  std::uint8_t* Memory() { return FData.data(); }
  const std::vector<std::uint8_t>& Data() const { return FData; }
  std::string DataString() const { return std::string(FData.begin(), FData.end()); }
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToStream(TStream& Stream);
  void SaveToFile(const std::string& FileName);

private:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};

enum : unsigned {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

class TFileStream : public TStream {
  RIX_CLASS_NAME(TFileStream)
public:
  // fmCreate creates the file or empties an existing one (EFCreateError when
  // that fails); the fmOpen modes open an existing file (EFOpenError).
  TFileStream(const std::string& FileName, unsigned Mode);
  ~TFileStream() override;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(std::int64_t NewSize) override;
  const std::string& FileName() const { return FFileName; }

private:
  std::string FFileName;
  int FHandle = -1;
};

// Writes Size bytes as the whole content of FileName through a new file
// beside it that then replaces it: a failure (no room, a directory in the
// way) leaves an existing file as it was and removes the new one. A file it
// replaces keeps its permissions; a symbolic link stays and its file is
// replaced. EFCreateError / EWriteError.
void SaveFileReplacing(const std::string& FileName, const void* Data, std::int64_t Size);
