// RixRtlCons: the texts the grid shows to its users, in resource-id order.
// Each is available by name and, as the original string table was, by id.
#pragma once

#include <string>

namespace RixRtlCons {

struct TResString {
  int Id;
  const char* Text;
  operator std::string() const { return Text; }
};

} // namespace RixRtlCons

inline constexpr RixRtlCons::TResString SConfirmDeleteItem{65520, "入力済みの項目を削除してもよいですか？"};
inline constexpr RixRtlCons::TResString SConfirmOverwrite{
    65521, "このフォルダにはすでに同名のファイルが存在します。上書きしますか？"};
inline constexpr RixRtlCons::TResString SRowsPerRecordTooBig{65522, "RowsPerRecord の数は列数より小さくなければなりません"};
inline constexpr RixRtlCons::TResString SMenuLoadFromStream{65523, "クリップボードから読み込み"};
inline constexpr RixRtlCons::TResString SMenuSaveToStream{65524, "クリップボードに保存"};
inline constexpr RixRtlCons::TResString SMemuLoadFromFile{65525, "ファイルから読み込み"};
inline constexpr RixRtlCons::TResString SMenuSaveToFile{65526, "ファイルに保存"};

// The text of resource Id; an empty string for an id that is not ours.
std::string LoadResString(int Id);
// The text of a resource by value, as the framework's LoadResString(@S) reads it.
inline std::string LoadResString(const RixRtlCons::TResString& S) { return S.Text; }
