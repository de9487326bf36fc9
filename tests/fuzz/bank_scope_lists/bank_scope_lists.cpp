// The memory banks' directory replies and the scope's channel list: the Sorn
// II/Qor directory, the Aster flag list and bank info, ReadBankInfo's text
// and SetScopeSensor's list.
//
// Input: byte 0 the component's channels with a sensor (0 to 3), byte 1 the
// Aster bank position, byte 2 Max_Record_Count / 256, then four lines: the
// directory reply, the flag list, the bank info reply, the scope list.
//
// Checks: a bank's data columns follow its sensors; at most 16 flagged
// banks, in rising positions; the bank info text has its nine fields; the
// scope columns number the shown channels 0, 1, ... in channel order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "devicelink/records/BankRecords.h"
#include "devicelink/records/ScopeRecords.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using namespace pel::records;

void CheckColumns(const BankRecord& bank) {
  int column = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    const int want = bank.sensorId[i] > 0 ? ++column : 0;
    PEL_FUZZ_CHECK(bank.dataColumn[i] == want, "column of channel " + std::to_string(i));
  }
}

void CheckInfoText(const BankRecord& bank) {
  const std::string text = FormatBankInfo(3, bank, {"V", "N", "s"});
  const std::size_t semicolon = text.find(';');
  PEL_FUZZ_CHECK(semicolon != std::string::npos && text.find(';', semicolon + 1) == std::string::npos, text);
  int commas = 0;
  for (char c : text) commas += c == ',';
  PEL_FUZZ_CHECK(commas == 7, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pel::fuzz::FuzzInput in(data, size);
  const int componentChannels = in.Byte() % 4;
  const int position = in.Byte();
  const int maxRecordCount = in.Byte() * 256;
  const std::string directory = in.Line(), flags = in.Line(), info = in.Line(), scope = in.Line();

  BankDirectory dir;
  if (ParseSornDirectory(directory, componentChannels, dir)) {
    CheckColumns(dir.banks[0]);
    CheckInfoText(dir.banks[0]);
  }
  PEL_FUZZ_CHECK(dir.MemoryTotalIndex == 0 || (dir.MemoryTotalIndex == 1 && dir.banks[0].recordsPerChannel > 0),
                 std::to_string(dir.MemoryTotalIndex));

  const std::vector<int> flagged = ParseAsterFlagList(flags);
  PEL_FUZZ_CHECK(flagged.size() <= static_cast<std::size_t>(kMaxBanks), std::to_string(flagged.size()));
  for (std::size_t i = 0; i < flagged.size(); ++i)
    PEL_FUZZ_CHECK(flagged[i] >= 1 && (i == 0 || flagged[i] > flagged[i - 1]), std::to_string(flagged[i]));

  BankRecord bank;
  if (ParseAsterBankInfo(info, position, maxRecordCount, bank)) {
    CheckColumns(bank);
    CheckInfoText(bank);
    if (maxRecordCount > 0) PEL_FUZZ_CHECK(bank.recordsPerChannel <= maxRecordCount, info);
  }

  const ScopeColumns columns = ParseScopeSensorList(scope);
  int next = 0;
  for (int c = 0; c < 8; ++c) {
    const int m = columns.map[static_cast<std::size_t>(c)];
    PEL_FUZZ_CHECK(m == -1 || m == next, scope);
    if (m >= 0) ++next;
  }
  PEL_FUZZ_CHECK(columns.count == next, scope);
  return 0;
}
