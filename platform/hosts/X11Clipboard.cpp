#include "platform/hosts/X11Clipboard.h"

#include "platform/core/Streams.h"
#include "platform/graphics/Picture.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <map>
#include <poll.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

// Xlib's macros would clash with the names used here.
namespace {
constexpr unsigned long XNone = None;
constexpr int XFalse = False;
} // namespace
#undef None
#undef True
#undef False
#undef Bool
#undef Status

namespace {
using TBytes = std::vector<std::uint8_t>;
using TClock = std::chrono::steady_clock;

// A piece of a large transfer (INCR) goes out at most this big.
constexpr size_t ChunkSize = 64 * 1024;
constexpr auto AnswerTimeout = std::chrono::milliseconds(1000);
constexpr auto CacheTime = std::chrono::milliseconds(300);

// Xlib errors from other programs' windows (one may vanish while it is
// served) are ignored for the time of a guard; Xlib's default handler would
// end the process.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }
class TErrorGuard {
public:
  explicit TErrorGuard(Display* D) : FD(D), FOld(XSetErrorHandler(IgnoreErrors)) {}
  ~TErrorGuard() {
    XSync(FD, XFalse);
    XSetErrorHandler(FOld);
  }
  TErrorGuard(const TErrorGuard&) = delete;
  TErrorGuard& operator=(const TErrorGuard&) = delete;

private:
  Display* FD;
  int (*FOld)(Display*, XErrorEvent*);
};

enum class TKind { Unknown, Png, Bmp, Jpeg };
TKind KindOf(const TBytes& B) {
  if (B.size() >= 8 && std::memcmp(B.data(), "\x89PNG\r\n\x1a\n", 8) == 0) return TKind::Png;
  if (B.size() >= 2 && B[0] == 'B' && B[1] == 'M') return TKind::Bmp;
  if (B.size() >= 3 && B[0] == 0xFF && B[1] == 0xD8 && B[2] == 0xFF) return TKind::Jpeg;
  return TKind::Unknown;
}

TBytes Save(TGraphic& G) {
  TMemoryStream s;
  G.SaveToStream(s);
  return TBytes(s.Memory(), s.Memory() + s.Size());
}
} // namespace

struct TX11Clipboard::TImpl {
  Display* D = nullptr;
  Window W = 0;
  Atom Clipboard, Targets, Timestamp, Incr, Utf8, Text, PlainUtf8, Plain, Png, Bmp, XBmp, XMsBmp, Jpeg, Prop, TimeProp;

  // What this process offers while it owns the selection.
  bool Owned = false;
  Time Since = 0;
  bool HasText = false;
  TBytes TextBytes;
  std::map<Atom, std::shared_ptr<const TBytes>> Pictures;

  // A large answer going out in pieces.
  struct TOutgoing {
    Window Requestor;
    Atom Property, Type;
    std::shared_ptr<const TBytes> Data;
    size_t Offset = 0;
  };
  std::vector<TOutgoing> Outgoing;

  // The last answers fetched from another owner.
  Window CacheOwner = 0;
  TClock::time_point CacheAt{};
  bool CachedTargets = false;
  std::vector<Atom> TargetList;
  std::map<Atom, std::pair<bool, TBytes>> Fetched;

  ~TImpl() {
    if (D != nullptr) {
      if (W != 0) XDestroyWindow(D, W);
      XCloseDisplay(D);
    }
  }

  Atom A(const char* Name) { return XInternAtom(D, Name, XFalse); }

  bool TextTarget(Atom T) const { return T == Utf8 || T == XA_STRING || T == Text || T == PlainUtf8 || T == Plain; }

  // The server's time now, from a property change on our window.
  Time ServerTime() {
    XChangeProperty(D, W, TimeProp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent e;
    XWindowEvent(D, W, PropertyChangeMask, &e);
    if (e.type == PropertyNotify && e.xproperty.atom != TimeProp) HandleEvent(e);
    return e.xproperty.time;
  }

  void Take() {
    Since = ServerTime();
    XSetSelectionOwner(D, Clipboard, W, Since);
    Owned = XGetSelectionOwner(D, Clipboard) == W;
    Fetched.clear();
    CachedTargets = false;
    XFlush(D);
  }

  std::vector<Atom> Offered() const {
    std::vector<Atom> t{Targets, Timestamp};
    if (HasText) t.insert(t.end(), {Utf8, XA_STRING, Text, PlainUtf8, Plain});
    for (const auto& [type, data] : Pictures) t.push_back(type);
    return t;
  }

  std::shared_ptr<const TBytes> DataFor(Atom Target) const {
    if (HasText && TextTarget(Target)) return std::make_shared<const TBytes>(TextBytes);
    auto it = Pictures.find(Target);
    return it == Pictures.end() ? nullptr : it->second;
  }

  void Serve(const XSelectionRequestEvent& R) {
    TErrorGuard guard(D);
    Atom property = R.property == XNone ? R.target : R.property;
    bool ok = false;
    if (Owned && R.selection == Clipboard) {
      if (R.target == Targets) {
        std::vector<Atom> t = Offered();
        XChangeProperty(D, R.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(t.data()), static_cast<int>(t.size()));
        ok = true;
      } else if (R.target == Timestamp) {
        long t = static_cast<long>(Since);
        XChangeProperty(D, R.requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&t), 1);
        ok = true;
      } else if (auto data = DataFor(R.target)) {
        if (data->size() <= ChunkSize) {
          XChangeProperty(D, R.requestor, property, R.target, 8, PropModeReplace, data->data(),
                          static_cast<int>(data->size()));
        } else {
          // Announced with INCR; each deletion of the property asks for the next piece.
          XSelectInput(D, R.requestor, PropertyChangeMask);
          long size = static_cast<long>(data->size());
          XChangeProperty(D, R.requestor, property, Incr, 32, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(&size), 1);
          Outgoing.push_back({R.requestor, property, R.target, data, 0});
        }
        ok = true;
      }
    }
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = D;
    reply.xselection.requestor = R.requestor;
    reply.xselection.selection = R.selection;
    reply.xselection.target = R.target;
    reply.xselection.property = ok ? property : XNone;
    reply.xselection.time = R.time;
    XSendEvent(D, R.requestor, XFalse, 0, &reply);
  }

  void Continue(const XPropertyEvent& P) {
    if (P.state != PropertyDelete) return;
    for (auto it = Outgoing.begin(); it != Outgoing.end(); ++it) {
      if (it->Requestor != P.window || it->Property != P.atom) continue;
      TErrorGuard guard(D);
      size_t n = std::min(ChunkSize, it->Data->size() - it->Offset);
      XChangeProperty(D, it->Requestor, it->Property, it->Type, 8, PropModeReplace, it->Data->data() + it->Offset,
                      static_cast<int>(n));
      it->Offset += n;
      if (n == 0) { // the empty piece ends the transfer
        XSelectInput(D, it->Requestor, NoEventMask);
        Outgoing.erase(it);
      }
      return;
    }
  }

  void HandleEvent(XEvent& E) {
    switch (E.type) {
    case SelectionRequest: Serve(E.xselectionrequest); break;
    case SelectionClear:
      if (E.xselectionclear.selection == Clipboard) {
        Owned = false;
        HasText = false;
        TextBytes.clear();
        Pictures.clear();
      }
      break;
    case PropertyNotify:
      if (E.xproperty.window != W) Continue(E.xproperty);
      break;
    default: break;
    }
  }

  void Pump() {
    while (XPending(D) > 0) {
      XEvent e;
      XNextEvent(D, &e);
      HandleEvent(e);
    }
  }

  // Waits for an event on our window that Match accepts, answering other
  // requests meanwhile. False when the deadline passes.
  template <typename F> bool WaitFor(XEvent& Out, F Match, TClock::time_point Deadline) {
    for (;;) {
      while (XPending(D) > 0) {
        XNextEvent(D, &Out);
        if (Match(Out)) return true;
        HandleEvent(Out);
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now()).count();
      if (left <= 0) return false;
      pollfd p{ConnectionNumber(D), POLLIN, 0};
      poll(&p, 1, static_cast<int>(std::min<long long>(left, 50)));
    }
  }

  // Reads and deletes our receiving property; follows an INCR transfer.
  bool ReadProperty(TBytes& Out, Atom& Type) {
    Out.clear();
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(D, W, Prop, 0, LONG_MAX / 4, 1, AnyPropertyType, &Type, &format, &items, &after, &data) !=
        Success)
      return false;
    auto append = [&] {
      size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
      Out.insert(Out.end(), data, data + items * unit);
      XFree(data);
      data = nullptr;
    };
    if (Type != Incr) {
      if (data != nullptr) append();
      return Type != XNone;
    }
    if (data != nullptr) XFree(data);
    TBytes piece;
    for (;;) {
      XEvent e;
      auto isNewValue = [this](const XEvent& Ev) {
        return Ev.type == PropertyNotify && Ev.xproperty.window == W && Ev.xproperty.atom == Prop &&
               Ev.xproperty.state == PropertyNewValue;
      };
      if (!WaitFor(e, isNewValue, TClock::now() + AnswerTimeout)) return false;
      Atom pieceType = XNone;
      if (XGetWindowProperty(D, W, Prop, 0, LONG_MAX / 4, 1, AnyPropertyType, &pieceType, &format, &items, &after,
                             &data) != Success)
        return false;
      if (items == 0) {
        if (data != nullptr) XFree(data);
        return true;
      }
      Type = pieceType;
      append();
    }
  }

  // Asks the selection's owner for Target.
  bool Convert(Atom Target, TBytes& Out) {
    auto hit = Fetched.find(Target);
    if (hit != Fetched.end()) {
      Out = hit->second.second;
      return hit->second.first;
    }
    XDeleteProperty(D, W, Prop);
    XConvertSelection(D, Clipboard, Target, Prop, W, CurrentTime);
    XFlush(D);
    XEvent e;
    auto isNotify = [this](const XEvent& Ev) { return Ev.type == SelectionNotify && Ev.xselection.requestor == W; };
    bool ok = false;
    Atom type = XNone;
    if (WaitFor(e, isNotify, TClock::now() + AnswerTimeout) && e.xselection.property != XNone)
      ok = ReadProperty(Out, type);
    if (!ok) Out.clear();
    Fetched[Target] = {ok, Out};
    return ok;
  }

  // Forgets the answers of an earlier owner or of long ago. False when
  // nobody owns the selection.
  bool Refresh() {
    Window owner = XGetSelectionOwner(D, Clipboard);
    if (owner == XNone) return false;
    if (owner != CacheOwner || TClock::now() - CacheAt > CacheTime) {
      CacheOwner = owner;
      CacheAt = TClock::now();
      Fetched.clear();
      CachedTargets = false;
    }
    return true;
  }

  const std::vector<Atom>& TargetsOfOwner() {
    if (!CachedTargets) {
      CachedTargets = true;
      TargetList.clear();
      TBytes raw;
      if (Convert(Targets, raw)) {
        const auto* atoms = reinterpret_cast<const Atom*>(raw.data());
        TargetList.assign(atoms, atoms + raw.size() / sizeof(Atom));
      }
    }
    return TargetList;
  }
};

std::unique_ptr<TX11Clipboard> TX11Clipboard::Open(const char* DisplayName) {
  auto impl = std::make_unique<TImpl>();
  impl->D = XOpenDisplay(DisplayName);
  if (impl->D == nullptr) return nullptr;
  TImpl& i = *impl;
  i.W = XCreateSimpleWindow(i.D, DefaultRootWindow(i.D), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(i.D, i.W, PropertyChangeMask);
  i.Clipboard = i.A("CLIPBOARD");
  i.Targets = i.A("TARGETS");
  i.Timestamp = i.A("TIMESTAMP");
  i.Incr = i.A("INCR");
  i.Utf8 = i.A("UTF8_STRING");
  i.Text = i.A("TEXT");
  i.PlainUtf8 = i.A("text/plain;charset=utf-8");
  i.Plain = i.A("text/plain");
  i.Png = i.A("image/png");
  i.Bmp = i.A("image/bmp");
  i.XBmp = i.A("image/x-bmp");
  i.XMsBmp = i.A("image/x-ms-bmp");
  i.Jpeg = i.A("image/jpeg");
  i.Prop = i.A("RIX_CLIPBOARD");
  i.TimeProp = i.A("RIX_TIMESTAMP");
  XFlush(i.D);
  return std::unique_ptr<TX11Clipboard>(new TX11Clipboard(std::move(impl)));
}

TX11Clipboard::TX11Clipboard(std::unique_ptr<TImpl> Impl) : F(std::move(Impl)) {}
TX11Clipboard::~TX11Clipboard() = default;

void TX11Clipboard::Pump() { F->Pump(); }
bool TX11Clipboard::Owned() const { return F->Owned; }

void TX11Clipboard::PutText(const std::string& Text) {
  F->HasText = true;
  F->TextBytes.assign(Text.begin(), Text.end());
  F->Pictures.clear();
  F->Take();
}

void TX11Clipboard::PutPicture(const std::vector<std::uint8_t>& Bytes) {
  F->HasText = false;
  F->TextBytes.clear();
  F->Pictures.clear();
  TKind kind = KindOf(Bytes);
  auto shared = std::make_shared<const TBytes>(Bytes);
  // The picture's pixels give whichever of PNG and BMP it is not.
  TBitmap pixels;
  try {
    TPicture picture;
    TMemoryStream s(Bytes);
    picture.LoadFromStream(s);
    if (picture.Graphic() != nullptr) pixels.Assign(picture.Graphic());
  } catch (const Exception&) {
  }
  if (kind == TKind::Png) {
    F->Pictures[F->Png] = shared;
  } else if (!pixels.Empty()) {
    TPngImage png;
    png.Assign(&pixels);
    F->Pictures[F->Png] = std::make_shared<const TBytes>(Save(png));
  }
  std::shared_ptr<const TBytes> bmp;
  if (kind == TKind::Bmp) bmp = shared;
  else if (!pixels.Empty()) bmp = std::make_shared<const TBytes>(Save(pixels));
  if (bmp) F->Pictures[F->Bmp] = F->Pictures[F->XBmp] = F->Pictures[F->XMsBmp] = bmp;
  if (kind == TKind::Jpeg) F->Pictures[F->Jpeg] = shared;
  F->Take();
}

bool TX11Clipboard::FetchText(std::string& Text) {
  F->Pump();
  if (F->Owned) {
    if (!F->HasText) return false;
    Text.assign(F->TextBytes.begin(), F->TextBytes.end());
    return true;
  }
  if (!F->Refresh()) return false;
  const std::vector<Atom>& offered = F->TargetsOfOwner();
  auto has = [&](Atom T) { return std::find(offered.begin(), offered.end(), T) != offered.end(); };
  TBytes bytes;
  // An owner that cannot list its targets is asked for UTF-8 all the same.
  bool ok = (offered.empty() || has(F->Utf8)) ? F->Convert(F->Utf8, bytes) : false;
  if (!ok && has(XA_STRING)) ok = F->Convert(XA_STRING, bytes);
  if (!ok) return false;
  while (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
  Text.assign(bytes.begin(), bytes.end());
  return true;
}

TClipboardHostLink::TPictureState TX11Clipboard::FetchPicture(std::vector<std::uint8_t>& Bytes) {
  F->Pump();
  if (F->Owned) return TPictureState::Own;
  if (!F->Refresh()) return TPictureState::None;
  const std::vector<Atom>& offered = F->TargetsOfOwner();
  for (Atom t : {F->Png, F->Bmp, F->XBmp, F->XMsBmp, F->Jpeg})
    if (std::find(offered.begin(), offered.end(), t) != offered.end() && F->Convert(t, Bytes) && !Bytes.empty())
      return TPictureState::Picture;
  return TPictureState::None;
}
