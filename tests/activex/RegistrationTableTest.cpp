// The registration keys of the control as data: every key and value a COM
// host looks for, and the short file name for a path with a blank.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "activex/RegistrationTable.h"

namespace {
using pel::com::ControlIdentity;
using pel::com::ControlRegistration;
using pel::com::RegistryEntry;
using pel::com::ServerPath;

ControlIdentity sample(const std::wstring& file, const std::wstring& shortFile) {
  ControlIdentity id;
  id.clsid = L"{11111111-2222-3333-4444-555555555555}";
  id.libid = L"{66666666-7777-8888-9999-AAAAAAAAAAAA}";
  id.libraryName = L"PelmoraX";
  id.className = L"PelmoraX";
  id.description = L"PelmoraX Control";
  id.versionMajor = 1;
  id.versionMinor = 3;
  id.miscStatus = 0x20191;
  id.toolboxBitmap = 1;
  id.fileName = file;
  id.shortFileName = shortFile;
  return id;
}

TEST(RegistrationTable, KeysValuesAndOrder) {
  const std::wstring c = L"CLSID\\{11111111-2222-3333-4444-555555555555}";
  const std::vector<RegistryEntry> expected = {
      {c, L"", L"PelmoraX Control"},
      {c + L"\\InprocServer32", L"", L"C:\\lib\\PelmoraX.dll"},
      {c + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {c + L"\\ProgID", L"", L"PelmoraX.PelmoraX"},
      {L"PelmoraX.PelmoraX", L"", L"PelmoraX Control"},
      {L"PelmoraX.PelmoraX\\Clsid", L"", L"{11111111-2222-3333-4444-555555555555}"},
      {c + L"\\Version", L"", L"1.3"},
      {c + L"\\TypeLib", L"", L"{66666666-7777-8888-9999-AAAAAAAAAAAA}"},
      {c + L"\\MiscStatus", L"", L"0"},
      {c + L"\\MiscStatus\\1", L"", L"131473"},
      {c + L"\\ToolboxBitmap32", L"", L"C:\\lib\\PelmoraX.dll,1"},
      {c + L"\\Control", L"", L""},
      {c + L"\\Verb", L"", L"", true},
      {c + L"\\Verb\\0", L"", L"Properties,0,2"},
  };
  const auto got = ControlRegistration(sample(L"C:\\lib\\PelmoraX.dll", L"C:\\lib\\PELMOR~1.DLL"));
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].key, expected[i].key);
    EXPECT_EQ(got[i].valueName, expected[i].valueName);
    EXPECT_EQ(got[i].data, expected[i].data);
    EXPECT_EQ(got[i].keyOnly, expected[i].keyOnly);
  }
}

TEST(RegistrationTable, ServerPathTakesTheShortFormOnlyForABlank) {
  struct Case {
    std::wstring file, shortFile, server;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\P\\PelmoraX.dll", L"C:\\PROGRA~1\\P\\PELMOR~1.DLL", L"C:\\PROGRA~1\\P\\PELMOR~1.DLL"},
      {L"C:\\lib\\PelmoraX.dll", L"C:\\lib\\PELMOR~1.DLL", L"C:\\lib\\PelmoraX.dll"},
      // No short form to be had (switched off on the volume): the long name.
      {L"C:\\Program Files\\PelmoraX.dll", L"", L"C:\\Program Files\\PelmoraX.dll"},
  };
  for (const Case& c : cases) {
    const auto id = sample(c.file, c.shortFile);
    EXPECT_EQ(ServerPath(id), c.server);
    const auto table = ControlRegistration(id);
    EXPECT_EQ(table[1].data, c.server);
    // The toolbox bitmap names the file as it is.
    EXPECT_EQ(table[10].data, c.file + L",1");
  }
}

}  // namespace
