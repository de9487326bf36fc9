#include "sim/excel/ExcelSim.h"

#include <oleauto.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace pel::sim {
namespace {

constexpr DISPID kWorksheets = 0x1EE, kCount = 0x76, kItem = 0xAA, kAdd = 0xB5, kRange = 0xC5,
                 kValue = 6, kValue2 = 0x56C;

// Lets a sheet passed back as an argument be recognised as one of ours.
// {0D7E5B91-2C44-4A6B-9F1E-7B3C55A0D812}
constexpr IID kIidSimSheet = {0x0d7e5b91, 0x2c44, 0x4a6b, {0x9f, 0x1e, 0x7b, 0x3c, 0x55, 0xa0, 0xd8, 0x12}};

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
  return s;
}

std::string Hex(HRESULT hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(hr));
  return buf;
}

bool IsOmitted(const VARIANT& v) { return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND; }

// Positional argument i (0 = first in the member's order), named ones excluded.
const VARIANT* Arg(const DISPPARAMS* p, UINT i) {
  const UINT positional = p->cArgs - p->cNamedArgs;
  if (i >= positional) return nullptr;
  return &p->rgvarg[p->cArgs - 1 - i];
}

class DispatchObject : public IDispatch {
 public:
  explicit DispatchObject(std::shared_ptr<SimExcelState> state) : state_(std::move(state)) {}
  virtual ~DispatchObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      for (const auto& [name, id] : Names())
        if (_wcsicmp(names[i], name) == 0) ids[i] = id;
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) override {
    if (!params) return E_INVALIDARG;
    if (result) VariantInit(result);
    return Call(id, flags, params, result, info);
  }

 protected:
  virtual std::vector<std::pair<const wchar_t*, DISPID>> Names() const = 0;
  virtual HRESULT Call(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info) = 0;

  // Logs the call; an injected failure fills the exception information.
  bool Log(const std::string& line, EXCEPINFO* info, HRESULT* hr) {
    const bool fail = !state_->failOn.empty() && line.rfind(state_->failOn, 0) == 0;
    state_->calls.push_back(fail ? line + " FAILED" : line);
    if (fail) {
      if (info) {
        *info = EXCEPINFO{};
        info->scode = E_FAIL;
        info->bstrSource = SysAllocString(L"Spreadsheet stand-in");
        info->bstrDescription = SysAllocString(state_->failText.c_str());
      }
      *hr = DISP_E_EXCEPTION;
    }
    return !fail;
  }
  HRESULT Refuse(const std::string& line, HRESULT hr) {
    state_->calls.push_back(line + " REFUSED " + Hex(hr));
    return hr;
  }

  std::shared_ptr<SimExcelState> state_;

 private:
  std::atomic<ULONG> refs_{1};
};

class RangeObject : public DispatchObject {
 public:
  RangeObject(std::shared_ptr<SimExcelState> state, int sheetId, int r1, int c1, int r2, int c2)
      : DispatchObject(std::move(state)), sheetId_(sheetId), r1_(r1), c1_(c1), r2_(r2), c2_(c2) {}

 protected:
  std::vector<std::pair<const wchar_t*, DISPID>> Names() const override {
    return {{L"Value", kValue}, {L"Value2", kValue2}};
  }
  HRESULT Call(DISPID id, WORD flags, DISPPARAMS* p, VARIANT*, EXCEPINFO* info) override {
    const std::string member = id == kValue ? "Value" : id == kValue2 ? "Value2" : "?";
    std::string line = Address() + "." + member;
    if ((id != kValue && id != kValue2) || !(flags & DISPATCH_PROPERTYPUT) || p->cNamedArgs != 1 ||
        p->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return Refuse(line, DISP_E_MEMBERNOTFOUND);
    const UINT positional = p->cArgs - 1;
    if (id == kValue) {
      const VARIANT* type = Arg(p, 0);
      line += std::string("(") + (positional == 0 ? "none" : type && IsOmitted(*type) ? "omitted" : "given") + ")";
    } else if (positional != 0) {
      return Refuse(line, DISP_E_BADPARAMCOUNT);
    }
    const VARIANT& value = p->rgvarg[0];
    if (!(V_VT(&value) & VT_ARRAY) || !V_ARRAY(&value) || SafeArrayGetDim(V_ARRAY(&value)) != 2)
      return Refuse(line, DISP_E_TYPEMISMATCH);
    SAFEARRAY* a = V_ARRAY(&value);
    VARTYPE vt = VT_EMPTY;
    SafeArrayGetVartype(a, &vt);
    LONG rlo, rhi, clo, chi;
    SafeArrayGetLBound(a, 1, &rlo);
    SafeArrayGetUBound(a, 1, &rhi);
    SafeArrayGetLBound(a, 2, &clo);
    SafeArrayGetUBound(a, 2, &chi);
    char shape[96];
    std::snprintf(shape, sizeof shape, " = %s[%ldx%ld from %ld,%ld]", TypeName(vt), rhi - rlo + 1, chi - clo + 1,
                  rlo, clo);
    line += shape;
    HRESULT hr = S_OK;
    if (!Log(line, info, &hr)) return hr;
    SimSheet* sheet = FindSheet();
    if (!sheet) return E_FAIL;
    for (LONG r = rlo; r <= rhi && r1_ + (r - rlo) <= r2_; ++r)
      for (LONG c = clo; c <= chi && c1_ + (c - clo) <= c2_; ++c)
        sheet->cells[{r1_ + static_cast<int>(r - rlo), c1_ + static_cast<int>(c - clo)}] = Element(a, vt, r, c);
    return S_OK;
  }

 private:
  static const char* TypeName(VARTYPE vt) {
    switch (vt) {
      case VT_I4: return "I4";
      case VT_R4: return "R4";
      case VT_R8: return "R8";
      case VT_BSTR: return "BSTR";
      case VT_VARIANT: return "VARIANT";
      default: return "other";
    }
  }
  static SimCell Element(SAFEARRAY* a, VARTYPE vt, LONG r, LONG c) {
    SimCell cell;
    cell.vt = vt;
    LONG index[2] = {r, c};
    if (vt == VT_BSTR) {
      BSTR b = nullptr;
      SafeArrayGetElement(a, index, &b);
      cell.nullText = b == nullptr;
      if (b) cell.text.assign(b, SysStringLen(b));
      SysFreeString(b);
    } else if (vt == VT_R4) {
      SafeArrayGetElement(a, index, &cell.r4);
    } else if (vt == VT_R8) {
      SafeArrayGetElement(a, index, &cell.r8);
    } else if (vt == VT_I4) {
      LONG v = 0;
      SafeArrayGetElement(a, index, &v);
      cell.i4 = v;
    }
    return cell;
  }
  SimSheet* FindSheet() {
    for (SimSheet& s : state_->sheets)
      if (s.id == sheetId_) return &s;
    return nullptr;
  }
  static std::string Cell(int r, int c) {
    std::string letters;
    for (int n = c; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(r);
  }
  std::string Address() {
    const SimSheet* s = FindSheet();
    return (s ? Narrow(s->name) : "?") + "!" + Cell(r1_, c1_) + ":" + Cell(r2_, c2_);
  }

  int sheetId_, r1_, c1_, r2_, c2_;
};

// "B12" into row 12, column 2.
bool ParseCell(const wchar_t* text, int* row, int* column) {
  if (!text) return false;
  int c = 0, r = 0;
  const wchar_t* p = text;
  for (; *p >= L'A' && *p <= L'Z'; ++p) c = c * 26 + (*p - L'A' + 1);
  const wchar_t* digits = p;
  for (; *p >= L'0' && *p <= L'9'; ++p) r = r * 10 + (*p - L'0');
  if (c == 0 || p == digits || *p != L'\0' || r == 0) return false;
  *row = r;
  *column = c;
  return true;
}

class SheetObject : public DispatchObject {
 public:
  SheetObject(std::shared_ptr<SimExcelState> state, int id) : DispatchObject(std::move(state)), id_(id) {}
  int Id() const { return id_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out && IsEqualIID(riid, kIidSimSheet)) {
      *out = this;
      AddRef();
      return S_OK;
    }
    return DispatchObject::QueryInterface(riid, out);
  }

 protected:
  std::vector<std::pair<const wchar_t*, DISPID>> Names() const override { return {{L"Range", kRange}}; }
  HRESULT Call(DISPID id, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info) override {
    std::string line = Name() + ".Range";
    if (id != kRange || !(flags & DISPATCH_PROPERTYGET) || !result) return Refuse(line, DISP_E_MEMBERNOTFOUND);
    const VARIANT* a = Arg(p, 0);
    const VARIANT* b = Arg(p, 1);
    if (!a || V_VT(a) != VT_BSTR || (b && V_VT(b) != VT_BSTR)) return Refuse(line, DISP_E_TYPEMISMATCH);
    line += "(" + Narrow(V_BSTR(a)) + (b ? ", " + Narrow(V_BSTR(b)) : std::string()) + ")";
    int r1, c1, r2, c2;
    if (!ParseCell(V_BSTR(a), &r1, &c1)) return Refuse(line, DISP_E_EXCEPTION);
    r2 = r1;
    c2 = c1;
    if (b && !ParseCell(V_BSTR(b), &r2, &c2)) return Refuse(line, DISP_E_EXCEPTION);
    HRESULT hr = S_OK;
    if (!Log(line, info, &hr)) return hr;
    V_VT(result) = VT_DISPATCH;
    // A range given corner to corner in either order covers the same cells.
    V_DISPATCH(result) =
        new RangeObject(state_, id_, std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2));
    return S_OK;
  }

 private:
  std::string Name() const {
    for (const SimSheet& s : state_->sheets)
      if (s.id == id_) return Narrow(s.name);
    return "?";
  }
  int id_;
};

class WorksheetsObject : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;

 protected:
  std::vector<std::pair<const wchar_t*, DISPID>> Names() const override {
    return {{L"Count", kCount}, {L"Item", kItem}, {L"Add", kAdd}};
  }
  HRESULT Call(DISPID id, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info) override {
    HRESULT hr = S_OK;
    auto& sheets = state_->sheets;
    if (id == kCount && (flags & DISPATCH_PROPERTYGET) && result) {
      if (!Log("Worksheets.Count -> " + std::to_string(sheets.size()), info, &hr)) return hr;
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(sheets.size());
      return S_OK;
    }
    if (id == kItem && (flags & DISPATCH_PROPERTYGET) && result) {
      const VARIANT* index = Arg(p, 0);
      if (!index) return Refuse("Worksheets.Item", DISP_E_BADPARAMCOUNT);
      long n = 0;
      std::string type;
      if (V_VT(index) == VT_I4) {
        n = V_I4(index);
        type = "I4";
      } else if (V_VT(index) == VT_I2) {
        n = V_I2(index);
        type = "I2";
      } else {
        return Refuse("Worksheets.Item", DISP_E_TYPEMISMATCH);
      }
      const std::string line = "Worksheets.Item(" + type + " " + std::to_string(n) + ")";
      if (n < 1 || n > static_cast<long>(sheets.size())) return Refuse(line, DISP_E_BADINDEX);
      const SimSheet& sheet = sheets[static_cast<std::size_t>(n - 1)];
      if (!Log(line + " -> " + Narrow(sheet.name), info, &hr)) return hr;
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = new SheetObject(state_, sheet.id);
      return S_OK;
    }
    if (id == kAdd && (flags & DISPATCH_METHOD)) {
      const char* names[4] = {"Before", "After", "Count", "Type"};
      std::string line = "Worksheets.Add(";
      int afterId = 0, beforeId = 0;
      for (UINT i = 0; i < 4; ++i) {
        const VARIANT* a = Arg(p, i);
        line += std::string(i ? ", " : "") + names[i] + "=";
        if (!a || IsOmitted(*a)) {
          line += "omitted";
          continue;
        }
        SheetObject* sheet = nullptr;
        if (V_VT(a) == VT_DISPATCH && V_DISPATCH(a) &&
            SUCCEEDED(V_DISPATCH(a)->QueryInterface(kIidSimSheet, reinterpret_cast<void**>(&sheet)))) {
          (i == 0 ? beforeId : afterId) = sheet->Id();
          for (const SimSheet& s : sheets)
            if (s.id == sheet->Id()) line += Narrow(s.name);
          sheet->Release();
        } else {
          line += "other";
        }
      }
      SimSheet added;
      added.id = state_->nextSheetNumber;
      added.name = L"Sheet" + std::to_wstring(state_->nextSheetNumber);
      line += ") -> " + Narrow(added.name);
      if (!Log(line, info, &hr)) return hr;
      ++state_->nextSheetNumber;
      auto at = sheets.begin();  // Excel's default: before the active (here the first) sheet
      for (auto it = sheets.begin(); it != sheets.end(); ++it) {
        if (it->id == afterId) at = it + 1;
        if (it->id == beforeId) at = it;
      }
      sheets.insert(at, added);
      if (result) {
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = new SheetObject(state_, added.id);
      }
      return S_OK;
    }
    return Refuse("Worksheets.?", DISP_E_MEMBERNOTFOUND);
  }
};

class ApplicationObject : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;

 protected:
  std::vector<std::pair<const wchar_t*, DISPID>> Names() const override { return {{L"Worksheets", kWorksheets}}; }
  HRESULT Call(DISPID id, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO* info) override {
    if (id != kWorksheets || !(flags & DISPATCH_PROPERTYGET) || !result)
      return Refuse("Application.?", DISP_E_MEMBERNOTFOUND);
    HRESULT hr = S_OK;
    if (!Log("Application.Worksheets", info, &hr)) return hr;
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = new WorksheetsObject(state_);
    return S_OK;
  }
};

}  // namespace

const SimSheet* SimExcelState::Sheet(const std::wstring& name) const {
  for (const SimSheet& s : sheets)
    if (s.name == name) return &s;
  return nullptr;
}

ExcelSim::ExcelSim(int initialSheets) : state_(std::make_shared<SimExcelState>()) {
  for (int i = 0; i < initialSheets; ++i) {
    SimSheet s;
    s.id = state_->nextSheetNumber;
    s.name = L"Sheet" + std::to_wstring(state_->nextSheetNumber++);
    state_->sheets.push_back(s);
  }
  app_ = new ApplicationObject(state_);
}

ExcelSim::~ExcelSim() { app_->Release(); }

}  // namespace pel::sim
