#include "platform/graphics/GdiCalls.h"

#include "platform/graphics/TextCache.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

namespace {

struct TPrepared {
  std::string Text;
  int UnderlineStart = -1;  // byte range of the '&'-marked character
  int UnderlineEnd = -1;
};

TPrepared Prepare(const std::string& S, unsigned Format) {
  TPrepared p;
  bool single = Format & DT_SINGLELINE;
  bool prefix = !(Format & DT_NOPREFIX);
  bool mark = false;
  for (size_t i = 0; i < S.size();) {
    char c = S[i];
    if (prefix && c == '&') {
      if (i + 1 < S.size() && S[i + 1] == '&') {
        p.Text += '&';
        i += 2;
      } else {
        mark = true;
        ++i;
      }
      continue;
    }
    if (c == '\t') {
      p.Text += (Format & DT_EXPANDTABS) ? '\t' : ' ';
      ++i;
      continue;
    }
    if (single && (c == '\r' || c == '\n')) {
      p.Text += ' ';
      i += (c == '\r' && i + 1 < S.size() && S[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    size_t len = static_cast<size_t>(g_utf8_skip[static_cast<unsigned char>(c)]);
    len = std::min(len, S.size() - i);
    if (mark && p.UnderlineStart < 0) {
      p.UnderlineStart = static_cast<int>(p.Text.size());
      p.UnderlineEnd = p.UnderlineStart + static_cast<int>(len);
    }
    mark = false;
    p.Text.append(S, i, len);
    i += len;
  }
  return p;
}

// The shared text context's paragraph direction, restored on scope exit.
class TBaseDirection {
public:
  explicit TBaseDirection(bool RightToLeft) : FContext(rix::TextContext()) {
    FOld = pango_context_get_base_dir(FContext);
    pango_context_set_base_dir(FContext, RightToLeft ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
  }
  ~TBaseDirection() { pango_context_set_base_dir(FContext, FOld); }
  TBaseDirection(const TBaseDirection&) = delete;
  TBaseDirection& operator=(const TBaseDirection&) = delete;

private:
  PangoContext* FContext;
  PangoDirection FOld;
};

struct TLayoutHolder {
  PangoLayout* Layout;
  ~TLayoutHolder() { g_object_unref(Layout); }
};

// The advance of the narrowest character the font commonly draws: no line
// of a rectangle can hold more characters than its width over this.
int NarrowestCharWidth(const TFont& Font) {
  static std::map<HFONT, int> cache;
  auto it = cache.find(Font.Handle());
  if (it != cache.end()) return it->second;
  int w = rix::TextLineWidth(Font, " ");
  for (const char* c : {"i", "l", "j", "I", "!", "'", ".", ",", ":", ";", "|"})
    w = std::min(w, rix::TextLineWidth(Font, c));
  return cache.emplace(Font.Handle(), std::max(1, w)).first->second;
}

bool IsContinuation(char C) { return (static_cast<unsigned char>(C) & 0xC0) == 0x80; }

// The byte offset N characters after From.
size_t AfterChars(std::string_view S, size_t From, long long N) {
  size_t i = From;
  for (; N > 0 && i < S.size(); --N) i += static_cast<size_t>(g_utf8_skip[static_cast<unsigned char>(S[i])]);
  return std::min(i, S.size());
}

// The byte offset N characters before From.
size_t BeforeChars(std::string_view S, size_t From, long long N) {
  size_t i = From;
  for (; N > 0 && i > 0; --N) {
    --i;
    while (i > 0 && IsContinuation(S[i])) --i;
  }
  return i;
}

// Where DrawText puts a line of the given logical width.
int LineLeft(const TRect& Rect, int Width, unsigned Format) {
  if (Format & DT_CENTER) return (Rect.Left + Rect.Right - Width) / 2;
  if (Format & DT_RIGHT) return Rect.Right - Width;
  return Rect.Left;
}

// Whether all DrawText paints of every line, its ink and an opaque
// background, lies inside Rect.
bool PaintsInside(PangoLayout* Layout, const TRect& Rect, int Top, const TTextMetric& Tm, unsigned Format,
                  bool Opaque) {
  auto inside = [&](int L, int T, int W, int H) {
    return W <= 0 || H <= 0 || (L >= Rect.Left && T >= Rect.Top && L + W <= Rect.Right && T + H <= Rect.Bottom);
  };
  const int lines = pango_layout_get_line_count(Layout);
  for (int i = 0; i < lines; ++i) {
    PangoRectangle ink, logical;
    pango_layout_line_get_pixel_extents(pango_layout_get_line_readonly(Layout, i), &ink, &logical);
    const int left = LineLeft(Rect, logical.width, Format), top = Top + i * Tm.tmHeight;
    if (Opaque && !inside(left, top, logical.width, Tm.tmHeight)) return false;
    // ink counts from the pen position: the baseline, an ascent below the
    // line's top, and logical.x left of the line's left.
    if (!inside(left - logical.x + ink.x, top + Tm.tmAscent + ink.y, ink.width, ink.height)) return false;
  }
  return true;
}

} // namespace

std::string_view VisibleText(HDC DC, const std::string& Text, int Count, const TRect& Rect, unsigned Format) {
  size_t n = Count < 0 ? Text.size() : std::min(Text.size(), static_cast<size_t>(Count));
  if (const void* z = std::memchr(Text.data(), '\0', n)) n = static_cast<size_t>(static_cast<const char*>(z) - Text.data());
  std::string_view s(Text.data(), n);
  if (DC == nullptr) return s;
  const long long width = std::llabs(static_cast<long long>(Rect.Right) - Rect.Left);
  const long long height = std::llabs(static_cast<long long>(Rect.Bottom) - Rect.Top);
  if (width == 0 || height == 0) return {};
  const bool single = Format & DT_SINGLELINE;
  // Unwrapped lines run on past the rectangle and every line break may
  // bring another into view: only a scan for the breaks could bound them.
  if (!single && !(Format & DT_WORDBREAK)) return s;
  const TFont& font = *DC->Font();
  // One partly shown character at the end of a line and a few beyond it,
  // which shaping and line breaking look at.
  const long long perLine = width / NarrowestCharWidth(font) + 16;
  const long long lines = single ? 1 : height / std::max(1, rix::FontMetrics(font).tmHeight) + 2;
  const long long cap = perLine * lines;
  if (static_cast<long long>(s.size()) <= cap) return s;  // bytes are never fewer than characters
  if (single && !(Format & DT_END_ELLIPSIS)) {
    if (Format & DT_RIGHT) return s.substr(BeforeChars(s, s.size(), cap));
    if (Format & DT_CENTER) {
      size_t mid = s.size() / 2;
      while (mid > 0 && IsContinuation(s[mid])) --mid;
      size_t from = BeforeChars(s, mid, cap / 2);
      return s.substr(from, AfterChars(s, mid, cap - cap / 2) - from);
    }
  }
  return s.substr(0, AfterChars(s, 0, cap));
}

int DrawText(HDC DC, const std::string& Text, int Count, TRect& Rect, unsigned Format) {
  if (DC == nullptr) return 0;
  const TFont& font = *DC->Font();
  const TTextMetric& tm = rix::FontMetrics(font);
  bool single = Format & DT_SINGLELINE;
  // Only what can show is laid out when drawing clipped; measuring takes
  // the whole text.
  std::string clean = (Format & (DT_CALCRECT | DT_NOCLIP))
                          ? rix::SanitizeUtf8(Text, Count)
                          : rix::SanitizeUtf8(std::string(VisibleText(DC, Text, Count, Rect, Format)));
  if (clean.empty()) {
    if (Format & DT_CALCRECT) {
      Rect.Right = Rect.Left;
      Rect.Bottom = Rect.Top + (single ? tm.tmHeight : 0);
    }
    return tm.tmHeight;
  }

  TPrepared prep = Prepare(clean, Format);
  TBaseDirection direction(Format & DT_RTLREADING);
  const bool wraps = (Format & DT_WORDBREAK) && !single;
  const bool cuts = (Format & DT_END_ELLIPSIS) && single;
  const int width = std::max(1, Rect.Right - Rect.Left);
  // Everything the layout below depends on, and nothing else: the same text
  // in the same font lays out the same in every cell of every frame.
  rix::TLayoutKey key{font.Handle(),
                      Format & (DT_SINGLELINE | DT_WORDBREAK | DT_END_ELLIPSIS | DT_EXPANDTABS | DT_RTLREADING),
                      wraps || cuts ? width : 0, prep.UnderlineStart, prep.Text};
  TLayoutHolder h{rix::CachedLayout(key, [&] {
    PangoLayout* layout = rix::CreateTextLayout(font, prep.Text);
    pango_layout_set_auto_dir(layout, FALSE);
    if (single) pango_layout_set_single_paragraph_mode(layout, TRUE);
    if (wraps) {
      pango_layout_set_width(layout, width * PANGO_SCALE);
      pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    if (cuts) {
      pango_layout_set_width(layout, width * PANGO_SCALE);
      pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    if (Format & DT_EXPANDTABS) {
      PangoTabArray* tabs = pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT, 8 * tm.tmAveCharWidth);
      pango_layout_set_tabs(layout, tabs);
      pango_tab_array_free(tabs);
    }
    if (prep.UnderlineStart >= 0) {
      PangoAttrList* attrs = pango_layout_get_attributes(layout);
      attrs = attrs ? pango_attr_list_copy(attrs) : pango_attr_list_new();
      PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
      u->start_index = static_cast<guint>(prep.UnderlineStart);
      u->end_index = static_cast<guint>(prep.UnderlineEnd);
      pango_attr_list_insert(attrs, u);
      pango_layout_set_attributes(layout, attrs);
      pango_attr_list_unref(attrs);
    }
    return layout;
  })};
  PangoLayout* layout = h.Layout;

  int lines = pango_layout_get_line_count(layout);
  int height = lines * tm.tmHeight;
  int widest = 0;
  for (int i = 0; i < lines; ++i) {
    PangoRectangle logical;
    pango_layout_line_get_pixel_extents(pango_layout_get_line_readonly(layout, i), nullptr, &logical);
    widest = std::max(widest, logical.width);
  }
  if (Format & DT_CALCRECT) {
    Rect.Right = Rect.Left + widest;
    Rect.Bottom = Rect.Top + height;
    return height;
  }

  int top = Rect.Top;
  if (single && (Format & DT_VCENTER))
    top = Rect.Top + (Rect.Bottom - Rect.Top) / 2 - tm.tmHeight / 2;
  else if (single && (Format & DT_BOTTOM))
    top = Rect.Bottom - tm.tmHeight;

  DC->Changing();
  cairo_t* cr = DC->Cairo();
  // The clip costs more than the text itself in a grid of short values;
  // text that stays inside the rectangle needs none.
  std::optional<TSaveDC> clipped;
  const bool clips = !(Format & DT_NOCLIP) && (!rix::PaintShortcutsEnabled() ||
                                                !PaintsInside(layout, Rect, top, tm, Format, DC->BkMode() == OPAQUE));
  if (clips) {
    clipped.emplace(DC);
    IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  }
  for (int i = 0; i < lines; ++i) {
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, i);
    PangoRectangle logical;
    pango_layout_line_get_pixel_extents(line, nullptr, &logical);
    int x = LineLeft(Rect, logical.width, Format);
    int y = top + i * tm.tmHeight;
    if (DC->BkMode() == OPAQUE) DC->FillSolid({x, y, x + logical.width, y + tm.tmHeight}, DC->BkColor());
    const int penX = x - logical.x, baseline = y + tm.tmAscent;
    // A line drawn before is composited from its coverage; underlines and
    // other attributes are drawn as shapes, which keep to the glyph path.
    bool drawn = false;
    if (pango_layout_get_attributes(layout) == nullptr && rix::PaintShortcutsEnabled()) {
      key.Line = i;
      drawn = DC->CompositeMask(rix::CachedLineMask(key, [&] { return rix::MakeLineMask(line); }), penX, baseline,
                                DC->TextColor());
    }
    if (!drawn) rix::ShowTextLine(cr, line, penX, baseline, DC->TextColor());
  }
  clipped.reset();
  DC->Changed();
  if (single && (Format & (DT_VCENTER | DT_BOTTOM))) return top - Rect.Top + tm.tmHeight;
  return height;
}
