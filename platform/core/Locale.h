// The system locale as the framework's SysLocale gives it: the primary
// language identifier (the low ten bits of a Windows language id) and whether
// the language uses an input method (Far East).
//
// On this platform the language comes from the environment, in POSIX order
// of precedence for text: LC_ALL, then LC_CTYPE, then LANG. "ko_KR.UTF-8"
// gives LANG_KOREAN ($12), "ja_JP.UTF-8" LANG_JAPANESE ($11). An unset, "C" or
// "POSIX" locale, and a language without a Windows identifier known here,
// read as English ($09), which is what such a system shows its user.
//
// The value is read once, on first use. Tests override it with
// TSysLocaleOverride, or re-read the environment with ReloadSysLocale().
#pragma once

#include <string>

enum : int {
  LANG_NEUTRAL = 0x00,
  LANG_CHINESE = 0x04,
  LANG_GERMAN = 0x07,
  LANG_ENGLISH = 0x09,
  LANG_SPANISH = 0x0A,
  LANG_FRENCH = 0x0C,
  LANG_ITALIAN = 0x10,
  LANG_JAPANESE = 0x11,
  LANG_KOREAN = 0x12,
  LANG_DUTCH = 0x13,
  LANG_POLISH = 0x15,
  LANG_PORTUGUESE = 0x16,
  LANG_RUSSIAN = 0x19,
};

struct TSysLocale {
  int PriLangID = LANG_ENGLISH;
  bool FarEast = false;
};

// The current system locale.
const TSysLocale& SysLocale();
// Re-reads the environment (drops any override).
void ReloadSysLocale();

namespace rix {
// The primary language identifier for a POSIX locale name ("ko_KR.UTF-8").
int LanguageIdFromLocaleName(const std::string& Name);
bool IsFarEastLanguage(int PriLangID);
} // namespace rix

// Makes SysLocale() report PriLangID while it lives, then restores the
// previous value.
class TSysLocaleOverride {
public:
  explicit TSysLocaleOverride(int PriLangID);
  ~TSysLocaleOverride();
  TSysLocaleOverride(const TSysLocaleOverride&) = delete;
  TSysLocaleOverride& operator=(const TSysLocaleOverride&) = delete;

private:
  TSysLocale FSaved;
};
