#include "highspeed/export/ExportExcel.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "highspeed/export/ExportCom.h"
#include "highspeed/export/ExportNumber.h"

namespace quillon {
namespace {

// Excel's DISPIDs of the members used.
constexpr DISPID kWorksheets = 0x1EE, kCount = 0x76, kItem = 0xAA, kAdd = 0xB5, kRange = 0xC5,
                 kValue = 6, kValue2 = 0x56C;

class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::wstring Widen(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Narrow(const wchar_t* w) {
  if (!w || !*w) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
  s.resize(s.size() - 1);
  return s;
}

std::string ErrorText(HRESULT hr, EXCEPINFO& info) {
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    std::string text = Narrow(info.bstrDescription);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    if (!text.empty()) return text;
    if (info.scode) hr = info.scode;
  }
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(hr), 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n')) --n;
  if (n > 0) return std::string(buf, n);
  std::snprintf(buf, sizeof buf, "Automation error 0x%08lX", static_cast<unsigned long>(hr));
  return buf;
}

// Arguments in the member's order; the caller keeps what they point to.
void Invoke(IDispatch* target, DISPID member, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (flags == DISPATCH_PROPERTYPUT) {  // the value put is the last argument, named
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO info{};
  UINT argError = 0;
  const HRESULT hr = target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &argError);
  if (FAILED(hr)) throw AutomationError(ErrorText(hr, info));
}

VARIANT Omitted() {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_ERROR;
  V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
  return v;
}

VARIANT BstrArg(const Bstr& b) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = b.Get();
  return v;
}

template <class T>
VARIANT ScalarArg(VARTYPE vt, T value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = vt;
  if constexpr (sizeof(T) == 2)
    V_I2(&v) = value;
  else
    V_I4(&v) = value;
  return v;
}

ComRef<IDispatch> GetDispatch(IDispatch* target, DISPID member, std::vector<VARIANT> args) {
  Variant result;
  Invoke(target, member, DISPATCH_PROPERTYGET, std::move(args), result.Get());
  if (V_VT(result.Get()) != VT_DISPATCH || !V_DISPATCH(result.Get()))
    throw AutomationError("The spreadsheet returned no object.");
  ComRef<IDispatch> object;
  *object.Put() = V_DISPATCH(result.Get());
  V_VT(result.Get()) = VT_EMPTY;  // the reference now belongs to object
  return object;
}

long GetCount(IDispatch* sheets) {
  Variant result;
  Invoke(sheets, kCount, DISPATCH_PROPERTYGET, {}, result.Get());
  if (FAILED(VariantChangeType(result.Get(), result.Get(), 0, VT_I4)))
    throw AutomationError("The spreadsheet returned no sheet count.");
  return V_I4(result.Get());
}

ComRef<IDispatch> GetRange(IDispatch* sheet, const std::wstring& cell1, const std::wstring& cell2) {
  Bstr a(cell1), b(cell2);
  return GetDispatch(sheet, kRange, {BstrArg(a), BstrArg(b)});
}

// Hands the array to the range as its value; the array is destroyed after.
void PutValue(IDispatch* range, SafeArray array, VARTYPE elementType, bool useValue2) {
  Variant value;
  V_VT(value.Get()) = static_cast<VARTYPE>(VT_ARRAY | elementType);
  V_ARRAY(value.Get()) = array.Release();
  if (useValue2)
    Invoke(range, kValue2, DISPATCH_PROPERTYPUT, {value.Ref()}, nullptr);
  else
    Invoke(range, kValue, DISPATCH_PROPERTYPUT, {Omitted(), value.Ref()}, nullptr);
}

SafeArray MakeArray(VARTYPE vt, ULONG rows, ULONG columns) {
  SAFEARRAYBOUND bounds[2] = {{rows, 0}, {columns, 0}};
  SafeArray array(SafeArrayCreate(vt, 2, bounds));
  if (!array.Get()) throw AutomationError("Out of memory for the spreadsheet data.");
  return array;
}

void PutElement(const SafeArray& array, LONG row, LONG column, void* value) {
  LONG index[2] = {row, column};
  const HRESULT hr = SafeArrayPutElement(array.Get(), index, value);
  if (FAILED(hr)) {
    EXCEPINFO none{};
    throw AutomationError(ErrorText(hr, none));
  }
}

void PutText(const SafeArray& array, LONG row, LONG column, const std::string& text) {
  Bstr b(Widen(text));
  PutElement(array, row, column, b.Get());
}

std::wstring CellName(wchar_t column, int row) {
  wchar_t buf[16];
  std::swprintf(buf, 16, L"%lc%d", column, row);
  return buf;
}

void WriteHeader(IDispatch* sheet, const ExportSource& source, const ExportTexts& texts) {
  ComRef<IDispatch> range = GetRange(sheet, L"A1", CellName(L'E', 3));
  SafeArray header = MakeArray(VT_BSTR, 3, 5);
  const char* row0[5] = {"", "", "CH [A]", "CH [B]", "CH [C]"};
  for (LONG c = 0; c < 5; ++c) PutText(header, 0, c, row0[c]);
  PutText(header, 1, 0, texts.RunExperimentText("Message3"));
  for (LONG c = 1; c < 5; ++c) PutText(header, 1, c, "");
  PutText(header, 2, 0, texts.RunExperimentText("Message2"));
  PutText(header, 2, 1, texts.RunExperimentText("Message1"));
  for (int ch = 0; ch < 3; ++ch)  // a channel without sensor leaves its cell unset
    if (source.ChannelActive(ch)) PutText(header, 2, 2 + ch, texts.UnitText(source.sensorId[ch]));
  PutValue(range.Get(), std::move(header), VT_BSTR, source.useValue2);
}

void WriteColumn(IDispatch* sheet, const ExportSource& source, int column) {
  const int rows = source.RowCount();
  const wchar_t letter = static_cast<wchar_t>(L'A' + column);
  ComRef<IDispatch> range = GetRange(sheet, CellName(letter, 4), CellName(letter, rows + 3));
  VARTYPE vt = VT_R4;
  if (column == 0) vt = VT_I4;
  const int channel = column - 2;
  if (channel >= 0 && !source.ChannelActive(channel)) vt = VT_BSTR;
  SafeArray array = MakeArray(vt, static_cast<ULONG>(rows), 1);
  const float step = TimeStep(source);
  Bstr empty(L"");
  for (LONG j = 0; j < rows; ++j) {
    if (column == 0) {
      LONG number = j + 1;
      PutElement(array, j, 0, &number);
    } else if (column == 1) {
      // The first time cell carries a nudge of 1e-9 so it never reads as 0.
      float time = j == 0 ? ToSingle(static_cast<double>(step) + 1e-9)
                          : ToSingle(static_cast<double>(j + 1) * static_cast<double>(step));
      PutElement(array, j, 0, &time);
    } else if (vt == VT_BSTR) {
      PutElement(array, j, 0, empty.Get());
    } else {
      float value = source.Column(channel)[static_cast<std::size_t>(j)];
      PutElement(array, j, 0, &value);
    }
  }
  PutValue(range.Get(), std::move(array), vt, source.useValue2);
}

}  // namespace

ExcelExportResult WriteWorksheet(const ExportSource& source, const ExportTexts& texts, ExportUi& ui) {
  ComApartment com;
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"Excel.Application", &clsid))) return ExcelExportResult::NoSpreadsheet;
  ComRef<IUnknown> running;
  if (FAILED(GetActiveObject(clsid, nullptr, running.Put())) || !running)
    return ExcelExportResult::NoSpreadsheet;
  ComRef<IDispatch> app;
  if (FAILED(running->QueryInterface(IID_IDispatch, app.PutVoid())) || !app)
    return ExcelExportResult::NoSpreadsheet;

  try {
    ComRef<IDispatch> sheets = GetDispatch(app.Get(), kWorksheets, {});
    const long n = GetCount(sheets.Get());
    ComRef<IDispatch> last = GetDispatch(sheets.Get(), kItem, {ScalarArg(VT_I4, static_cast<LONG>(n))});
    VARIANT after;
    VariantInit(&after);
    V_VT(&after) = VT_DISPATCH;
    V_DISPATCH(&after) = last.Get();
    {
      Variant added;  // not used, only released
      Invoke(sheets.Get(), kAdd, DISPATCH_METHOD, {Omitted(), after, Omitted(), Omitted()}, added.Get());
    }
    const long m = GetCount(sheets.Get());
    ComRef<IDispatch> sheet = GetDispatch(sheets.Get(), kItem, {ScalarArg(VT_I2, static_cast<SHORT>(m))});
    WriteHeader(sheet.Get(), source, texts);
    // No rows: no data ranges at all (an empty A4:A3 would cover row 3).
    if (source.RowCount() > 0)
      for (int column = 0; column < 5; ++column) WriteColumn(sheet.Get(), source, column);
  } catch (const AutomationError& e) {
    ui.ShowMessage(e.what());
    return ExcelExportResult::Failed;
  }
  return ExcelExportResult::Done;
}

}  // namespace quillon
