// The framework's edit masks for single-line editors.
//
// A mask is "<positions>[;<save literals>[;<blank>]]". Positions:
//   0 digit required    9 digit optional    # digit, + or - optional
//   L letter required   l letter optional
//   A letter or digit required               a letter or digit optional
//   C any character required                 c any character optional
//   >  upper-case what follows   <  lower-case what follows   <> no case change
//   \  the next character is a literal        !  drop leading blanks of the value,
//                                            which then stands right-aligned
//   anything else is a literal shown as it is.
// The edit text has one character per position: literals as they are,
// unfilled input positions as the blank character ('_' unless given). The
// value (Text) keeps the literals when the save field is not "0"; unfilled
// positions read as spaces.
#pragma once

#include <string>
#include <vector>

namespace rix {

std::u32string Utf8ToUtf32(const std::string& S);
std::string Utf32ToUtf8(const std::u32string& S);

class TEditMaskModel {
public:
  TEditMaskModel() = default;
  explicit TEditMaskModel(const std::string& Mask);

  bool IsMasked() const { return !FPositions.empty(); }
  int Length() const { return static_cast<int>(FPositions.size()); }
  bool SaveLiterals() const { return FSaveLiterals; }
  char32_t Blank() const { return FBlank; }

  bool IsInput(int Pos) const;
  // The first input position at or after Pos (Length() when none).
  int NextInput(int Pos) const;
  // The last input position before Pos (-1 when none).
  int PrevInput(int Pos) const;
  // Whether Ch may stand at Pos; Ch gets the position's case conversion.
  bool Accepts(int Pos, char32_t& Ch) const;
  // The edit text with no input: literals and blanks.
  std::u32string EmptyText() const;
  // Lays a value over the mask (the inverse of ValueOf).
  std::u32string Format(const std::u32string& Value) const;
  // The value of an edit text.
  std::u32string ValueOf(const std::u32string& EditText) const;
  // Every required position filled.
  bool Complete(const std::u32string& EditText) const;

private:
  struct TPos {
    bool Literal = false;
    char32_t Ch = 0; // the literal, or the mask character
    int Case = 0;    // 1 upper, -1 lower
  };
  std::vector<TPos> FPositions;
  bool FSaveLiterals = true;
  char32_t FBlank = U'_';
  bool FTrimLeading = false;
};

} // namespace rix
