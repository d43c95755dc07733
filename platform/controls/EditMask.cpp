#include "platform/controls/EditMask.h"

#include <algorithm>
#include <cwctype>

namespace rix {

std::u32string Utf8ToUtf32(const std::string& S) {
  std::u32string out;
  size_t i = 0;
  while (i < S.size()) {
    unsigned char c = static_cast<unsigned char>(S[i]);
    char32_t cp;
    int extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
    else { out.push_back(0xFFFD); ++i; continue; }
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + static_cast<size_t>(k) >= S.size()) { ok = false; break; }
      unsigned char d = static_cast<unsigned char>(S[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) { out.push_back(0xFFFD); ++i; continue; }
    out.push_back(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string Utf32ToUtf8(const std::u32string& S) {
  std::string out;
  for (char32_t c : S) {
    if (c < 0x80) out.push_back(static_cast<char>(c));
    else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

namespace {
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
// Letters: ASCII letters and every non-ASCII character that is not a space
// or punctuation, so kana and kanji count as letters.
bool IsLetter(char32_t c) {
  if (c < 0x80) return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
  return !(c >= 0x3000 && c <= 0x303F) && !(c >= 0xFF01 && c <= 0xFF0F) && c != 0x00A0;
}
char32_t Upper(char32_t c) { return (c >= U'a' && c <= U'z') ? c - 32 : static_cast<char32_t>(std::towupper(static_cast<wint_t>(c))); }
char32_t Lower(char32_t c) { return (c >= U'A' && c <= U'Z') ? c + 32 : static_cast<char32_t>(std::towlower(static_cast<wint_t>(c))); }
bool IsRequired(char32_t m) { return m == U'0' || m == U'L' || m == U'A' || m == U'C'; }
bool IsMaskChar(char32_t m) {
  switch (m) {
  case U'0': case U'9': case U'#': case U'L': case U'l': case U'A': case U'a': case U'C': case U'c': return true;
  default: return false;
  }
}
} // namespace

TEditMaskModel::TEditMaskModel(const std::string& Mask) {
  std::u32string m = Utf8ToUtf32(Mask);
  // Split off the save and blank fields at unescaped ';'.
  std::vector<std::u32string> fields(1);
  for (size_t i = 0; i < m.size(); ++i) {
    if (m[i] == U'\\' && i + 1 < m.size()) {
      fields.back() += m[i];
      fields.back() += m[++i];
    } else if (m[i] == U';') {
      fields.emplace_back();
    } else {
      fields.back() += m[i];
    }
  }
  // Only the last two fields are settings; more separators belong to the mask.
  while (fields.size() > 3) {
    fields[0] += U';';
    fields[0] += fields[1];
    fields.erase(fields.begin() + 1);
  }
  if (fields.size() >= 2) FSaveLiterals = !(fields[1].size() == 1 && fields[1][0] == U'0');
  if (fields.size() >= 3 && !fields[2].empty()) FBlank = fields[2][0];
  const std::u32string& p = fields[0];
  int caseMode = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    char32_t c = p[i];
    if (c == U'!') { FTrimLeading = true; continue; }
    if (c == U'>') {
      if (i + 1 < p.size() && p[i + 1] == U'<') { caseMode = 0; ++i; }
      else caseMode = 1;
      continue;
    }
    if (c == U'<') { caseMode = -1; continue; }
    if (c == U'\\') {
      if (i + 1 < p.size()) FPositions.push_back({true, p[++i], 0});
      continue;
    }
    if (IsMaskChar(c)) FPositions.push_back({false, c, caseMode});
    else FPositions.push_back({true, c == U'_' ? U' ' : c, 0});
  }
}

bool TEditMaskModel::IsInput(int Pos) const {
  return Pos >= 0 && Pos < Length() && !FPositions[static_cast<size_t>(Pos)].Literal;
}

int TEditMaskModel::NextInput(int Pos) const {
  while (Pos < Length() && !IsInput(Pos)) ++Pos;
  return Pos;
}

int TEditMaskModel::PrevInput(int Pos) const {
  for (int i = Pos - 1; i >= 0; --i)
    if (IsInput(i)) return i;
  return -1;
}

bool TEditMaskModel::Accepts(int Pos, char32_t& Ch) const {
  if (!IsInput(Pos) || Ch < 32) return false;
  const TPos& p = FPositions[static_cast<size_t>(Pos)];
  bool ok = false;
  switch (p.Ch) {
  case U'0': case U'9': ok = IsDigit(Ch); break;
  case U'#': ok = IsDigit(Ch) || Ch == U'+' || Ch == U'-'; break;
  case U'L': case U'l': ok = IsLetter(Ch); break;
  case U'A': case U'a': ok = IsLetter(Ch) || IsDigit(Ch); break;
  case U'C': case U'c': ok = true; break;
  }
  if (!ok) return false;
  if (p.Case > 0) Ch = Upper(Ch);
  else if (p.Case < 0) Ch = Lower(Ch);
  return true;
}

std::u32string TEditMaskModel::EmptyText() const {
  std::u32string s;
  for (const TPos& p : FPositions) s += p.Literal ? p.Ch : FBlank;
  return s;
}

std::u32string TEditMaskModel::Format(const std::u32string& Given) const {
  std::u32string Value = Given;
  if (FTrimLeading) {
    // The value lost its leading blanks (ValueOf): it stands right-aligned,
    // so that what follows keeps its positions (saved literals among them).
    size_t room = FPositions.size();
    if (!FSaveLiterals) room = static_cast<size_t>(std::count_if(FPositions.begin(), FPositions.end(), [](const TPos& P) { return !P.Literal; }));
    if (Value.size() < room) Value.insert(0, room - Value.size(), U' ');
  }
  std::u32string s = EmptyText();
  size_t v = 0;
  for (int i = 0; i < Length() && v < Value.size(); ++i) {
    const TPos& p = FPositions[static_cast<size_t>(i)];
    if (p.Literal) {
      // A saved value carries its literals in place.
      if (FSaveLiterals) ++v;
      continue;
    }
    char32_t c = Value[v++];
    if (c != U' ' && Accepts(i, c)) s[static_cast<size_t>(i)] = c;
  }
  return s;
}

std::u32string TEditMaskModel::ValueOf(const std::u32string& EditText) const {
  std::u32string v;
  for (int i = 0; i < Length() && i < static_cast<int>(EditText.size()); ++i) {
    const TPos& p = FPositions[static_cast<size_t>(i)];
    char32_t c = EditText[static_cast<size_t>(i)];
    if (p.Literal) {
      if (FSaveLiterals) v += c;
    } else {
      v += c == FBlank ? U' ' : c;
    }
  }
  if (FTrimLeading) {
    size_t k = v.find_first_not_of(U' ');
    v.erase(0, k == std::u32string::npos ? v.size() : k);
  }
  // A value that lost its leading blanks keeps its trailing ones: laid
  // right-aligned over the mask again, every character comes back to its
  // position (and to what that position accepts).
  if (FTrimLeading) return v;
  size_t e = v.find_last_not_of(U' ');
  v.erase(e == std::u32string::npos ? 0 : e + 1);
  return v;
}

bool TEditMaskModel::Complete(const std::u32string& EditText) const {
  for (int i = 0; i < Length(); ++i) {
    const TPos& p = FPositions[static_cast<size_t>(i)];
    if (!p.Literal && IsRequired(p.Ch) &&
        (i >= static_cast<int>(EditText.size()) || EditText[static_cast<size_t>(i)] == FBlank))
      return false;
  }
  return true;
}

} // namespace rix
