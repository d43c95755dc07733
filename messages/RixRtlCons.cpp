#include "messages/RixRtlCons.h"

#include <array>

std::string LoadResString(int Id) {
  static constexpr std::array<RixRtlCons::TResString, 7> Table{
      SConfirmDeleteItem, SConfirmOverwrite, SRowsPerRecordTooBig, SMenuLoadFromStream,
      SMenuSaveToStream,  SMemuLoadFromFile, SMenuSaveToFile};
  for (const auto& s : Table)
    if (s.Id == Id) return s.Text;
  return {};
}
