// Field texts and edit masks from arbitrary bytes. The first byte picks a
// field (integer, small and large integers, float with a precision, yen
// currency, boolean with its display values, date, time, date and time) or
// an edit mask; the rest is the text typed (for a mask, "mask\0value").
// Any text must give a value or a clean error (an Exception); a value's
// edit text must parse back to the same value, and its display text must
// form. The value of a text laid over a mask, laid over it again, must
// give back the same value. Anything else, a crash or a leak is a
// finding.
#include <RixDBGrids.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

[[noreturn]] void Finding(const std::string& What) {
  std::fprintf(stderr, "finding: %s\n", What.c_str());
  std::abort();
}

struct TFixture {
  std::unique_ptr<TComponent> Owner{new TComponent(nullptr)};
  TMemoryDataSet* Data = nullptr;

  TFixture() {
    Data = new TMemoryDataSet(Owner.get());
    Data->FieldDefs()->Add("I", ftInteger);
    Data->FieldDefs()->Add("S", ftSmallint);
    Data->FieldDefs()->Add("L", ftLargeint);
    Data->FieldDefs()->Add("F", ftFloat);
    Data->FieldDefs()->Add("C", ftCurrency);
    Data->FieldDefs()->Add("B", ftBoolean);
    Data->FieldDefs()->Add("D", ftDate);
    Data->FieldDefs()->Add("T", ftTime);
    Data->FieldDefs()->Add("DT", ftDateTime);
    Data->FieldDefs()->Add("W", ftWord);
    Data->CreateDataSet();
    Data->Append();
  }
};

// Sets Text; false on a clean error.
bool TrySetText(TField* F, const std::string& Text) {
  try {
    F->SetText(Text);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

void FieldCase(TField* F, const std::string& Text) {
  F->Clear();
  if (!TrySetText(F, Text)) return;
  const TFieldValue value = F->Value();
  std::string edit, display;
  try {
    edit = F->Text();
    display = F->DisplayText();
  } catch (const Exception& e) {
    Finding("a value that does not form its text: " + std::string(e.what()));
  }
  if (!TrySetText(F, edit)) Finding("'" + edit + "' does not parse back (typed '" + Text + "')");
  if (!(F->Value() == value)) {
    // Floats keep their precision's digits only: the text must at least
    // stand still from the first round on.
    const std::string again = F->Text();
    const bool floating = F->DataType() == ftFloat || F->DataType() == ftCurrency;
    if (!floating || again != edit)
      Finding("'" + Text + "' gave '" + edit + "', which reads back as '" + again + "'");
  }
}

void MaskCase(const std::string& Mask, const std::string& Value) {
  const rix::TEditMaskModel model(Mask);
  const std::u32string empty = model.EmptyText();
  if (static_cast<int>(empty.size()) != model.Length()) Finding("the empty text of '" + Mask + "' has another length");
  const std::u32string shown = model.Format(rix::Utf8ToUtf32(Value));
  if (model.IsMasked() && static_cast<int>(shown.size()) != model.Length())
    Finding("'" + Value + "' over '" + Mask + "' has another length");
  const std::u32string value = model.ValueOf(shown);
  if (model.IsMasked() && model.ValueOf(model.Format(value)) != value)
    Finding("the value of '" + Value + "' over '" + Mask + "' does not come back from its text");
  (void)model.Complete(shown);
  for (int i = 0; i < model.Length(); ++i) {
    char32_t c = i < static_cast<int>(Value.size()) ? static_cast<unsigned char>(Value[static_cast<size_t>(i)]) : U'x';
    (void)model.Accepts(i, c);
    if (model.NextInput(i) < i || model.PrevInput(i) >= i) Finding("input positions out of order in '" + Mask + "'");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, size_t Size) {
  static TFixture* fixture = new TFixture();
  if (Size == 0 || Size > 4096) return 0;
  const unsigned pick = Data[0];
  const std::string text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  TDataSet* ds = fixture->Data;
  const int fields = ds->FieldCount();
  if (pick % (fields + 1) == static_cast<unsigned>(fields)) {
    const size_t cut = text.find('\0');
    MaskCase(text.substr(0, cut), cut == std::string::npos ? std::string() : text.substr(cut + 1));
    return 0;
  }
  TField* f = ds->Fields()->Fields(static_cast<int>(pick % (fields + 1)));
  // The upper bits vary the field's own settings.
  if (auto* fl = dynamic_cast<TFloatField*>(f)) fl->SetPrecision(static_cast<int>(pick >> 4) + 1);
  if (auto* b = dynamic_cast<TBooleanField*>(f)) b->SetDisplayValues(pick & 0x80 ? "はい;いいえ" : "True;False");
  FieldCase(f, text);
  return 0;
}
