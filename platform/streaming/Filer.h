// TFiler, TReader and TWriter: the framework's binary component stream.
//
// A stream starts with the signature "TPF0", then the root component: its
// class name and name as short strings, its properties (name, then a tagged
// value) up to an end-of-list byte, its children, and another end-of-list
// byte. Numbers are little-endian. A short string is a length byte and that
// many bytes. Strings are UTF-8 bytes.
//
// The reader never trusts a length: every count is checked against the bytes
// left in the stream before anything is read or allocated, and every failure
// is an EReadError that names the byte offset and the property path
// ("Columns[2].Title.Font.Name").
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/Streams.h"
#include "platform/streaming/TypInfo.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum TValueType : std::uint8_t {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
  vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
  vaInt64, vaUTF8String
};

// Flags of the optional prefix byte ($F0 | flags) before a component's class.
enum TFilerFlag { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

class TFiler : public TObject {
  RIX_CLASS_NAME(TFiler)
public:
  using TReaderProc = std::function<void(TReader&)>;
  using TWriterProc = std::function<void(TWriter&)>;
  using TStreamProc = std::function<void(TStream&)>;

  explicit TFiler(TStream& Stream) : FStream(Stream) {}

  TStream& Stream() const { return FStream; }
  TComponent* Root() const { return FRoot; }
  // Also the root that component references are named relative to.
  void SetRoot(TComponent* Value) { FRoot = FLookupRoot = Value; }
  TComponent* LookupRoot() const { return FLookupRoot; }
  // The object this one is compared with when writing an inherited form;
  // nil for an ordinary stream.
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }

  // A property that is not published: ReadData/WriteData read or write its
  // value; HasData says whether the writer writes it at all.
  virtual void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  // The same for raw bytes, written as a binary value (length and data).
  virtual void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

  // The dotted path of the property being read or written, for messages.
  std::string PropPath() const;

protected:
  // Path segments: property names, "Columns[2]" for collection items.
  struct TPathScope {
    TPathScope(TFiler& F, std::string Segment) : FFiler(F) { FFiler.FPath.push_back(std::move(Segment)); }
    ~TPathScope() { FFiler.FPath.pop_back(); }
    TPathScope(const TPathScope&) = delete;
    TPathScope& operator=(const TPathScope&) = delete;
    TFiler& FFiler;
  };

  TStream& FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  std::vector<std::string> FPath;
};

class TReader : public TFiler {
  RIX_CLASS_NAME(TReader)
public:
  // Reads from the stream's current position up to its end.
  explicit TReader(TStream& Stream);
  ~TReader() override;

  // ---- values
  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList();
  void CheckValue(TValueType Value);
  void ReadSignature();
  void ReadListBegin() { CheckValue(vaList); }
  void ReadListEnd() { CheckValue(vaNull); }
  // Any of the three integer forms.
  std::int32_t ReadInteger();
  // A raw short string (no tag).
  std::string ReadStr();
  // vaString or vaLString.
  std::string ReadString();
  // vaIdent, or the Boolean and nil tags under their names.
  std::string ReadIdent();
  bool ReadBoolean();
  // After vaSet: the element names up to the empty one.
  std::vector<std::string> ReadSetNames();
  // vaBinary: the bytes.
  std::string ReadBinary();
  // The optional prefix byte before a component's class name.
  void ReadPrefix(int& Flags, std::int32_t& ChildPos);

  // ---- components and properties
  // Reads the stream's root into Root (its class name is read, not checked),
  // or into a new component of the stream's class when Root is nil. Sets
  // csLoading/csReading while reading, resolves component references, then
  // calls Loaded on every component read. On failure the components the
  // read created are freed and the states are cleared.
  TComponent* ReadRootComponent(TComponent* Root);
  // One property entry: the name (possibly a dotted path), then its value.
  void ReadProperty(TPersistent* Instance);
  // After the collection tag: the items, each appended with Add.
  void ReadCollection(TCollection* Collection);

  void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Absolute offset in the stream of the next byte.
  std::int64_t Position() const { return FPos; }
  std::int64_t Remaining() const { return FEnd - FPos; }
  // EReadError: Msg, where (the offset of the value being read) and which
  // property.
  [[noreturn]] void ReadError(const std::string& Msg) const { ErrorAt(FValueStart, Msg); }
  [[noreturn]] void ErrorAt(std::int64_t Offset, const std::string& Msg) const;
  // Bounds the nesting of lists, collections and components.
  static constexpr int MaxDepth = 64;

private:
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;
    std::string Path;
    std::int64_t Offset;
    std::vector<TPersistent*> Holders;
  };
  struct TDepthScope;

  void ReadBytes(void* Buffer, std::int64_t Count);
  std::uint8_t ReadByte();
  std::int64_t ReadLength();
  TComponent* ReadChild(TComponent* Parent);
  void ReadComponentBody(TComponent* Component);
  void ReadPropValue(TPersistent* Instance, const TPropInfo& Prop);
  void ReadObjectValue(TPersistent* Instance, const TPropInfo& Prop);
  void ReadMethodValue(TPersistent* Instance, const TPropInfo& Prop);
  std::int64_t ReadOrdValue(const TPropInfo& Prop);
  void FixupReferences();
  TComponent* FindReference(const std::string& Name) const;
  void DropFixups(const std::vector<TPersistent*>& Freed);
  // Runs Apply, turning an error of a setter into an EReadError with the
  // offset and path.
  void Guard(std::int64_t Offset, const std::function<void()>& Apply) const;

  std::int64_t FPos = 0;
  std::int64_t FEnd = 0;
  std::int64_t FValueStart = 0;
  int FDepth = 0;
  std::string FPropName;
  bool FPropFound = false;
  std::vector<TComponent*> FLoaded;
  std::vector<TComponent*> FCreated;
  std::vector<TFixup> FFixups;
  std::vector<TPersistent*> FHolders;
};

class TWriter : public TFiler {
  RIX_CLASS_NAME(TWriter)
public:
  explicit TWriter(TStream& Stream) : TFiler(Stream) {}

  // ---- values
  void WriteValue(TValueType Value);
  void WriteSignature();
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  // In the smallest of the three integer forms; beyond 32 bits raises.
  void WriteInteger(std::int64_t Value);
  // A raw short string; more than 255 bytes raises EWriteError.
  void WriteStr(const std::string& Value);
  // vaString up to 255 bytes, vaLString beyond.
  void WriteString(const std::string& Value);
  void WriteIdent(const std::string& Ident);
  void WriteBoolean(bool Value);
  void WriteSet(const std::vector<std::string>& Names);
  void WriteBinary(const std::string& Bytes);
  void WritePrefix(int Flags, std::int32_t ChildPos);

  // ---- components and properties
  void WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }
  // Writes Root as the stream's root, leaving out what equals Ancestor's.
  void WriteDescendent(TComponent* Root, TComponent* Ancestor);
  void WriteComponent(TComponent* Component);
  // The stored published properties, then the defined ones.
  void WriteProperties(TPersistent* Instance);
  void WriteCollection(TCollection* Value);
  // The name under the current nested-object path ("Title.Font." + Name).
  void WritePropName(const std::string& Name);

  void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

private:
  void WriteProperty(TPersistent* Instance, const TPropInfo& Prop);
  void WriteOrdProp(TPersistent* Instance, const TPropInfo& Prop);
  void WriteObjectProp(TPersistent* Instance, const TPropInfo& Prop);
  [[noreturn]] void WriteError(const std::string& Msg) const;
  void Bytes(const void* Data, std::int64_t Count) { FStream.WriteBuffer(Data, Count); }
  std::string ReferenceName(TComponent* Component) const;

  std::string FPropPrefix;
};

// Finds a component by name outside the stream's root, for references
// qualified by an owner the stream does not contain ("Form1.PopupMenu1").
using TFindGlobalComponent = std::function<TComponent*(const std::string& Name)>;
void RegisterFindGlobalComponent(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const std::string& Name);
// The framework's name of a value tag ("vaInt8"), for messages and dumps.
const char* ValueTypeName(int Tag);
