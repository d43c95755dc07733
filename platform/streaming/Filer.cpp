#include "platform/streaming/Filer.h"

#include <mutex>

std::string TFiler::PropPath() const {
  std::string r;
  for (const std::string& s : FPath) {
    if (s.empty()) continue;
    if (!r.empty() && s[0] != '[') r += '.';
    r += s;
  }
  return r;
}

namespace {
std::mutex GlobalMutex;
TFindGlobalComponent& GlobalProc() {
  static TFindGlobalComponent p;
  return p;
}
} // namespace

void RegisterFindGlobalComponent(TFindGlobalComponent Proc) {
  std::lock_guard<std::mutex> lock(GlobalMutex);
  GlobalProc() = std::move(Proc);
}

TComponent* FindGlobalComponent(const std::string& Name) {
  TFindGlobalComponent p;
  {
    std::lock_guard<std::mutex> lock(GlobalMutex);
    p = GlobalProc();
  }
  return p ? p(Name) : nullptr;
}

const char* ValueTypeName(int Tag) {
  static const char* const Names[] = {"vaNull", "vaList", "vaInt8", "vaInt16", "vaInt32", "vaExtended", "vaString",
                                      "vaIdent", "vaFalse", "vaTrue", "vaBinary", "vaSet", "vaLString", "vaNil",
                                      "vaCollection", "vaSingle", "vaCurrency", "vaDate", "vaWString", "vaInt64",
                                      "vaUTF8String"};
  if (Tag < 0 || Tag > vaUTF8String) return "an unknown value tag";
  return Names[Tag];
}
