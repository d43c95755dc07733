// Blob fields: binary data, memo text and pictures.
//
// Pictures. A graphic field exchanges pictures through an adapter. The
// built-in one stores a TPicture or TGraphic as its file bytes (BMP, PNG or
// JPEG, as loaded) and reads any of them back; RegisterGraphicFieldAdapter
// replaces it:
//   - Field->Assign(Picture) stores a picture: the adapter's SaveGraphic
//     writes Picture into bytes;
//   - Picture->Assign(Field) reaches TBlobField::AssignTo(Picture) (the
//     framework's Assign falls back on the source's AssignTo), where the
//     adapter's LoadGraphic reads the bytes into the picture.
// Objects that are no pictures raise EConvertError as for any unsupported
// pair. The raw bytes are always available through AsString,
// LoadFromStream and SaveToStream.
#pragma once

#include "platform/core/Streams.h"
#include "platform/data/Fields.h"

#include <functional>

class TBlobField : public TField {
  RIX_CLASS_NAME(TBlobField)
public:
  explicit TBlobField(TComponent* AOwner);
  bool IsBlob() const override { return true; }
  // Size of the stored data in bytes.
  std::int64_t BlobSize() const;
  // Replaces the value with Stream's bytes, all of them from the start.
  void LoadFromStream(TStream& Stream);
  // Writes the value at Stream's position.
  void SaveToStream(TStream& Stream) const;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName) const;
  void Assign(TPersistent* Source) override;

protected:
  void AssignTo(TPersistent* Dest) override;
  std::string GetAsString() const override;
  void SetAsStringValue(const std::string& Value) override;
  // "(BLOB)" / "(MEMO)" / "(GRAPHIC)", lower case when null.
  void GetText(std::string& Text, bool DisplayText) const override;
  TFieldValue Coerce(const TFieldValue& V) const override;
};

// Memo text (ftMemo, ftFmtMemo); AsString is the text.
class TMemoField : public TBlobField {
  RIX_CLASS_NAME(TMemoField)
public:
  explicit TMemoField(TComponent* AOwner);
  // ftFmtMemo for formatted memo fields.
  void SetMemoType(TFieldType Type);
};

class TGraphicField : public TBlobField {
  RIX_CLASS_NAME(TGraphicField)
public:
  explicit TGraphicField(TComponent* AOwner);
};

// See the file comment.
struct TGraphicFieldAdapter {
  // Writes the picture Source into Bytes; false when Source is no picture.
  std::function<bool(TPersistent* Source, std::string& Bytes)> SaveGraphic;
  // Loads Bytes into the picture Dest; false when Dest is no picture.
  std::function<bool(const std::string& Bytes, TPersistent* Dest)> LoadGraphic;
};
// An empty adapter brings the built-in picture adapter back.
void RegisterGraphicFieldAdapter(TGraphicFieldAdapter Adapter);
