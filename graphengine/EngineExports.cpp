// PEGRP32D.DLL: our graph engine. Each object keeps its settings and data
// by property id (GraphStore) and draws a line graph with GDI into an
// enhanced metafile or its own memory bitmap. An object always has a window:
// a message-only one until it is made inside a parent window; the handle is
// that window's.
#define PEL_GRAPH_ENGINE_BUILDING
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "graphengine/EngineIds.h"
#include "graphengine/Pegrpapi.h"
#include "graphengine/GraphRender.h"
#include "graphengine/GraphStore.h"

namespace {

using pel::graphengine::GraphStore;
using pel::graphengine::ValueKind;
namespace pid = pel::graphengine::pid;

constexpr wchar_t kClassName[] = L"PelGraphEngine";
constexpr int kTextChars = 1256;

struct EngineObject {
  GraphStore store;
  HWND window = nullptr;
  SIZE size{1, 1};
  bool destroying = false;
  // the picture of the last PEgetmeta
  HENHMETAFILE meta = nullptr;
  // The screen as metafiles' reference, and its size in mm and pixels as
  // read for metaSize: each query of the display costs Wine a round of
  // server requests, many per picture otherwise.
  HDC screen = nullptr;
  int mmX = 0, pxX = 0, mmY = 0, pxY = 0;
  unsigned long long metaVersion = 0;
  SIZE metaSize{};
  // the image kept for the host (setting 2574)
  HDC memDc = nullptr;
  HBITMAP memBitmap = nullptr;
  HGDIOBJ memDisplaced = nullptr;
  SIZE memSize{};

  void FreeMeta() {
    if (meta) DeleteEnhMetaFile(meta);
    meta = nullptr;
  }
  void FreeMemory() {
    if (memDc && memDisplaced) SelectObject(memDc, memDisplaced);
    if (memDc) DeleteDC(memDc);
    if (memBitmap) DeleteObject(memBitmap);
    memDc = nullptr;
    memBitmap = nullptr;
    memDisplaced = nullptr;
  }
  ~EngineObject() {
    FreeMeta();
    FreeMemory();
    if (screen) DeleteDC(screen);
  }
};

// Objects by handle. Each object is used on the thread that made it; the
// lock guards only the table.
std::mutex g_lock;
std::map<HWND, std::unique_ptr<EngineObject>> g_objects;

EngineObject* Find(HWND h) {
  std::lock_guard<std::mutex> lock(g_lock);
  auto it = g_objects.find(h);
  return it == g_objects.end() ? nullptr : it->second.get();
}

std::unique_ptr<EngineObject> Take(HWND h) {
  std::lock_guard<std::mutex> lock(g_lock);
  auto it = g_objects.find(h);
  if (it == g_objects.end()) return nullptr;
  auto obj = std::move(it->second);
  g_objects.erase(it);
  return obj;
}

HINSTANCE ThisModule() {
  HMODULE m = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &m);
  return m;
}

std::size_t RecordSize(unsigned id) {
  switch (id) {
    case pid::HotSpot: return sizeof(pel::graph::HotSpotRecord);
    case pid::GraphHotSpot: return sizeof(pel::graph::GraphHotSpotRecord);
    case pid::MousePoint: return sizeof(pel::graph::MousePointRecord);
    case pid::CustomGridNumber: return sizeof(pel::graph::CustomGridNumberRecord);
    default: return 0;
  }
}

template <class T>
void PutRecord(GraphStore& g, unsigned id, const T& rec) {
  auto& bytes = g.Record(id);
  bytes.resize(sizeof rec);
  std::memcpy(bytes.data(), &rec, sizeof rec);
}

// A click: the hot spot under the mouse is current when the host asks.
void Click(EngineObject& o, LPARAM lp) {
  const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  PutRecord(o.store, pid::MousePoint, pel::graph::MousePointRecord{pt.x, pt.y});
  const auto layout = pel::graphengine::ComputeLayout(o.store, o.size.cx, o.size.cy);
  const auto hit = pel::graphengine::HitTest(o.store, layout, pt);
  PutRecord(o.store, pid::HotSpot, pel::graph::HotSpotRecord{0, 0, 0, 0, hit.type, hit.first, hit.second});
  PutRecord(o.store, pid::GraphHotSpot, pel::graph::GraphHotSpotRecord{hit.axis, 0, hit.x, hit.y});
}

LRESULT CALLBACK EngineWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  EngineObject* o = Find(hwnd);
  if (o) {
    switch (msg) {
      case WM_SIZE:
        o->size = SIZE{std::max<LONG>(1, LOWORD(lp)), std::max<LONG>(1, HIWORD(lp))};
        o->store.SetNumber(pid::ImageDirty, 1);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        Click(*o, lp);
        return 0;
      case WM_MOUSEWHEEL:
        return 0;  // not handed back to the parent, which sent it
      case WM_DESTROY:
        // The parent went first: the settings stay with the handle until
        // PEdestroy, so a new window can take them over.
        if (!o->destroying) o->window = nullptr;
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClassOnce() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &EngineWndProc;
    wc.hInstance = ThisModule();
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  (void)atom;
}

void DestroyObject(std::unique_ptr<EngineObject> o) {
  if (!o) return;
  o->destroying = true;
  if (o->window && IsWindow(o->window)) DestroyWindow(o->window);
}

// Renders the picture at the object's size; kept until a setting changes.
HENHMETAFILE Meta(EngineObject& o) {
  const SIZE s = o.size;
  if (o.meta && o.metaVersion == o.store.Version() && o.metaSize.cx == s.cx && o.metaSize.cy == s.cy) return o.meta;
  const bool resized = !o.meta || o.metaSize.cx != s.cx || o.metaSize.cy != s.cy;
  o.FreeMeta();
  if (!o.screen) o.screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (resized || !o.pxX) {
    o.mmX = GetDeviceCaps(o.screen, HORZSIZE), o.pxX = GetDeviceCaps(o.screen, HORZRES);
    o.mmY = GetDeviceCaps(o.screen, VERTSIZE), o.pxY = GetDeviceCaps(o.screen, VERTRES);
  }
  // frame in 0.01 mm
  const RECT frame{0, 0, MulDiv(s.cx, o.mmX * 100, std::max(o.pxX, 1)), MulDiv(s.cy, o.mmY * 100, std::max(o.pxY, 1))};
  HDC dc = CreateEnhMetaFileW(o.screen, nullptr, &frame, nullptr);
  if (!dc) return nullptr;
  pel::graphengine::DrawGraph(o.store, dc, s.cx, s.cy);
  o.meta = CloseEnhMetaFile(dc);
  o.metaVersion = o.store.Version();
  o.metaSize = s;
  return o.meta;
}

}  // namespace

HWND PEcreate(UINT_PTR typeOrHandle, DWORD, const RECT* rect, HWND parent, UINT id) {
  RegisterClassOnce();
  auto obj = std::make_unique<EngineObject>();
  RECT r = rect ? *rect : RECT{0, 0, 300, 300};
  obj->size = SIZE{std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top)};
  const HWND previous = reinterpret_cast<HWND>(typeOrHandle);
  if (EngineObject* old = Find(previous)) obj->store = old->store;
  HWND w = parent ? CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, r.left, r.top, obj->size.cx,
                                    obj->size.cy, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    ThisModule(), nullptr)
                  : CreateWindowExW(0, kClassName, L"", 0, 0, 0, obj->size.cx, obj->size.cy, HWND_MESSAGE,
                                    nullptr, ThisModule(), nullptr);
  if (!w) return nullptr;
  obj->window = w;
  obj->store.Touch();
  {
    std::lock_guard<std::mutex> lock(g_lock);
    g_objects[w] = std::move(obj);
  }
  // The object the new one took over is no longer needed.
  if (previous != w) DestroyObject(Take(previous));
  return w;
}

BOOL PEdestroy(HWND h) {
  auto o = Take(h);
  if (!o) return FALSE;
  DestroyObject(std::move(o));
  return TRUE;
}

BOOL PEreinitialize(HWND h) {
  EngineObject* o = Find(h);
  if (!o) return FALSE;
  o->store.Touch();
  return TRUE;
}

BOOL PEreinitializecustoms(HWND h) { return PEreinitialize(h); }

BOOL PEresetimage(HWND h, INT, INT) {
  EngineObject* o = Find(h);
  if (!o) return FALSE;
  o->FreeMeta();
  o->store.Touch();
  return TRUE;
}

BOOL PEnset(HWND h, UINT id, INT value) {
  EngineObject* o = Find(h);
  if (!o) return FALSE;
  if (id == pid::EngineBitmap || id == pid::EngineMemoryDc) return FALSE;  // the engine's own
  o->store.SetNumber(id, value);
  if (id == pid::EngineMemory && !value) o->FreeMemory();
  return TRUE;
}

INT PEnget(HWND h, UINT id) {
  EngineObject* o = Find(h);
  if (!o) return 0;
  if (id == pid::EngineBitmap) return HandleToLong(o->memBitmap);
  if (id == pid::EngineMemoryDc) return HandleToLong(o->memDc);
  return o->store.Number(id);
}

BOOL PEvsetW(HWND h, UINT id, const void* value, INT count) {
  EngineObject* o = Find(h);
  if (!o || !value) return FALSE;
  // The data of every subset and point in one call (count values).
  if ((id == pid::XData || id == pid::YData) && count > 0)
    return o->store.SetDataArray(id, static_cast<const float*>(value), count);
  const std::size_t record = RecordSize(id);
  if (record && count >= 1) {
    auto& bytes = o->store.Record(id);
    bytes.resize(record);
    std::memcpy(bytes.data(), value, record);
    o->store.Touch();
    return TRUE;
  }
  switch (pel::graphengine::KindOf(id)) {
    case ValueKind::Double: {
      double d;
      std::memcpy(&d, value, sizeof d);
      o->store.SetDouble(id, d);
      return TRUE;
    }
    case ValueKind::Single: {
      float f;
      std::memcpy(&f, value, sizeof f);
      o->store.SetSingle(id, f);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

BOOL PEvgetW(HWND h, UINT id, void* buffer) {
  EngineObject* o = Find(h);
  if (!o || !buffer) return FALSE;
  if (const std::size_t record = RecordSize(id)) {
    auto& bytes = o->store.Record(id);
    bytes.resize(record);  // zeros until the engine has one
    std::memcpy(buffer, bytes.data(), record);
    return TRUE;
  }
  switch (pel::graphengine::KindOf(id)) {
    case ValueKind::Double: {
      const double d = o->store.Double(id);
      std::memcpy(buffer, &d, sizeof d);
      return TRUE;
    }
    case ValueKind::Single: {
      const float f = o->store.Single(id);
      std::memcpy(buffer, &f, sizeof f);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

BOOL PEszsetW(HWND h, UINT id, const WCHAR* text) {
  EngineObject* o = Find(h);
  if (!o || !text) return FALSE;
  o->store.SetText(id, reinterpret_cast<const char16_t*>(text));
  return TRUE;
}

BOOL PEszgetW(HWND h, UINT id, WCHAR* buffer) {
  if (!buffer) return FALSE;
  buffer[0] = L'\0';
  EngineObject* o = Find(h);
  if (!o) return FALSE;
  const std::u16string t = o->store.Text(id);
  // The host's buffer holds 1256 characters with the NUL.
  const std::size_t n = std::min<std::size_t>(t.size(), kTextChars - 1);
  std::memcpy(buffer, t.data(), n * sizeof(WCHAR));
  buffer[n] = L'\0';
  return TRUE;
}

BOOL PEvsetcellW(HWND h, UINT id, UINT index, const void* value) {
  EngineObject* o = Find(h);
  return o && index <= 0x7FFFFFFF && o->store.SetCell(id, static_cast<int>(index), value);
}

BOOL PEvgetcellW(HWND h, UINT id, UINT index, void* buffer) {
  EngineObject* o = Find(h);
  return o && index <= 0x7FFFFFFF && o->store.GetCell(id, static_cast<int>(index), buffer);
}

BOOL PEvsetcellExW(HWND h, UINT id, INT subset, INT point, const void* value) {
  EngineObject* o = Find(h);
  if (!o || !value || (id != pid::XData && id != pid::YData)) return FALSE;
  float f;
  std::memcpy(&f, value, sizeof f);
  return o->store.SetData(id, subset, point, f);
}

HENHMETAFILE PEgetmeta(HWND h) {
  EngineObject* o = Find(h);
  return o ? Meta(*o) : nullptr;
}

BOOL PEplaymetafile(HWND h, HDC dc, HENHMETAFILE meta) {
  EngineObject* o = Find(h);
  if (!o || !dc || !meta) return FALSE;
  // The engine's own current picture is drawn anew rather than played: the
  // same strokes, without scaling every one from the metafile's frame.
  if (meta == o->meta && o->metaVersion == o->store.Version() && o->metaSize.cx == o->size.cx &&
      o->metaSize.cy == o->size.cy) {
    pel::graphengine::DrawGraph(o->store, dc, o->size.cx, o->size.cy);
    return TRUE;
  }
  const RECT r{0, 0, o->size.cx, o->size.cy};
  return PlayEnhMetaFile(dc, meta, &r);
}

BOOL PEbitmapandgradients(HWND h, HDC dc, const RECT* client, INT) {
  EngineObject* o = Find(h);
  if (!o || !dc || !client) return FALSE;
  pel::graphengine::DrawDesk(o->store, dc, *client);
  return TRUE;
}

BOOL PEallocateindmemory(HWND h) {
  EngineObject* o = Find(h);
  if (!o) return FALSE;
  const SIZE s = o->size;
  if (!o->memDc || o->memSize.cx != s.cx || o->memSize.cy != s.cy) {
    o->FreeMemory();
    HDC screen = GetDC(nullptr);
    o->memDc = CreateCompatibleDC(screen);
    o->memBitmap = CreateCompatibleBitmap(screen, s.cx, s.cy);
    ReleaseDC(nullptr, screen);
    if (!o->memDc || !o->memBitmap) {
      o->FreeMemory();
      return FALSE;
    }
    o->memSize = s;
  }
  // Drawn with the bitmap selected, then let go, so the host can select it.
  o->memDisplaced = SelectObject(o->memDc, o->memBitmap);
  pel::graphengine::DrawGraph(o->store, o->memDc, s.cx, s.cy);
  SelectObject(o->memDc, o->memDisplaced);
  o->memDisplaced = nullptr;
  return TRUE;
}

BOOL PEdrawcursor(HWND h, HDC, INT) { return Find(h) != nullptr; }

BOOL PEconvpixeltograph(HWND h, INT* axis, INT* pixelX, INT* pixelY, double* graphX, double* graphY, BOOL,
                               BOOL, BOOL viceVersa) {
  EngineObject* o = Find(h);
  if (!o || !axis || !pixelX || !pixelY || !graphX || !graphY || viceVersa) return FALSE;
  const auto layout = pel::graphengine::ComputeLayout(o->store, o->size.cx, o->size.cy);
  return pel::graphengine::PixelToGraph(layout, *axis, POINT{*pixelX, *pixelY}, *graphX, *graphY);
}
