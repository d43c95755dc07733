// TField and the scalar field classes: strings, the integer family, floats,
// currency, booleans, dates and times. Blob fields live in BlobFields.h, the
// object (ADT, array, nested dataset) fields in ObjectFields.h.
//
// A field reads and writes the value of its dataset's active record buffer,
// so moving a data link's ActiveRecord (see DataLink.h) changes what every
// field of the dataset reads, without touching the cursor.
#pragma once

#include "platform/data/DB.h"

#include <functional>
#include <string>
#include <vector>

class TFields;
class TObjectField;

using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const std::string& Text)>;

class TField : public TComponent {
  RIX_CLASS_NAME(TField)
public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  // ---- binding ----
  TDataSet* DataSet() const { return FDataSet; }
  // Adds the field to the dataset's Fields (or takes it out with nil). The
  // dataset must be closed, as in the framework.
  void SetDataSet(TDataSet* ADataSet);
  TObjectField* ParentField() const { return FParentField; }
  void SetParentField(TObjectField* AField);
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  // FieldName qualified by the parent object fields: "Address.City", "Phones[1]".
  std::string FullName() const;
  int FieldNo() const { return FFieldNo; }
  void SetFieldNo(int Value) { FFieldNo = Value; }
  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return FFieldKind == fkCalculated || FFieldKind == fkInternalCalc; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  // Position in the Fields list that holds the field (the dataset's, or the
  // parent object field's); -1 when unbound. Writing moves the field there
  // (clamped to the list) and reports a layout change.
  int Index() const;
  void SetIndex(int Value);

  // ---- presentation and metadata ----
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const std::string& DisplayLabel() const { return FDisplayLabel; }
  void SetDisplayLabel(const std::string& Value);
  // DisplayLabel, or FieldName when no label is set.
  std::string DisplayName() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  // Characters the field wants on screen; defaults by type (GetDefaultWidth).
  int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
  void SetDisplayWidth(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value);
  int Size() const { return FSize; }
  void SetSize(int Value);
  // Not read-only, not calculated, bound to a dataset that can modify; a
  // lookup field can modify when its key fields can.
  virtual bool CanModify() const;
  virtual bool IsBlob() const { return false; }
  // May the character be typed into the field's editor. Numeric fields take
  // only what their text conversion can read; other fields take anything.
  virtual bool IsValidChar(char32_t InputChar) const { return true; }

  // ---- lookup fields ----
  const std::string& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const std::string& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
  const std::string& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }

  // ---- values ----
  bool IsNull() const;
  virtual void Clear();
  std::string AsString() const { return GetAsString(); }
  void SetAsString(const std::string& Value) { SetAsStringValue(Value); }
  int AsInteger() const;
  void SetAsInteger(int Value) { SetAsLargeInt(Value); }
  std::int64_t AsLargeInt() const { return GetAsLargeInt(); }
  void SetAsLargeInt(std::int64_t Value) { SetAsLargeIntValue(Value); }
  double AsFloat() const { return GetAsFloat(); }
  void SetAsFloat(double Value) { SetAsFloatValue(Value); }
  bool AsBoolean() const { return GetAsBoolean(); }
  void SetAsBoolean(bool Value) { SetAsBooleanValue(Value); }
  TDateTime AsDateTime() const { return GetAsDateTime(); }
  void SetAsDateTime(TDateTime Value) { SetAsDateTimeValue(Value); }
  // The stored value as it is held in the record buffer (null when empty).
  TFieldValue Value() const;
  void SetValue(const TFieldValue& Value);

  // Text for display (OnGetText with DisplayText true, else the type's
  // display format) and for editing (OnGetText with false).
  std::string DisplayText() const;
  std::string Text() const;
  void SetText(const std::string& Value);
  std::string EditText() const { return Text(); }
  void SetEditText(const std::string& Value) { SetText(Value); }

  // Asks the data-aware controls to focus the control showing this field.
  void FocusControl();

  void SetOnGetText(TFieldGetTextEvent F) { FOnGetText = std::move(F); }
  void SetOnSetText(TFieldSetTextEvent F) { FOnSetText = std::move(F); }
  void SetOnChange(TFieldNotifyEvent F) { FOnChange = std::move(F); }
  void SetOnValidate(TFieldNotifyEvent F) { FOnValidate = std::move(F); }
  const TFieldGetTextEvent& OnGetText() const { return FOnGetText; }
  const TFieldSetTextEvent& OnSetText() const { return FOnSetText; }

  // Copies another field's value (nil clears the field).
  void Assign(TPersistent* Source) override;

  // Slot of the field's value in a record buffer; -1 for object fields.
  int DataSlot() const { return FSlot; }

protected:
  void SetDataType(TFieldType Value) { FDataType = Value; }
  virtual int GetDefaultWidth() const { return 10; }
  virtual std::string GetAsString() const;
  virtual std::int64_t GetAsLargeInt() const;
  virtual double GetAsFloat() const;
  virtual bool GetAsBoolean() const;
  virtual TDateTime GetAsDateTime() const;
  virtual void SetAsStringValue(const std::string& Value);
  virtual void SetAsLargeIntValue(std::int64_t Value);
  virtual void SetAsFloatValue(double Value);
  virtual void SetAsBooleanValue(bool Value);
  virtual void SetAsDateTimeValue(TDateTime Value);
  // The text of the current value; DisplayText selects the display format.
  virtual void GetText(std::string& Text, bool DisplayText) const;
  // Turns a value of another representation into this field's, or raises.
  virtual TFieldValue Coerce(const TFieldValue& V) const { return V; }

  // Raw access to the active record buffer.
  bool GetData(TFieldValue& Value) const;
  void SetData(TFieldValue Value);
  // Reports a change of presentation: a layout change, or a data-set change.
  void PropertyChanged(bool LayoutAffected);
  [[noreturn]] void AccessError(const char* TypeName) const;
  [[noreturn]] void ConvertError(const std::string& Text) const;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

private:
  friend class TDataSet;
  void LeaveDataSet();
  friend class TFields;
  friend class TObjectField;
  void Changed();

  TDataSet* FDataSet = nullptr;
  TObjectField* FParentField = nullptr;
  TFields* FFields = nullptr;  // the list holding the field
  std::string FFieldName;
  std::string FDisplayLabel;
  std::string FEditMask;
  std::string FKeyFields;
  std::string FLookupKeyFields;
  std::string FLookupResultField;
  TDataSet* FLookupDataSet = nullptr;
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  TAlignment FAlignment = taLeftJustify;
  int FSize = 0;
  int FDisplayWidth = 0;
  int FFieldNo = 0;
  int FSlot = -1;
  bool FReadOnly = false;
  bool FVisible = true;
  bool FRequired = false;
  TFieldGetTextEvent FOnGetText;
  TFieldSetTextEvent FOnSetText;
  TFieldNotifyEvent FOnChange;
  TFieldNotifyEvent FOnValidate;
};

// Strings. Size counts characters (UTF-8 code points); longer assignments
// are cut at Size characters, as the framework cuts at Size.
class TStringField : public TField {
  RIX_CLASS_NAME(TStringField)
public:
  explicit TStringField(TComponent* AOwner);

protected:
  int GetDefaultWidth() const override { return Size(); }
  std::string GetAsString() const override;
  std::int64_t GetAsLargeInt() const override;
  double GetAsFloat() const override;
  bool GetAsBoolean() const override;
  TDateTime GetAsDateTime() const override;
  void SetAsStringValue(const std::string& Value) override;
  void SetAsLargeIntValue(std::int64_t Value) override;
  void SetAsFloatValue(double Value) override;
  void SetAsBooleanValue(bool Value) override;
  TFieldValue Coerce(const TFieldValue& V) const override;
};

// Numbers are right-aligned. DisplayFormat / EditFormat take a printf
// format ("%.2f", "%d"); empty means the plain number.
class TNumericField : public TField {
  RIX_CLASS_NAME(TNumericField)
public:
  explicit TNumericField(TComponent* AOwner);
  const std::string& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const std::string& Value);
  const std::string& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const std::string& Value);

private:
  std::string FDisplayFormat;
  std::string FEditFormat;
};

// The integer family shares one class with the range of its type:
// TSmallintField (16 bit), TIntegerField (32), TWordField (0..65535),
// TLargeintField (64), TAutoIncField (32, filled by the data store).
class TIntegerField : public TNumericField {
  RIX_CLASS_NAME(TIntegerField)
public:
  explicit TIntegerField(TComponent* AOwner);
  std::int64_t MinValue() const { return FMinValue; }
  std::int64_t MaxValue() const { return FMaxValue; }
  // Narrows the range the field accepts; (0, 0) restores the type's range.
  void SetRange(std::int64_t Min, std::int64_t Max);
  bool IsValidChar(char32_t InputChar) const override;

protected:
  TIntegerField(TComponent* AOwner, TFieldType Type, std::int64_t Min, std::int64_t Max, int Width);
  int GetDefaultWidth() const override { return FWidth; }
  std::string GetAsString() const override;
  std::int64_t GetAsLargeInt() const override;
  double GetAsFloat() const override;
  bool GetAsBoolean() const override;
  void SetAsStringValue(const std::string& Value) override;
  void SetAsLargeIntValue(std::int64_t Value) override;
  void SetAsFloatValue(double Value) override;
  void SetAsBooleanValue(bool Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  TFieldValue Coerce(const TFieldValue& V) const override;

private:
  void CheckRange(std::int64_t Value) const;
  std::int64_t FTypeMin, FTypeMax, FMinValue, FMaxValue;
  int FWidth;
};

class TSmallintField : public TIntegerField {
  RIX_CLASS_NAME(TSmallintField)
public:
  explicit TSmallintField(TComponent* AOwner);
};
class TWordField : public TIntegerField {
  RIX_CLASS_NAME(TWordField)
public:
  explicit TWordField(TComponent* AOwner);
};
class TLargeintField : public TIntegerField {
  RIX_CLASS_NAME(TLargeintField)
public:
  explicit TLargeintField(TComponent* AOwner);
};
class TAutoIncField : public TIntegerField {
  RIX_CLASS_NAME(TAutoIncField)
public:
  explicit TAutoIncField(TComponent* AOwner);
};

// Floating point; a currency field shows the yen sign with thousands
// separators and no decimals (the Japanese locale's currency format).
class TFloatField : public TNumericField {
  RIX_CLASS_NAME(TFloatField)
public:
  explicit TFloatField(TComponent* AOwner);
  bool Currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value);
  bool IsValidChar(char32_t InputChar) const override;

protected:
  std::string GetAsString() const override;
  std::int64_t GetAsLargeInt() const override;
  double GetAsFloat() const override;
  void SetAsStringValue(const std::string& Value) override;
  void SetAsLargeIntValue(std::int64_t Value) override;
  void SetAsFloatValue(double Value) override;
  void GetText(std::string& Text, bool DisplayText) const override;
  TFieldValue Coerce(const TFieldValue& V) const override;

private:
  bool FCurrency = false;
  int FPrecision = 15;
};

class TCurrencyField : public TFloatField {
  RIX_CLASS_NAME(TCurrencyField)
public:
  explicit TCurrencyField(TComponent* AOwner);
};

// DisplayValues "True;False": the texts for true and false.
class TBooleanField : public TField {
  RIX_CLASS_NAME(TBooleanField)
public:
  explicit TBooleanField(TComponent* AOwner);
  const std::string& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const std::string& Value);

protected:
  int GetDefaultWidth() const override;
  std::string GetAsString() const override;
  bool GetAsBoolean() const override;
  std::int64_t GetAsLargeInt() const override;
  void SetAsStringValue(const std::string& Value) override;
  void SetAsBooleanValue(bool Value) override;
  void SetAsLargeIntValue(std::int64_t Value) override;
  TFieldValue Coerce(const TFieldValue& V) const override;

private:
  std::string FDisplayValues = "True;False";
  std::string FTrueText = "True", FFalseText = "False";
};

// Dates and times, shown in the Japanese locale's formats: "yyyy/mm/dd",
// "h:nn:ss" and both joined by a blank (the time part left out at
// midnight). Text accepts those and ISO forms ("2024-05-01 13:45:00").
class TDateTimeField : public TField {
  RIX_CLASS_NAME(TDateTimeField)
public:
  explicit TDateTimeField(TComponent* AOwner);

protected:
  int GetDefaultWidth() const override { return 18; }
  std::string GetAsString() const override;
  double GetAsFloat() const override;
  TDateTime GetAsDateTime() const override;
  void SetAsStringValue(const std::string& Value) override;
  void SetAsFloatValue(double Value) override { SetAsDateTimeValue(Value); }
  void SetAsDateTimeValue(TDateTime Value) override;
  TFieldValue Coerce(const TFieldValue& V) const override;
};

class TDateField : public TDateTimeField {
  RIX_CLASS_NAME(TDateField)
public:
  explicit TDateField(TComponent* AOwner);

protected:
  int GetDefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
  RIX_CLASS_NAME(TTimeField)
public:
  explicit TTimeField(TComponent* AOwner);

protected:
  int GetDefaultWidth() const override { return 8; }
};

namespace rix {
// Date helpers used by the fields and the data stores.
TDateTime EncodeDateTime(int Y, int M, int D, int H = 0, int N = 0, int S = 0, int MS = 0);
void DecodeDateTime(TDateTime V, int& Y, int& M, int& D, int& H, int& N, int& S, int& MS);
// The day of V and its time of day, each rounded to the millisecond as
// DecodeDateTime rounds them (a finite V within the dates' range).
TDateTime DatePart(TDateTime V);
TDateTime TimePart(TDateTime V);
// Formats for the field's data type (ftDate, ftTime, ftDateTime);
// Iso selects "yyyy-mm-dd hh:nn:ss" instead of the display form.
std::string FormatDateTimeFor(TFieldType Type, TDateTime V, bool Iso);
// Parses the display and ISO forms; false when Text is not a date/time.
bool TryParseDateTime(const std::string& Text, TDateTime& V);
// The text of a double with up to Precision significant digits.
std::string FloatToStr(double V, int Precision = 15);
bool TryStrToFloat(const std::string& Text, double& V);
bool TryStrToInt64(const std::string& Text, std::int64_t& V);
// Cuts S after MaxChars UTF-8 characters.
std::string Utf8Truncate(const std::string& S, int MaxChars);
} // namespace rix
