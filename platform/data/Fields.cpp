#include "platform/data/Fields.h"

#include "platform/core/Checked.h"
#include "platform/data/DataSet.h"
#include "platform/data/ObjectFields.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

using namespace dbconsts;

// ---------------------------------------------------------------- TField

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

void TField::BeforeDestruction() {
  TComponent::BeforeDestruction();
  LeaveDataSet();
}

// A dataset cannot stay open with a field gone: its buffers are laid out for
// the fields it opened with. The field first stops being one the dataset
// would free on closing, since it is being freed already.
void TField::LeaveDataSet() {
  if (FDataSet == nullptr) return;
  auto& c = FDataSet->FCreatedFields;
  c.erase(std::remove(c.begin(), c.end(), this), c.end());
  if (FDataSet->Active()) {
    try {
      FDataSet->Close();
    } catch (...) {
      // Closing runs handlers; the field goes whatever they say.
    }
  }
}

TField::~TField() {
  LeaveDataSet();
  if (FFields != nullptr) FFields->Remove(this);
  if (FDataSet != nullptr) FDataSet->FFieldList->Invalidate();
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == FDataSet && FParentField == nullptr && FFields != nullptr) return;
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  if (ADataSet != nullptr) {
    ADataSet->CheckInactive();
    if (ADataSet->Fields()->FindField(FFieldName) != nullptr && !FFieldName.empty())
      DatabaseErrorFmt(SDuplicateFieldName, FFieldName, ADataSet);
  }
  if (FFields != nullptr) FFields->Remove(this);
  if (FDataSet != nullptr) FDataSet->FFieldList->Invalidate();
  FParentField = nullptr;
  FDataSet = ADataSet;
  if (ADataSet != nullptr) {
    ADataSet->FFields->Add(this);
    ADataSet->FFieldList->Invalidate();
  }
}

void TField::SetParentField(TObjectField* AField) {
  if (AField == FParentField) return;
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  if (FFields != nullptr) FFields->Remove(this);
  FParentField = AField;
  FDataSet = AField != nullptr ? AField->DataSet() : nullptr;
  if (AField != nullptr) AField->Fields()->Add(this);
  if (FDataSet != nullptr) FDataSet->FFieldList->Invalidate();
}

void TField::SetFieldName(const std::string& Value) {
  if (Value == FFieldName) return;
  if (FFields != nullptr && !Value.empty()) {
    TField* other = FFields->FindField(Value);
    if (other != nullptr && other != this) DatabaseErrorFmt(SDuplicateFieldName, Value, FDataSet);
  }
  FFieldName = Value;
  if (FDataSet != nullptr) FDataSet->FFieldList->Invalidate();
}

std::string TField::FullName() const {
  if (FParentField == nullptr) return FFieldName;
  if (FParentField->DataType() == ftArray) {
    // Elements are named "Parent[i]" already; qualify only the parent's path.
    std::string parent = FParentField->FullName();
    size_t dot = parent.rfind('.');
    return dot == std::string::npos ? FFieldName : parent.substr(0, dot + 1) + FFieldName;
  }
  return FParentField->FullName() + "." + FFieldName;
}

void TField::SetFieldKind(TFieldKind Value) {
  if (Value == FFieldKind) return;
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  FFieldKind = Value;
}

int TField::Index() const { return FFields != nullptr ? FFields->IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0) return;
  int count = FFields->Count();
  if (Value < 0) Value = 0;
  if (Value >= count) Value = count - 1;
  if (Value == cur) return;
  FFields->Move(cur, Value);
  PropertyChanged(true);
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (FDataSet != nullptr && FDataSet->Active())
    FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  PropertyChanged(false);
}

void TField::SetDisplayLabel(const std::string& Value) {
  std::string v = Value == FFieldName ? std::string() : Value;
  if (v == FDisplayLabel) return;
  FDisplayLabel = v;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(int Value) {
  if (Value < 0) DatabaseError("DisplayWidth cannot be negative", this);
  if (Value == FDisplayWidth) return;
  FDisplayWidth = Value;
  PropertyChanged(true);
}

void TField::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  PropertyChanged(false);
}

void TField::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  PropertyChanged(true);
}

void TField::SetEditMask(const std::string& Value) {
  FEditMask = Value;
  PropertyChanged(false);
}

void TField::SetSize(int Value) {
  if (Value < 0) DatabaseError("Size cannot be negative", this);
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  FSize = Value;
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  if (FLookupDataSet != nullptr) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

bool TField::CanModify() const {
  if (FReadOnly || FDataSet == nullptr || Calculated()) return false;
  if (FParentField != nullptr && !FParentField->CanModify()) return false;
  if (Lookup()) {
    if (FLookupDataSet == nullptr) return false;
    TField* key = FDataSet->FindField(FKeyFields);
    return key != nullptr && key->CanModify();
  }
  return FDataSet->CanModify();
}

// ---- raw data

bool TField::GetData(TFieldValue& Value) const {
  if (FDataSet == nullptr || FSlot < 0) {
    Value = TFieldValue{};
    return false;
  }
  const TRecBuf* b = FDataSet->ActiveRecBuf();
  if (b == nullptr || static_cast<size_t>(FSlot) >= b->Values.size()) {
    Value = TFieldValue{};
    return false;
  }
  Value = b->Values[static_cast<size_t>(FSlot)];
  return !IsNullValue(Value);
}

void TField::SetData(TFieldValue Value) {
  if (FDataSet == nullptr) DatabaseError("Field '" + DisplayName() + "' has no dataset", this);
  TDataSetState st = FDataSet->State();
  bool calc = Calculated() || Lookup();
  if (st == dsCalcFields) {
    if (!calc) DatabaseError(SNotEditing, FDataSet);
  } else {
    if (!IsEditMode(st)) DatabaseError(SNotEditing, FDataSet);
    if (FReadOnly || Calculated() || (FParentField != nullptr && FParentField->ReadOnly()))
      DatabaseErrorFmt(SFieldReadOnly, DisplayName(), FDataSet);
    if (Lookup()) {
      // Choosing a lookup value chooses the key it belongs to.
      if (FLookupDataSet == nullptr || !FLookupDataSet->Active()) DatabaseErrorFmt(SLookupInfoError, DisplayName(), FDataSet);
      TField* key = FDataSet->FieldByName(FKeyFields);
      key->SetValue(IsNullValue(Value) ? TFieldValue{}
                                       : FLookupDataSet->Lookup(FLookupResultField, {Value}, FLookupKeyFields));
      return;
    }
  }
  if (FSlot < 0) DatabaseError("Field '" + DisplayName() + "' has no value of its own", this);
  TRecBuf* b = FDataSet->ActiveRecBuf();
  if (b == nullptr) DatabaseError(SDataSetEmpty, FDataSet);
  TFieldValue coerced = IsNullValue(Value) ? Value : Coerce(Value);
  TFieldValue& slot = b->Values[static_cast<size_t>(FSlot)];
  if (st == dsCalcFields) {
    slot = std::move(coerced);
    return;
  }
  TFieldValue old = slot;
  slot = std::move(coerced);
  if (FOnValidate) {
    try {
      FOnValidate(this);
    } catch (...) {
      b->Values[static_cast<size_t>(FSlot)] = std::move(old);
      throw;
    }
  }
  FDataSet->DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(this));
  if (FOnChange) FOnChange(this);
}

bool TField::IsNull() const {
  if (auto* o = dynamic_cast<const TObjectField*>(this); o != nullptr && FSlot < 0) return o->IsNullObject();
  TFieldValue v;
  return !GetData(v);
}

void TField::Clear() { SetData(TFieldValue{}); }

TFieldValue TField::Value() const {
  TFieldValue v;
  GetData(v);
  return v;
}

void TField::SetValue(const TFieldValue& Value) { SetData(Value); }

int TField::AsInteger() const {
  std::int64_t v = GetAsLargeInt();
  return rix::CheckedCast<int>(v);
}

void TField::AccessError(const char* TypeName) const {
  DatabaseError("Cannot access field '" + DisplayName() + "' as type " + TypeName, FDataSet);
}

void TField::ConvertError(const std::string& Text) const {
  throw EConvertError("'" + Text + "' is not a valid value for field '" + DisplayName() + "'");
}

std::string TField::GetAsString() const { AccessError("String"); }
std::int64_t TField::GetAsLargeInt() const { AccessError("Integer"); }
double TField::GetAsFloat() const { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsStringValue(const std::string&) { AccessError("String"); }
void TField::SetAsLargeIntValue(std::int64_t) { AccessError("Integer"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
void TField::SetAsDateTimeValue(TDateTime) { AccessError("DateTime"); }

void TField::GetText(std::string& Text, bool) const { Text = GetAsString(); }

std::string TField::DisplayText() const {
  std::string s;
  if (FOnGetText)
    FOnGetText(const_cast<TField*>(this), s, true);
  else
    GetText(s, true);
  return s;
}

std::string TField::Text() const {
  std::string s;
  if (FOnGetText)
    FOnGetText(const_cast<TField*>(this), s, false);
  else
    GetText(s, false);
  return s;
}

void TField::SetText(const std::string& Value) {
  if (FOnSetText)
    FOnSetText(this, Value);
  else
    SetAsStringValue(Value);
}

void TField::FocusControl() {
  if (FDataSet == nullptr || !FDataSet->Active()) return;
  TField* self = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&self));
}

void TField::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    Clear();
    return;
  }
  if (auto* f = dynamic_cast<TField*>(Source)) {
    SetValue(f->Value());
    return;
  }
  TComponent::Assign(Source);
}

// ---------------------------------------------------------------- helpers

namespace rix {

bool TryStrToInt64(const std::string& Text, std::int64_t& V) {
  size_t a = Text.find_first_not_of(' ');
  size_t b = Text.find_last_not_of(' ');
  if (a == std::string::npos) return false;
  std::string t = Text.substr(a, b - a + 1);
  errno = 0;
  char* end = nullptr;
  long long r = std::strtoll(t.c_str(), &end, 10);
  if (errno != 0 || end == t.c_str() || *end != '\0') return false;
  V = r;
  return true;
}

bool TryStrToFloat(const std::string& Text, double& V) {
  size_t a = Text.find_first_not_of(' ');
  size_t b = Text.find_last_not_of(' ');
  if (a == std::string::npos) return false;
  std::string t;
  for (char c : Text.substr(a, b - a + 1))
    if (c != ',') t += c;  // thousands separators
  errno = 0;
  char* end = nullptr;
  double r = std::strtod(t.c_str(), &end);
  if (errno == ERANGE || end == t.c_str() || *end != '\0' || !std::isfinite(r)) return false;
  V = r;
  return true;
}

std::string FloatToStr(double V, int Precision) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*g", Precision, V);
  return buf;
}

std::string Utf8Truncate(const std::string& S, int MaxChars) {
  if (MaxChars <= 0) return S;
  int chars = 0;
  for (size_t i = 0; i < S.size(); ++i) {
    if ((static_cast<unsigned char>(S[i]) & 0xC0) != 0x80) {
      if (chars == MaxChars) return S.substr(0, i);
      ++chars;
    }
  }
  return S;
}

namespace {
// Days from 1899-12-30 (the TDateTime epoch) to the civil date.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 25569;  // 25569: 1899-12-30 .. 1970-01-01
}
void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468 - 25569;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}
bool ValidDate(int y, int m, int d) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}
} // namespace

TDateTime EncodeDateTime(int Y, int M, int D, int H, int N, int S, int MS) {
  if (!ValidDate(Y, M, D) || H < 0 || H > 23 || N < 0 || N > 59 || S < 0 || S > 59 || MS < 0 || MS > 999)
    throw EConvertError("Invalid date or time");
  double t = (H * 3600000.0 + N * 60000.0 + S * 1000.0 + MS) / 86400000.0;
  return static_cast<double>(DaysFromCivil(Y, M, D)) + t;
}

namespace {
// A value as whole days and the milliseconds into the last of them, rounded
// to the millisecond first, so 23:59:59.9996 becomes the next day.
void SplitDateTime(TDateTime V, std::int64_t& Day, std::int64_t& Rest) {
  const auto ms = static_cast<std::int64_t>(std::round(V * 86400000.0));
  Day = ms >= 0 ? ms / 86400000 : -((-ms + 86399999) / 86400000);
  Rest = ms - Day * 86400000;
}
} // namespace

TDateTime DatePart(TDateTime V) {
  std::int64_t day = 0, rest = 0;
  SplitDateTime(V, day, rest);
  return static_cast<double>(day);
}

TDateTime TimePart(TDateTime V) {
  std::int64_t day = 0, rest = 0;
  SplitDateTime(V, day, rest);
  // The same double EncodeDateTime makes of the hours, minutes, seconds and
  // milliseconds, so a time reads back equal from its text.
  return static_cast<double>(rest) / 86400000.0;
}

void DecodeDateTime(TDateTime V, int& Y, int& M, int& D, int& H, int& N, int& S, int& MS) {
  if (!std::isfinite(V) || std::fabs(V) > 3e6) throw EConvertError("Invalid date value");
  std::int64_t day = 0, rest = 0;
  SplitDateTime(V, day, rest);
  CivilFromDays(day, Y, M, D);
  H = static_cast<int>(rest / 3600000);
  N = static_cast<int>(rest / 60000 % 60);
  S = static_cast<int>(rest / 1000 % 60);
  MS = static_cast<int>(rest % 1000);
}

std::string FormatDateTimeFor(TFieldType Type, TDateTime V, bool Iso) {
  int y, m, d, h, n, s, ms;
  DecodeDateTime(V, y, m, d, h, n, s, ms);
  char date[32], time[32];
  std::snprintf(date, sizeof date, Iso ? "%04d-%02d-%02d" : "%04d/%02d/%02d", y, m, d);
  std::snprintf(time, sizeof time, Iso ? "%02d:%02d:%02d" : "%d:%02d:%02d", h, n, s);
  if (Type == ftDate) return date;
  if (Type == ftTime) return time;
  if (!Iso && h == 0 && n == 0 && s == 0) return date;
  return std::string(date) + " " + time;
}

bool TryParseDateTime(const std::string& Text, TDateTime& V) {
  int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0;
  char sep1 = 0, sep2 = 0;
  int consumed = 0;
  std::string t = Text;
  size_t a = t.find_first_not_of(' ');
  if (a == std::string::npos) return false;
  t = t.substr(a);
  bool haveDate = false, haveTime = false;
  if (std::sscanf(t.c_str(), "%d%c%d%c%d%n", &y, &sep1, &m, &sep2, &d, &consumed) == 5 && sep1 == sep2 &&
      (sep1 == '/' || sep1 == '-') && y > 31) {
    haveDate = true;
    t = t.substr(static_cast<size_t>(consumed));
    if (!t.empty() && (t[0] == ' ' || t[0] == 'T')) t = t.substr(1);
  }
  if (!t.empty()) {
    int hh = 0, nn = 0, ss = 0, c2 = 0;
    int got = std::sscanf(t.c_str(), "%d:%d%n:%d%n", &hh, &nn, &c2, &ss, &c2);
    if (got < 2) return false;
    std::string rest = t.substr(static_cast<size_t>(c2));
    // Fractions of a second are accepted and dropped.
    if (!rest.empty() && rest[0] == '.') rest = rest.substr(rest.find_first_not_of("0123456789", 1) == std::string::npos ? rest.size() : rest.find_first_not_of("0123456789", 1));
    if (rest.find_first_not_of(' ') != std::string::npos) return false;
    h = hh;
    n = nn;
    s = got >= 3 ? ss : 0;
    haveTime = true;
  }
  if (!haveDate && !haveTime) return false;
  try {
    V = haveDate ? EncodeDateTime(y, m, d, h, n, s) : EncodeDateTime(1899, 12, 30, h, n, s);
  } catch (const EConvertError&) {
    return false;
  }
  return true;
}

} // namespace rix

// ---------------------------------------------------------------- TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  SetSize(20);
}

std::string TStringField::GetAsString() const {
  TFieldValue v;
  if (!GetData(v)) return {};
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
}

std::int64_t TStringField::GetAsLargeInt() const {
  std::string s = GetAsString();
  std::int64_t r = 0;
  if (s.empty()) return 0;
  if (!rix::TryStrToInt64(s, r)) ConvertError(s);
  return r;
}

double TStringField::GetAsFloat() const {
  std::string s = GetAsString();
  double r = 0;
  if (s.empty()) return 0;
  if (!rix::TryStrToFloat(s, r)) ConvertError(s);
  return r;
}

bool TStringField::GetAsBoolean() const {
  std::string s = GetAsString();
  if (s.empty()) return false;
  switch (s[0]) {
    case 'T': case 't': case 'Y': case 'y': return true;
    case 'F': case 'f': case 'N': case 'n': return false;
    default: ConvertError(s);
  }
}

TDateTime TStringField::GetAsDateTime() const {
  std::string s = GetAsString();
  TDateTime r = 0;
  if (s.empty()) return 0;
  if (!rix::TryParseDateTime(s, r)) ConvertError(s);
  return r;
}

void TStringField::SetAsStringValue(const std::string& Value) { SetData(Value); }
void TStringField::SetAsLargeIntValue(std::int64_t Value) { SetData(std::to_string(Value)); }
void TStringField::SetAsFloatValue(double Value) { SetData(rix::FloatToStr(Value)); }
void TStringField::SetAsBooleanValue(bool Value) { SetData(std::string(Value ? "T" : "F")); }

TFieldValue TStringField::Coerce(const TFieldValue& V) const {
  std::string s;
  if (auto* p = std::get_if<std::string>(&V))
    s = *p;
  else if (auto* i = std::get_if<std::int64_t>(&V))
    s = std::to_string(*i);
  else if (auto* d = std::get_if<double>(&V))
    s = rix::FloatToStr(*d);
  else if (auto* b = std::get_if<bool>(&V))
    s = *b ? "T" : "F";
  else
    DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
  return rix::Utf8Truncate(s, Size());
}

// ---------------------------------------------------------------- numbers

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::SetDisplayFormat(const std::string& Value) {
  FDisplayFormat = Value;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const std::string& Value) {
  FEditFormat = Value;
  PropertyChanged(false);
}

TIntegerField::TIntegerField(TComponent* AOwner)
    : TIntegerField(AOwner, ftInteger, std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max(), 11) {}

TIntegerField::TIntegerField(TComponent* AOwner, TFieldType Type, std::int64_t Min, std::int64_t Max, int Width)
    : TNumericField(AOwner), FTypeMin(Min), FTypeMax(Max), FMinValue(Min), FMaxValue(Max), FWidth(Width) {
  SetDataType(Type);
}

void TIntegerField::SetRange(std::int64_t Min, std::int64_t Max) {
  if (Min == 0 && Max == 0) {
    FMinValue = FTypeMin;
    FMaxValue = FTypeMax;
    return;
  }
  if (Min > Max) DatabaseError("MinValue must not exceed MaxValue", this);
  FMinValue = std::max(Min, FTypeMin);
  FMaxValue = std::min(Max, FTypeMax);
}

void TIntegerField::CheckRange(std::int64_t Value) const {
  if (Value < FMinValue || Value > FMaxValue)
    DatabaseError(std::to_string(Value) + " is not a valid value for field '" + DisplayName() +
                      "'. The allowed range is " + std::to_string(FMinValue) + " to " + std::to_string(FMaxValue),
                  DataSet());
}

std::int64_t TIntegerField::GetAsLargeInt() const {
  TFieldValue v;
  if (!GetData(v)) return 0;
  if (auto* i = std::get_if<std::int64_t>(&v)) return *i;
  return 0;
}

std::string TIntegerField::GetAsString() const { return IsNull() ? std::string() : std::to_string(GetAsLargeInt()); }
double TIntegerField::GetAsFloat() const { return static_cast<double>(GetAsLargeInt()); }
bool TIntegerField::GetAsBoolean() const { return GetAsLargeInt() != 0; }

void TIntegerField::SetAsStringValue(const std::string& Value) {
  if (Value.find_first_not_of(' ') == std::string::npos) {
    Clear();
    return;
  }
  std::int64_t r = 0;
  if (!rix::TryStrToInt64(Value, r)) ConvertError(Value);
  SetAsLargeIntValue(r);
}

void TIntegerField::SetAsLargeIntValue(std::int64_t Value) {
  CheckRange(Value);
  SetData(Value);
}

void TIntegerField::SetAsFloatValue(double Value) {
  double r = std::round(Value);
  if (!std::isfinite(r) || r < -9.2e18 || r > 9.2e18) ConvertError(rix::FloatToStr(Value));
  SetAsLargeIntValue(static_cast<std::int64_t>(r));
}

void TIntegerField::SetAsBooleanValue(bool Value) { SetAsLargeIntValue(Value ? 1 : 0); }

void TIntegerField::GetText(std::string& Text, bool DisplayText) const {
  if (IsNull()) {
    Text.clear();
    return;
  }
  const std::string& fmt = DisplayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
  if (fmt.empty()) {
    Text = std::to_string(GetAsLargeInt());
    return;
  }
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt.c_str(), static_cast<long long>(GetAsLargeInt()));
  Text = buf;
}

TFieldValue TIntegerField::Coerce(const TFieldValue& V) const {
  std::int64_t r = 0;
  if (auto* i = std::get_if<std::int64_t>(&V))
    r = *i;
  else if (auto* b = std::get_if<bool>(&V))
    r = *b ? 1 : 0;
  else if (auto* d = std::get_if<double>(&V)) {
    double x = std::round(*d);
    if (!std::isfinite(x) || x < -9.2e18 || x > 9.2e18) DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
    r = static_cast<std::int64_t>(x);
  } else if (auto* s = std::get_if<std::string>(&V)) {
    if (!rix::TryStrToInt64(*s, r)) ConvertError(*s);
  } else {
    DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
  }
  CheckRange(r);
  return r;
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner, ftSmallint, -32768, 32767, 6) {}
TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner, ftWord, 0, 65535, 5) {}
TLargeintField::TLargeintField(TComponent* AOwner)
    : TIntegerField(AOwner, ftLargeint, std::numeric_limits<std::int64_t>::min(),
                    std::numeric_limits<std::int64_t>::max(), 15) {}
TAutoIncField::TAutoIncField(TComponent* AOwner)
    : TIntegerField(AOwner, ftAutoInc, std::numeric_limits<std::int32_t>::min(),
                    std::numeric_limits<std::int32_t>::max(), 11) {}

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

void TFloatField::SetCurrency(bool Value) {
  FCurrency = Value;
  PropertyChanged(false);
}

void TFloatField::SetPrecision(int Value) {
  FPrecision = std::clamp(Value, 2, 17);
  PropertyChanged(false);
}

double TFloatField::GetAsFloat() const {
  TFieldValue v;
  if (!GetData(v)) return 0;
  if (auto* d = std::get_if<double>(&v)) return *d;
  return 0;
}

std::int64_t TFloatField::GetAsLargeInt() const {
  double r = std::round(GetAsFloat());
  if (r < -9.2e18 || r > 9.2e18) throw ERangeError("Value of field '" + DisplayName() + "' is out of range");
  return static_cast<std::int64_t>(r);
}

std::string TFloatField::GetAsString() const { return IsNull() ? std::string() : rix::FloatToStr(GetAsFloat(), FPrecision); }

void TFloatField::SetAsStringValue(const std::string& Value) {
  if (Value.find_first_not_of(' ') == std::string::npos) {
    Clear();
    return;
  }
  std::string t = Value;
  // The currency sign the display shows may come back in typed text.
  const std::string yen = "\xC2\xA5";
  if (t.compare(0, yen.size(), yen) == 0) t = t.substr(yen.size());
  double r = 0;
  if (!rix::TryStrToFloat(t, r)) ConvertError(Value);
  SetData(r);
}

void TFloatField::SetAsLargeIntValue(std::int64_t Value) { SetData(static_cast<double>(Value)); }
void TFloatField::SetAsFloatValue(double Value) {
  if (!std::isfinite(Value)) ConvertError(rix::FloatToStr(Value));
  SetData(Value);
}

namespace {
std::string GroupThousands(const std::string& Digits) {
  std::string out;
  int n = static_cast<int>(Digits.size());
  for (int i = 0; i < n; ++i) {
    out += Digits[static_cast<size_t>(i)];
    if ((n - i - 1) % 3 == 0 && i != n - 1) out += ',';
  }
  return out;
}
} // namespace

void TFloatField::GetText(std::string& Text, bool DisplayText) const {
  if (IsNull()) {
    Text.clear();
    return;
  }
  double v = GetAsFloat();
  const std::string& fmt = DisplayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
  if (!fmt.empty()) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt.c_str(), v);
    Text = buf;
  } else if (FCurrency && DisplayText) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(v));
    Text = std::string(v < 0 && std::round(v) != 0 ? "-" : "") + "\xC2\xA5" + GroupThousands(buf);
  } else {
    Text = rix::FloatToStr(v, FPrecision);
  }
}

TFieldValue TFloatField::Coerce(const TFieldValue& V) const {
  if (auto* d = std::get_if<double>(&V)) return *d;
  if (auto* i = std::get_if<std::int64_t>(&V)) return static_cast<double>(*i);
  if (auto* s = std::get_if<std::string>(&V)) {
    double r = 0;
    if (!rix::TryStrToFloat(*s, r)) ConvertError(*s);
    return r;
  }
  DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

// ---------------------------------------------------------------- TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const std::string& Value) {
  size_t p = Value.find(';');
  std::string t = p == std::string::npos ? Value : Value.substr(0, p);
  std::string f = p == std::string::npos ? std::string() : Value.substr(p + 1);
  if (t.empty() && f.empty()) DatabaseError("DisplayValues needs a text for true or for false", this);
  FDisplayValues = Value;
  FTrueText = t;
  FFalseText = f;
  PropertyChanged(true);
}

int TBooleanField::GetDefaultWidth() const {
  return static_cast<int>(std::max(FTrueText.size(), FFalseText.size()));
}

bool TBooleanField::GetAsBoolean() const {
  TFieldValue v;
  if (!GetData(v)) return false;
  if (auto* b = std::get_if<bool>(&v)) return *b;
  return false;
}

std::int64_t TBooleanField::GetAsLargeInt() const { return GetAsBoolean() ? 1 : 0; }

std::string TBooleanField::GetAsString() const {
  if (IsNull()) return {};
  return GetAsBoolean() ? FTrueText : FFalseText;
}

void TBooleanField::SetAsStringValue(const std::string& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  auto prefix = [&](const std::string& Full) {
    return !Full.empty() && Value.size() <= Full.size() && SameText(Full.substr(0, Value.size()), Value);
  };
  if (prefix(FTrueText))
    SetData(true);
  else if (prefix(FFalseText))
    SetData(false);
  else if (SameText(Value, "true") || Value == "1")
    SetData(true);
  else if (SameText(Value, "false") || Value == "0")
    SetData(false);
  else
    ConvertError(Value);
}

void TBooleanField::SetAsBooleanValue(bool Value) { SetData(Value); }
void TBooleanField::SetAsLargeIntValue(std::int64_t Value) { SetData(Value != 0); }

TFieldValue TBooleanField::Coerce(const TFieldValue& V) const {
  if (auto* b = std::get_if<bool>(&V)) return *b;
  if (auto* i = std::get_if<std::int64_t>(&V)) return *i != 0;
  if (auto* d = std::get_if<double>(&V)) return *d != 0;
  if (auto* s = std::get_if<std::string>(&V)) {
    if (SameText(*s, "true") || *s == "1" || SameText(*s, FTrueText)) return true;
    if (SameText(*s, "false") || *s == "0" || SameText(*s, FFalseText)) return false;
    ConvertError(*s);
  }
  DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
}

// ---------------------------------------------------------------- dates

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }
TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }
TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTime); }

TDateTime TDateTimeField::GetAsDateTime() const {
  TFieldValue v;
  if (!GetData(v)) return 0;
  if (auto* d = std::get_if<double>(&v)) return *d;
  return 0;
}

double TDateTimeField::GetAsFloat() const { return GetAsDateTime(); }

std::string TDateTimeField::GetAsString() const {
  if (IsNull()) return {};
  return rix::FormatDateTimeFor(DataType(), GetAsDateTime(), false);
}

void TDateTimeField::SetAsStringValue(const std::string& Value) {
  if (Value.find_first_not_of(' ') == std::string::npos) {
    Clear();
    return;
  }
  TDateTime v = 0;
  if (!rix::TryParseDateTime(Value, v)) ConvertError(Value);
  SetAsDateTimeValue(v);
}

void TDateTimeField::SetAsDateTimeValue(TDateTime Value) { SetData(Coerce(Value)); }

TFieldValue TDateTimeField::Coerce(const TFieldValue& V) const {
  double d = 0;
  if (auto* p = std::get_if<double>(&V))
    d = *p;
  else if (auto* i = std::get_if<std::int64_t>(&V))
    d = static_cast<double>(*i);
  else if (auto* s = std::get_if<std::string>(&V)) {
    if (!rix::TryParseDateTime(*s, d)) ConvertError(*s);
  } else
    DatabaseErrorFmt(SFieldTypeMismatch, DisplayName(), DataSet());
  if (!std::isfinite(d) || std::fabs(d) > 2958466) ConvertError(rix::FloatToStr(d));
  if (DataType() == ftDate) d = rix::DatePart(d);
  if (DataType() == ftTime) d = rix::TimePart(d);
  return d;
}

bool TIntegerField::IsValidChar(char32_t InputChar) const {
  return InputChar == U'+' || InputChar == U'-' || (InputChar >= U'0' && InputChar <= U'9');
}

bool TFloatField::IsValidChar(char32_t InputChar) const {
  return InputChar == U'+' || InputChar == U'-' || (InputChar >= U'0' && InputChar <= U'9') || InputChar == U'.' ||
         InputChar == U'E' || InputChar == U'e';
}
