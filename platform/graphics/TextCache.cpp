#include "platform/graphics/TextCache.h"

#include <pango/pango.h>
#include <pixman.h>

#include <list>
#include <unordered_map>
#include <utility>

namespace rix {

namespace {

struct TKeyHash {
  std::size_t operator()(const TLayoutKey& K) const {
    std::size_t h = std::hash<std::string>()(K.Text);
    for (std::size_t v : {std::size_t(K.Font), std::size_t(K.Flags), std::size_t(K.Width), std::size_t(K.Mark + 1),
                          std::size_t(K.Line)})
      h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
  }
};

// Least recently used first out; Release frees a value that leaves.
template <typename Value>
class TLru {
public:
  TLru(void (*Release)(Value&), std::size_t (*Cost)(const TLayoutKey&, const Value&),
       std::size_t TTextCacheLimits::*MaxBytes = &TTextCacheLimits::MaxBytes)
      : FRelease(Release), FCost(Cost), FMaxBytes(MaxBytes) {}
  ~TLru() { Clear(); }
  TLru(const TLru&) = delete;
  TLru& operator=(const TLru&) = delete;

  Value* Find(const TLayoutKey& Key) {
    auto it = FIndex.find(Key);
    if (it == FIndex.end()) return nullptr;
    FOrder.splice(FOrder.begin(), FOrder, it->second);
    return &it->second->second;
  }
  Value& Add(TLayoutKey Key, Value V) {
    const TTextCacheLimits& limits = TextCacheLimits();
    FBytes += FCost(Key, V);
    FOrder.emplace_front(std::move(Key), std::move(V));
    FIndex.emplace(FOrder.front().first, FOrder.begin());
    while (FOrder.size() > limits.MaxEntries || (FBytes > limits.*FMaxBytes && FOrder.size() > 1)) DropOldest();
    return FOrder.front().second;
  }
  void Clear() {
    while (!FOrder.empty()) DropOldest();
  }
  std::size_t Size() const { return FOrder.size(); }
  std::size_t Bytes() const { return FBytes; }

private:
  void DropOldest() {
    auto& [key, value] = FOrder.back();
    FIndex.erase(key);
    FBytes -= FCost(key, value);
    if (FRelease != nullptr) FRelease(value);
    FOrder.pop_back();
  }
  using TEntry = std::pair<TLayoutKey, Value>;
  std::list<TEntry> FOrder;
  std::unordered_map<TLayoutKey, typename std::list<TEntry>::iterator, TKeyHash> FIndex;
  std::size_t FBytes = 0;
  void (*FRelease)(Value&);
  std::size_t (*FCost)(const TLayoutKey&, const Value&);
  std::size_t TTextCacheLimits::*FMaxBytes;
};

// Measured with glibc's allocator over short Latin and Japanese cell texts:
// a layout's objects, runs, glyphs and attributes; a width's key and nodes.
std::size_t LayoutCost(const TLayoutKey& Key, PangoLayout* const&) { return 1024 + 24 * Key.Text.size(); }
std::size_t WidthCost(const TLayoutKey& Key, const int&) { return 160 + Key.Text.size(); }
// The pixels, rows padded to four bytes, and the image's header and key.
std::size_t MaskCost(const TLayoutKey& Key, const TLineMask& M) {
  return 400 + Key.Text.size() + static_cast<std::size_t>((M.Width + 3) / 4 * 4) * static_cast<std::size_t>(M.Height);
}

struct TCaches {
  bool Enabled = true;
  TLru<PangoLayout*> Layouts{[](PangoLayout*& L) { g_object_unref(L); }, LayoutCost};
  TLru<int> Widths{nullptr, WidthCost};
  TLru<TLineMask> Masks{[](TLineMask& M) {
                          if (M.Image != nullptr) pixman_image_unref(M.Image);
                        },
                        MaskCost, &TTextCacheLimits::MaxMaskBytes};
};

TCaches& Caches() {
  static TCaches caches;
  return caches;
}

} // namespace

const TTextCacheLimits& TextCacheLimits() {
  static const TTextCacheLimits limits;
  return limits;
}

void SetTextCachesEnabled(bool Value) {
  ClearTextCaches();
  Caches().Enabled = Value;
}

bool TextCachesEnabled() { return Caches().Enabled; }

void ClearTextCaches() {
  Caches().Layouts.Clear();
  Caches().Widths.Clear();
  Caches().Masks.Clear();
}

std::size_t TextCacheEntries() { return Caches().Layouts.Size() + Caches().Widths.Size() + Caches().Masks.Size(); }
std::size_t TextCacheBytes() { return Caches().Layouts.Bytes() + Caches().Widths.Bytes() + Caches().Masks.Bytes(); }

PangoLayout* CachedLayout(const TLayoutKey& Key, const std::function<PangoLayout*()>& Make) {
  TCaches& c = Caches();
  if (!c.Enabled || Key.Text.size() > TextCacheLimits().MaxTextBytes) return Make();
  if (PangoLayout** hit = c.Layouts.Find(Key)) return static_cast<PangoLayout*>(g_object_ref(*hit));
  PangoLayout* made = Make();
  c.Layouts.Add(Key, made);
  return static_cast<PangoLayout*>(g_object_ref(made));
}

int CachedTextWidth(HFONT Font, const std::string& Text, const std::function<int()>& Measure) {
  TCaches& c = Caches();
  if (!c.Enabled || Text.size() > TextCacheLimits().MaxTextBytes) return Measure();
  TLayoutKey key{Font, 0, 0, -1, Text};
  if (int* hit = c.Widths.Find(key)) return *hit;
  const int w = Measure();
  c.Widths.Add(std::move(key), w);
  return w;
}

const TLineMask& CachedLineMask(const TLayoutKey& Key, const std::function<TLineMask()>& Make) {
  TCaches& c = Caches();
  static const TLineMask unusable;
  if (!c.Enabled || Key.Text.size() > TextCacheLimits().MaxTextBytes) return unusable;
  if (TLineMask* hit = c.Masks.Find(Key)) return *hit;
  return c.Masks.Add(Key, Make());
}

} // namespace rix
