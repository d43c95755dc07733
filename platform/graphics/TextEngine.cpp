#include "platform/graphics/TextEngine.h"

#include "platform/graphics/TextCache.h"

#include <cairo-ft.h>
#include <pango/pangocairo.h>
#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace rix {

namespace {

struct TContextHolder {
  PangoContext* Context = nullptr;
  ~TContextHolder() {
    if (Context) g_object_unref(Context);
  }
};

struct TDescCache {
  std::map<HFONT, PangoFontDescription*> Map;
  ~TDescCache() {
    for (auto& [h, d] : Map) pango_font_description_free(d);
  }
};

TDescCache& DescCache() {
  static TDescCache cache;
  return cache;
}

PangoFontDescription* NewDescription(const TFont& Font, double PixelSize) {
  PangoFontDescription* d = pango_font_description_new();
  std::string family = Font.Name().empty() ? std::string(TFont::DefaultName) : Font.Name();
  if (Font.Pitch() == fpFixed) family += ",Monospace";
  pango_font_description_set_family(d, family.c_str());
  pango_font_description_set_absolute_size(d, PixelSize * PANGO_SCALE);
  pango_font_description_set_weight(d, Font.Style().Contains(fsBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d, Font.Style().Contains(fsItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

struct TRawMetrics {
  int Ascent, Descent, AveChar;
};

TRawMetrics RawMetrics(PangoFontDescription* Desc) {
  PangoFontMetrics* m = pango_context_get_metrics(TextContext(), Desc, pango_language_from_string("en"));
  TRawMetrics r{PANGO_PIXELS(pango_font_metrics_get_ascent(m)), PANGO_PIXELS(pango_font_metrics_get_descent(m)),
                PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(m))};
  pango_font_metrics_unref(m);
  return r;
}

// Windows heights: negative is the em size, positive the whole cell
// (ascent + descent); 0 asks for the default size.
const PangoFontDescription* Description(const TFont& Font) {
  auto& map = DescCache().Map;
  HFONT h = Font.Handle();
  auto it = map.find(h);
  if (it != map.end()) return it->second;
  int height = Font.Height() == 0 ? TFont::DefaultHeight : Font.Height();
  double px = height < 0 ? -static_cast<double>(height) : height;
  PangoFontDescription* d = NewDescription(Font, px);
  if (height > 0) {
    TRawMetrics m = RawMetrics(d);
    int cell = m.Ascent + m.Descent;
    if (cell > 0 && cell != height) {
      pango_font_description_free(d);
      d = NewDescription(Font, px * height / cell);
    }
  }
  map.emplace(h, d);
  return d;
}

} // namespace

PangoContext* TextContext() {
  static TContextHolder holder;
  if (holder.Context == nullptr) {
    PangoFontMap* map = pango_cairo_font_map_get_default();
    PangoContext* c = pango_font_map_create_context(map);
    pango_cairo_context_set_resolution(c, 96.0);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(c, o);
    cairo_font_options_destroy(o);
    pango_context_set_round_glyph_positions(c, TRUE);
    // Left to right from the start (not Pango's weak default), so that the
    // left-to-right text that DrawText asks for leaves the context alone: a
    // changed context makes every cached layout lay itself out again.
    pango_context_set_base_dir(c, PANGO_DIRECTION_LTR);
    holder.Context = c;
  }
  return holder.Context;
}

const TTextMetric& FontMetrics(const TFont& Font) {
  static std::map<HFONT, TTextMetric> cache;
  HFONT h = Font.Handle();
  auto it = cache.find(h);
  if (it != cache.end()) return it->second;
  auto* desc = const_cast<PangoFontDescription*>(Description(Font));
  TRawMetrics m = RawMetrics(desc);
  TTextMetric tm;
  tm.tmAscent = m.Ascent;
  tm.tmDescent = m.Descent;
  tm.tmHeight = m.Ascent + m.Descent;
  int em = PANGO_PIXELS(pango_font_description_get_size(desc));
  tm.tmInternalLeading = std::max(0, tm.tmHeight - em);
  tm.tmAveCharWidth = std::max(1, m.AveChar);
  tm.tmMaxCharWidth = std::max({TextLineWidth(Font, "W"), TextLineWidth(Font, "M"), em});
  return cache.emplace(h, tm).first->second;
}

PangoLayout* CreateTextLayout(const TFont& Font, const std::string& Text) {
  PangoLayout* layout = pango_layout_new(TextContext());
  pango_layout_set_font_description(layout, Description(Font));
  if (Font.Style().Contains(fsUnderline) || Font.Style().Contains(fsStrikeOut)) {
    PangoAttrList* attrs = pango_attr_list_new();
    if (Font.Style().Contains(fsUnderline)) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (Font.Style().Contains(fsStrikeOut)) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  std::string clean = SanitizeUtf8(Text);
  pango_layout_set_text(layout, clean.data(), static_cast<int>(clean.size()));
  return layout;
}

int TextLineWidth(const TFont& Font, const std::string& Text) {
  return CachedTextWidth(Font.Handle(), Text, [&] {
    PangoLayout* layout = CreateTextLayout(Font, Text);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    return logical.width;
  });
}

std::vector<int> TextLineOffsets(const TFont& Font, const std::string& Text) {
  std::vector<int> offsets;
  offsets.reserve(Text.size() + 1);
  PangoLayout* layout = CreateTextLayout(Font, Text);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  const char* laid = pango_layout_get_text(layout);
  const int laidBytes = static_cast<int>(std::strlen(laid));
  for (int i = 0; i < laidBytes; i = static_cast<int>(g_utf8_next_char(laid + i) - laid)) {
    int x = 0;
    pango_layout_line_index_to_x(line, i, FALSE, &x);
    offsets.push_back(PANGO_PIXELS(x));
  }
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  g_object_unref(layout);
  // Every character of Text has its boundary, laid out or not.
  const auto chars = static_cast<size_t>(g_utf8_strlen(Text.data(), static_cast<gssize>(Text.size())));
  offsets.resize(chars, logical.width);
  offsets.push_back(logical.width);
  return offsets;
}

std::string SanitizeUtf8(const std::string& Text, long long Count) {
  size_t n = Count < 0 || static_cast<unsigned long long>(Count) > Text.size() ? Text.size() : static_cast<size_t>(Count);
  std::string out;
  out.reserve(n);
  const char* p = Text.data();
  const char* end = p + n;
  while (p < end) {
    const gchar* stop = nullptr;
    if (g_utf8_validate(p, end - p, &stop)) {
      out.append(p, end);
      break;
    }
    out.append(p, stop);
    p = stop;
    if (*p == '\0') break;
    // A sequence cut by Count is dropped; a broken one shows as U+FFFD.
    gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == static_cast<gunichar>(-2)) break;
    out += "\xEF\xBF\xBD";
    ++p;
  }
  // NULs end the text, as they end a C string.
  auto z = out.find('\0');
  if (z != std::string::npos) out.resize(z);
  return out;
}

} // namespace rix

#include "platform/graphics/Colors.h"

namespace rix {

void SetSourceColor(cairo_t* Cr, TColor Color) {
  TColor c = ColorToRGB(Color);
  cairo_set_source_rgb(Cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

namespace {

bool HasColourGlyphs(PangoLayoutLine* Line) {
  for (GSList* run = Line->runs; run != nullptr; run = run->next) {
    auto* item = static_cast<PangoGlyphItem*>(run->data);
    if (item == nullptr || item->item == nullptr || !PANGO_IS_CAIRO_FONT(item->item->analysis.font)) return true;
    cairo_scaled_font_t* font = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(item->item->analysis.font));
    if (font == nullptr || cairo_scaled_font_get_type(font) != CAIRO_FONT_TYPE_FT) return true;
    FT_Face face = cairo_ft_scaled_font_lock_face(font);
    const bool colour = face == nullptr || FT_HAS_COLOR(face);
    cairo_ft_scaled_font_unlock_face(font);
    if (colour) return true;
  }
  return false;
}

} // namespace

TLineMask MakeLineMask(PangoLayoutLine* Line) {
  TLineMask m;
  PangoRectangle ink, logical;
  pango_layout_line_get_pixel_extents(Line, &ink, &logical);
  // Room around the ink Pango reckons, for hinting that reaches a pixel
  // further; ink found on the border means even that was not enough.
  constexpr int Pad = 4;
  constexpr long long MaxPixels = 1 << 20;
  if (HasColourGlyphs(Line)) return m;
  if (ink.width <= 0 || ink.height <= 0) {
    m.Usable = true;
    return m;
  }
  const int w = ink.width + 2 * Pad, h = ink.height + 2 * Pad;
  if (static_cast<long long>(w) * h > MaxPixels) return m;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(s);
  const int penX = Pad - ink.x, penY = Pad - ink.y;
  ShowTextLine(cr, Line, penX, penY, clBlack);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  int left = w, top = h, right = -1, bottom = -1;
  bool fits = data != nullptr;
  for (int y = 0; fits && y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      if (row[x] == 0) continue;
      // Black drawn over nothing has no colour; anything else was drawn in
      // colours of its own.
      if ((row[x] & 0xFFFFFF) != 0 || x == 0 || y == 0 || x == w - 1 || y == h - 1) {
        fits = false;
        break;
      }
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (fits && right >= 0) {
    const int mw = right - left + 1, mh = bottom - top + 1;
    m.Image = pixman_image_create_bits(PIXMAN_a8, mw, mh, nullptr, 0);
    if (m.Image == nullptr) fits = false;
    else {
      auto* out = reinterpret_cast<unsigned char*>(pixman_image_get_data(m.Image));
      const int outStride = pixman_image_get_stride(m.Image);
      for (int y = 0; y < mh; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(top + y) * stride);
        for (int x = 0; x < mw; ++x) out[y * outStride + x] = static_cast<unsigned char>(row[left + x] >> 24);
      }
      m.Left = left - penX, m.Top = top - penY, m.Width = mw, m.Height = mh;
    }
  }
  cairo_surface_destroy(s);
  m.Usable = fits;
  return m;
}

void ShowTextLine(cairo_t* Cr, PangoLayoutLine* Line, int X, int Baseline, TColor Color) {
  cairo_save(Cr);
  SetSourceColor(Cr, Color);
  cairo_move_to(Cr, X, Baseline);
  pango_cairo_show_layout_line(Cr, Line);
  cairo_restore(Cr);
}

} // namespace rix

namespace rix {

int UnknownGlyphCount(const TFont& Font, const std::string& Text) {
  PangoLayout* layout = CreateTextLayout(Font, Text);
  int n = pango_layout_get_unknown_glyphs_count(layout);
  g_object_unref(layout);
  return n;
}

} // namespace rix
