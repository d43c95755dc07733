#include "platform/core/Locale.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

struct TLangEntry {
  const char* Code;
  int Id;
};

// ISO 639-1 codes and the matching Windows primary language identifiers.
constexpr TLangEntry LangTable[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", LANG_CHINESE}, {"cs", 0x05}, {"da", 0x06},
    {"de", LANG_GERMAN}, {"el", 0x08}, {"en", LANG_ENGLISH}, {"es", LANG_SPANISH}, {"fi", 0x0B},
    {"fr", LANG_FRENCH}, {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", LANG_ITALIAN},
    {"ja", LANG_JAPANESE}, {"ko", LANG_KOREAN}, {"nl", LANG_DUTCH}, {"nb", 0x14}, {"nn", 0x14},
    {"no", 0x14}, {"pl", LANG_POLISH}, {"pt", LANG_PORTUGUESE}, {"ro", 0x18}, {"ru", LANG_RUSSIAN},
    {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F},
    {"ur", 0x20}, {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25},
    {"lv", 0x26}, {"lt", 0x27}, {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"eu", 0x2D},
    {"mk", 0x2F}, {"af", 0x36}, {"ka", 0x37}, {"hi", 0x39}, {"ms", 0x3E}, {"kk", 0x3F},
};

std::mutex LocaleMutex;
bool Loaded = false;
TSysLocale Current;

TSysLocale FromEnvironment() {
  const char* name = nullptr;
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(var);
    if (v != nullptr && *v != '\0') {
      name = v;
      break;
    }
  }
  TSysLocale l;
  l.PriLangID = rix::LanguageIdFromLocaleName(name != nullptr ? name : "");
  l.FarEast = rix::IsFarEastLanguage(l.PriLangID);
  // Input methods are always there on this platform (the hosts take composed
  // text from the system's IME whatever the language), as on a Far-East
  // Windows; the grid's users type Japanese.
  l.FarEast = true;
  return l;
}

} // namespace

namespace rix {

int LanguageIdFromLocaleName(const std::string& Name) {
  std::string lang;
  for (char c : Name) {
    if (c == '_' || c == '.' || c == '@' || c == '-') break;
    lang += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (const TLangEntry& e : LangTable)
    if (lang == e.Code) return e.Id;
  return LANG_ENGLISH;
}

bool IsFarEastLanguage(int PriLangID) {
  return PriLangID == LANG_CHINESE || PriLangID == LANG_JAPANESE || PriLangID == LANG_KOREAN;
}

} // namespace rix

const TSysLocale& SysLocale() {
  std::lock_guard<std::mutex> lock(LocaleMutex);
  if (!Loaded) {
    Current = FromEnvironment();
    Loaded = true;
  }
  return Current;
}

void ReloadSysLocale() {
  std::lock_guard<std::mutex> lock(LocaleMutex);
  Current = FromEnvironment();
  Loaded = true;
}

TSysLocaleOverride::TSysLocaleOverride(int PriLangID) : FSaved(SysLocale()) {
  std::lock_guard<std::mutex> lock(LocaleMutex);
  Current.PriLangID = PriLangID;
  Current.FarEast = true;
}

TSysLocaleOverride::~TSysLocaleOverride() {
  std::lock_guard<std::mutex> lock(LocaleMutex);
  Current = FSaved;
}
