#pragma once
// String values and key listings under the current user's and the local
// machine's registry. Key paths may be written with or without a leading
// "\" (and a trailing one); a missing key or value reads as empty.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pel::reg {

enum class Root { CurrentUser, LocalMachine };

// The value's text; empty when the key or value is missing or not a string.
std::string readString(Root root, std::string_view path, std::string_view name);
// The value when it is stored as a REG_DWORD; nullopt when the key or value
// is missing or of another type.
std::optional<std::uint32_t> readNumber(Root root, std::string_view path, std::string_view name);
// Creates the key when missing; false when the key or value cannot be written.
bool writeString(Root root, std::string_view path, std::string_view name, std::string_view value);
// Names of the key's values / subkeys in registry order; empty when the key is missing.
std::vector<std::string> valueNames(Root root, std::string_view path);
std::vector<std::string> subkeyNames(Root root, std::string_view path);
bool keyExists(Root root, std::string_view path);
// Removes a key with everything below it (test clean-up); false when it stays.
bool deleteTree(Root root, std::string_view path);

// Path without leading and trailing "\" (what the Win32 calls accept).
std::string normalisePath(std::string_view path);

}  // namespace pel::reg
