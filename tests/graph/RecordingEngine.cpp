#include "tests/graph/RecordingEngine.h"

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "graphengine/EngineIds.h"

namespace pel::graph::test {
namespace {

RecordingEngine* g_current = nullptr;
constexpr wchar_t kClass[] = L"RecordingGraphEngine";

RecordingEngine& E() { return RecordingEngine::Current(); }

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::string DcKind(HDC dc) {
  if (!dc) return "nulldc";
  return GetObjectType(dc) == OBJ_MEMDC ? "memdc" : "dc";
}

void Log(std::ostringstream& s) { E().calls.push_back(s.str()); }

LRESULT CALLBACK EngineWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const bool input = (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
                     msg == WM_VSCROLL || msg == WM_HSCROLL;
  if (g_current && hwnd == g_current->window && input) {
    std::ostringstream s;
    s << msg << ' ' << wp << ' ' << static_cast<long long>(lp);
    g_current->messages.push_back(s.str());
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterOnce() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &EngineWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    return RegisterClassExW(&wc);
  }();
  (void)atom;
}

HWND Create(UINT_PTR typeOrHandle, DWORD style, const RECT* r, HWND parent, UINT id) {
  auto& e = E();
  std::ostringstream s;
  s << "create " << (reinterpret_cast<HWND>(typeOrHandle) == e.first && e.first ? "first" : std::to_string(typeOrHandle))
    << ' ' << style << ' ' << r->left << ',' << r->top << ',' << r->right << ',' << r->bottom << ' '
    << (parent ? "parent" : "none") << ' ' << id;
  Log(s);
  RegisterOnce();
  if (!parent) {
    if (e.failFirstCreate) return nullptr;
    e.first = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    return e.first;
  }
  if (e.failWindowCreate) return nullptr;
  e.window = CreateWindowExW(0, kClass, L"", WS_CHILD | WS_VISIBLE, r->left, r->top, r->right - r->left,
                             r->bottom - r->top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  return e.window;
}

BOOL Destroy(HWND h) {
  auto& e = E();
  std::ostringstream s;
  s << "destroy " << e.Tag(h);
  Log(s);
  if (h == e.window) {
    e.parentAtDestroy = GetParent(h);
    e.parentWasWindowAtDestroy = IsWindow(e.parentAtDestroy) != FALSE;
  }
  return TRUE;
}

BOOL Reinitialize(HWND h) {
  std::ostringstream s;
  s << "reinitialize " << E().Tag(h);
  Log(s);
  return TRUE;
}

BOOL ResetImage(HWND h, INT a, INT b) {
  std::ostringstream s;
  s << "resetimage " << E().Tag(h) << ' ' << a << ' ' << b;
  Log(s);
  return TRUE;
}

BOOL Nset(HWND h, UINT id, INT v) {
  std::ostringstream s;
  s << "nset " << E().Tag(h) << ' ' << id << ' ' << v;
  Log(s);
  E().numbers[id] = v;
  return TRUE;
}

INT Nget(HWND h, UINT id) {
  auto& e = E();
  std::ostringstream s;
  s << "nget " << e.Tag(h) << ' ' << id;
  Log(s);
  if (id == id::EngineBitmap && e.numbers[id::EngineMemory]) return HandleToLong(e.memBitmap);
  if (id == id::EngineMemoryDc && e.numbers[id::EngineMemory]) return HandleToLong(e.memDc);
  auto it = e.numbers.find(id);
  return it == e.numbers.end() ? 0 : it->second;
}

unsigned SizeOf(unsigned id) {
  auto it = E().valueSize.find(id);
  return it == E().valueSize.end() ? 8 : it->second;
}

BOOL Vset(HWND h, UINT id, const void* v, INT count) {
  std::ostringstream s;
  s << "vset " << E().Tag(h) << ' ' << id << ' ' << count;
  if ((id == id::XData || id == id::YData) && count > 0) {
    // The data of every point: logged value by value.
    for (INT i = 0; i < count; ++i) s << ' ' << static_cast<const float*>(v)[i];
    Log(s);
    return TRUE;
  }
  Log(s);
  const unsigned n = count == 0 ? SizeOf(id) : sizeof(CustomGridNumberRecord);
  auto& b = E().blobs[id];
  b.assign(static_cast<const unsigned char*>(v), static_cast<const unsigned char*>(v) + n);
  return TRUE;
}

BOOL Vget(HWND h, UINT id, void* out) {
  std::ostringstream s;
  s << "vget " << E().Tag(h) << ' ' << id;
  Log(s);
  auto it = E().blobs.find(id);
  if (it != E().blobs.end()) std::memcpy(out, it->second.data(), it->second.size());
  return TRUE;
}

BOOL Szset(HWND h, UINT id, const WCHAR* t) {
  std::ostringstream s;
  s << "szset " << E().Tag(h) << ' ' << id << ' ' << (t ? '"' + Narrow(t) + '"' : std::string("nullptr"));
  Log(s);
  if (t) E().texts[id] = t;
  return TRUE;
}

BOOL Szget(HWND h, UINT id, WCHAR* buf) {
  auto& e = E();
  std::ostringstream s;
  s << "szget " << e.Tag(h) << ' ' << id;
  Log(s);
  if (!e.rawText.empty()) {
    for (int i = 0; i < 1256; ++i) buf[i] = e.rawText[i % e.rawText.size()];
    return TRUE;
  }
  const std::wstring t = e.texts[id].substr(0, 1255);
  std::memcpy(buf, t.c_str(), (t.size() + 1) * sizeof(WCHAR));
  return TRUE;
}

BOOL Vsetcell(HWND h, UINT id, UINT index, const void* v) {
  std::ostringstream s;
  s << "vsetcell " << E().Tag(h) << ' ' << id << ' ' << index << ' ';
  if (id == id::SubsetLabels)
    s << '"' << Narrow(static_cast<const wchar_t*>(v)) << '"';
  else
    s << *static_cast<const int*>(v);
  Log(s);
  return TRUE;
}

BOOL Vgetcell(HWND h, UINT id, UINT index, void* out) {
  std::ostringstream s;
  s << "vgetcell " << E().Tag(h) << ' ' << id << ' ' << index;
  Log(s);
  if (id == id::GridNumberCell) *static_cast<double*>(out) = E().gridNumbers[static_cast<int>(index)];
  return TRUE;
}

BOOL VsetcellEx(HWND h, UINT id, INT subset, INT point, const void* v) {
  std::ostringstream s;
  s << "vsetcellEx " << E().Tag(h) << ' ' << id << ' ' << subset << ' ' << point << ' '
    << *static_cast<const float*>(v);
  Log(s);
  return TRUE;
}

// Any non-null metafile will do: the recording engine paints itself.
HENHMETAFILE GetMeta(HWND h) {
  std::ostringstream s;
  s << "getmeta " << E().Tag(h);
  Log(s);
  return E().returnMeta ? reinterpret_cast<HENHMETAFILE>(static_cast<INT_PTR>(0x5EED)) : nullptr;
}

BOOL PlayMeta(HWND h, HDC dc, HENHMETAFILE) {
  std::ostringstream s;
  s << "playmeta " << E().Tag(h) << ' ' << DcKind(dc);
  Log(s);
  HBRUSH b = CreateSolidBrush(E().metaColour);
  RECT r{0, 0, 4000, 4000};
  FillRect(dc, &r, b);
  DeleteObject(b);
  if (E().duringPlay) E().duringPlay();
  return TRUE;
}

BOOL BitmapAndGradients(HWND h, HDC dc, const RECT* r, INT flags) {
  std::ostringstream s;
  s << "bitmapandgradients " << E().Tag(h) << ' ' << DcKind(dc) << ' ' << r->left << ',' << r->top << ','
    << r->right << ',' << r->bottom << ' ' << flags;
  Log(s);
  return TRUE;
}

BOOL Allocate(HWND h) {
  std::ostringstream s;
  s << "allocate " << E().Tag(h);
  Log(s);
  return TRUE;
}

BOOL DrawCursor(HWND h, HDC dc, INT flags) {
  std::ostringstream s;
  s << "drawcursor " << E().Tag(h) << ' ' << DcKind(dc) << ' ' << flags;
  Log(s);
  return TRUE;
}

// Answers graph X = 2 * pixel X, graph Y = 3 * pixel Y.
BOOL Conv(HWND h, INT* axis, INT* px, INT* py, double* gx, double* gy, BOOL right, BOOL top, BOOL vice) {
  std::ostringstream s;
  s << "conv " << E().Tag(h) << ' ' << *axis << ' ' << *px << ' ' << *py << ' ' << right << ' ' << top << ' ' << vice;
  Log(s);
  *gx = *px * 2.0;
  *gy = *py * 3.0;
  return TRUE;
}

}  // namespace

RecordingEngine::RecordingEngine() {
  if (g_current) throw std::logic_error("one recording engine at a time");
  g_current = this;
  HDC screen = GetDC(nullptr);
  memDc = CreateCompatibleDC(screen);
  memBitmap = CreateCompatibleBitmap(screen, 400, 400);
  ReleaseDC(nullptr, screen);
}

RecordingEngine::~RecordingEngine() {
  if (window && IsWindow(window)) DestroyWindow(window);
  if (first) DestroyWindow(first);
  DeleteDC(memDc);
  DeleteObject(memBitmap);
  g_current = nullptr;
}

RecordingEngine& RecordingEngine::Current() {
  if (!g_current) throw std::logic_error("no recording engine");
  return *g_current;
}

const EngineApi& RecordingEngine::Api() {
  static const EngineApi api{&Create,   &Destroy, &Reinitialize, &ResetImage, &Nset,       &Nget,       &Vset,
                             &Vget,     &Szset,   &Szget,        &Vsetcell,   &Vgetcell,   &VsetcellEx, &GetMeta,
                             &PlayMeta, &BitmapAndGradients,     &Allocate,   &DrawCursor, &Conv};
  return api;
}

std::string RecordingEngine::Tag(HWND h) const {
  if (!h) return "null";
  if (h == first) return "first";
  if (h == window) return "win";
  std::ostringstream s;
  s << h;
  return s.str();
}

std::vector<std::string> RecordingEngine::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  return out;
}

bool RecordingEngine::Has(const std::string& call) const {
  for (const auto& c : calls)
    if (c == call) return true;
  return false;
}

}  // namespace pel::graph::test
