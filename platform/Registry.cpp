#include "platform/Registry.h"

#include <windows.h>

namespace pel::reg {
namespace {

HKEY rootKey(Root r) { return r == Root::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// Closes the key on every path out.
class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  bool open(Root r, std::string_view path, REGSAM access) {
    return RegOpenKeyExA(rootKey(r), normalisePath(path).c_str(), 0, access, &h_) == ERROR_SUCCESS;
  }
  bool create(Root r, std::string_view path) {
    return RegCreateKeyExA(rootKey(r), normalisePath(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                           &h_, nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

}  // namespace

std::string normalisePath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string readString(Root root, std::string_view path, std::string_view name) {
  Key k;
  if (!k.open(root, path, KEY_READ)) return {};
  const std::string n(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(k.get(), n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  std::string data(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(k.get(), n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
      ERROR_SUCCESS)
    return {};
  data.resize(got);
  // Stored strings may or may not carry their terminating NULs.
  while (!data.empty() && data.back() == '\0') data.pop_back();
  return data;
}

std::optional<std::uint32_t> readNumber(Root root, std::string_view path, std::string_view name) {
  Key k;
  if (!k.open(root, path, KEY_READ)) return std::nullopt;
  const std::string n(name);
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(k.get(), n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

bool writeString(Root root, std::string_view path, std::string_view name, std::string_view value) {
  Key k;
  if (!k.create(root, path)) return false;
  const std::string n(name), v(value);
  return RegSetValueExA(k.get(), n.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                        static_cast<DWORD>(v.size() + 1)) == ERROR_SUCCESS;
}

std::vector<std::string> valueNames(Root root, std::string_view path) {
  std::vector<std::string> out;
  Key k;
  if (!k.open(root, path, KEY_READ)) return out;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD len = sizeof name;
    const LONG rc = RegEnumValueA(k.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS || rc != ERROR_SUCCESS) break;
    out.emplace_back(name, len);
  }
  return out;
}

std::vector<std::string> subkeyNames(Root root, std::string_view path) {
  std::vector<std::string> out;
  Key k;
  if (!k.open(root, path, KEY_READ)) return out;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    const LONG rc = RegEnumKeyExA(k.get(), i, name, &len, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    out.emplace_back(name, len);
  }
  return out;
}

bool keyExists(Root root, std::string_view path) {
  Key k;
  return k.open(root, path, KEY_READ);
}

bool deleteTree(Root root, std::string_view path) {
  const std::string p = normalisePath(path);
  if (p.empty()) return false;
  for (const auto& sub : subkeyNames(root, p)) deleteTree(root, p + "\\" + sub);
  return RegDeleteKeyA(rootKey(root), p.c_str()) == ERROR_SUCCESS || !keyExists(root, p);
}

}  // namespace pel::reg
