#include "activex/ComSupport.h"

#include <new>

namespace pel::com {

std::string FromBstr(BSTR s) {
  const int n = static_cast<int>(SysStringLen(s));
  if (n == 0) return {};
  const int len = WideCharToMultiByte(CP_ACP, 0, s, n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(len), '\0');
  if (len > 0) WideCharToMultiByte(CP_ACP, 0, s, n, out.data(), len, nullptr, nullptr);
  return out;
}

BSTR ToBstr(const std::wstring& s) {
  BSTR b = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  if (!b) throw std::bad_alloc();
  return b;
}

BSTR ToBstr(const std::string& s) {
  if (s.empty()) return ToBstr(std::wstring());
  const int n = static_cast<int>(s.size());
  const int len = MultiByteToWideChar(CP_ACP, 0, s.data(), n, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(len), L'\0');
  if (len > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), n, w.data(), len);
  return ToBstr(w);
}

namespace {

void setErrorInfo(REFIID source, const std::string& message) noexcept {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.put()))) return;
  create->SetGUID(source);
  std::wstring text;
  const int len = MultiByteToWideChar(CP_ACP, 0, message.data(), static_cast<int>(message.size()), nullptr, 0);
  text.resize(static_cast<std::size_t>(len));
  if (len > 0)
    MultiByteToWideChar(CP_ACP, 0, message.data(), static_cast<int>(message.size()), text.data(), len);
  create->SetDescription(text.data());
  create->SetHelpContext(0);
  ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.put()))))
    SetErrorInfo(0, info.get());
}

}  // namespace

HRESULT FailureFromCurrentException(REFIID source) noexcept {
  HRESULT hr = E_UNEXPECTED;
  std::string message;
  try {
    throw;
  } catch (const ComError& e) {
    if (FAILED(e.status())) hr = e.status();
    message = e.what();
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = "unexpected failure";
  }
  setErrorInfo(source, message);
  return hr;
}

}  // namespace pel::com
