#include "platform/data/BlobFields.h"

#include "platform/core/Checked.h"
#include "platform/data/DataSet.h"
#include "platform/graphics/Picture.h"

#include <algorithm>
#include <cctype>

using namespace dbconsts;

namespace {

// Pictures travel through blob fields as their file bytes (BMP, PNG, JPEG),
// so a field filled by another program shows as it would there.
TGraphicFieldAdapter PictureAdapter() {
  TGraphicFieldAdapter a;
  a.SaveGraphic = [](TPersistent* Source, std::string& Bytes) {
    TMemoryStream s;
    if (auto* pic = dynamic_cast<TPicture*>(Source)) {
      if (pic->Graphic() != nullptr) pic->SaveToStream(s);
    } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
      if (!g->Empty()) g->SaveToStream(s);
    } else {
      return false;
    }
    Bytes = s.DataString();
    return true;
  };
  a.LoadGraphic = [](const std::string& Bytes, TPersistent* Dest) {
    auto* pic = dynamic_cast<TPicture*>(Dest);
    auto* g = dynamic_cast<TGraphic*>(Dest);
    if (pic == nullptr && g == nullptr) return false;
    TPicture loaded;
    if (!Bytes.empty()) {
      TMemoryStream s(Bytes);
      loaded.LoadFromStream(s);
    }
    if (pic != nullptr)
      pic->Assign(&loaded);
    else
      g->Assign(loaded.Graphic());
    return true;
  };
  return a;
}

TGraphicFieldAdapter& Adapter() {
  static TGraphicFieldAdapter A = PictureAdapter();
  return A;
}

} // namespace

void RegisterGraphicFieldAdapter(TGraphicFieldAdapter A) {
  Adapter() = A.SaveGraphic || A.LoadGraphic ? std::move(A) : PictureAdapter();
}

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

std::int64_t TBlobField::BlobSize() const {
  TFieldValue v;
  if (!GetData(v)) return 0;
  auto* s = std::get_if<std::string>(&v);
  return s != nullptr ? static_cast<std::int64_t>(s->size()) : 0;
}

std::string TBlobField::GetAsString() const {
  TFieldValue v;
  if (!GetData(v)) return {};
  auto* s = std::get_if<std::string>(&v);
  return s != nullptr ? *s : std::string();
}

void TBlobField::SetAsStringValue(const std::string& Value) {
  if (Value.empty())
    Clear();
  else
    SetData(Value);
}

TFieldValue TBlobField::Coerce(const TFieldValue& V) const {
  if (std::holds_alternative<std::string>(V)) return V;
  DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
}

void TBlobField::GetText(std::string& Text, bool DisplayText) const {
  std::string name = DataType() == ftFmtMemo ? "FMTMEMO" : DataType() == ftMemo ? "MEMO"
                     : DataType() == ftGraphic                    ? "GRAPHIC"
                                                                  : "BLOB";
  if (IsNull())
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  Text = "(" + name + ")";
}

void TBlobField::LoadFromStream(TStream& Stream) {
  std::int64_t size = Stream.Size();
  std::string bytes(static_cast<size_t>(size), '\0');
  Stream.SetPosition(0);
  if (size > 0) Stream.ReadBuffer(bytes.data(), size);
  SetAsStringValue(bytes);
}

void TBlobField::SaveToStream(TStream& Stream) const {
  std::string bytes = GetAsString();
  if (!bytes.empty()) Stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBlobField::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead);
  LoadFromStream(f);
}

void TBlobField::SaveToFile(const std::string& FileName) const {
  // Read the value before the file is created, so a failing read leaves an
  // existing file as it was.
  std::string bytes = GetAsString();
  TFileStream f(FileName, fmCreate);
  if (!bytes.empty()) f.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBlobField::Assign(TPersistent* Source) {
  if (Source == nullptr || dynamic_cast<TField*>(Source) != nullptr) {
    TField::Assign(Source);
    return;
  }
  std::string bytes;
  if (Adapter().SaveGraphic && Adapter().SaveGraphic(Source, bytes)) {
    SetAsStringValue(bytes);
    return;
  }
  TField::Assign(Source);
}

void TBlobField::AssignTo(TPersistent* Dest) {
  if (Adapter().LoadGraphic && Adapter().LoadGraphic(GetAsString(), Dest)) return;
  TField::AssignTo(Dest);
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftMemo); }

void TMemoField::SetMemoType(TFieldType Type) {
  if (Type != ftMemo && Type != ftFmtMemo) DatabaseError("A memo field is ftMemo or ftFmtMemo", this);
  SetDataType(Type);
}

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftGraphic); }
