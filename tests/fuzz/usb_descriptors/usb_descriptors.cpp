// The USB descriptors and packed records the driver hands back: device,
// endpoint, configuration set, language list, string; the transfer records.
//
// Input: the bytes as the driver returned them; every parser reads them.
//
// Checks: a configuration walk keeps within its bytes and its limits (8
// interface records, 15 endpoints each) and counts each setting's
// alternates; a string has one code unit per two bytes of its length; a
// transfer record read and written again gives the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzInput.h"
#include "usblib/UsbDescriptors.h"
#include "usblib/UsbRecords.h"

using namespace vantiro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> b(data, size);

  if (const auto d = ParseDeviceDescriptor(b)) PEL_FUZZ_CHECK(size >= kDeviceDescriptorSize, "short device descriptor");
  if (const auto e = ParseEndpointDescriptor(b)) {
    PEL_FUZZ_CHECK(e->multiplier >= 1 && e->multiplier <= 4, std::to_string(e->multiplier));
    PEL_FUZZ_CHECK(e->maxPacketSize <= 0x7FF * 4, std::to_string(e->maxPacketSize));
  }

  if (const auto c = ParseConfiguration(b)) {
    PEL_FUZZ_CHECK(c->interfaces.size() <= kMaxInterfaceRecords, std::to_string(c->interfaces.size()));
    const std::size_t room = std::min<std::size_t>(c->totalLength, size);
    std::size_t taken = 0;
    for (const auto& s : c->interfaces) {
      PEL_FUZZ_CHECK(s.endpoints.size() <= kMaxEndpointsPerSetting, std::to_string(s.endpoints.size()));
      PEL_FUZZ_CHECK(s.totalLength >= 9, std::to_string(s.totalLength));
      taken += s.totalLength;
      const auto same = std::count_if(c->interfaces.begin(), c->interfaces.end(),
                                      [&](const auto& o) { return o.interfaceNumber == s.interfaceNumber; });
      PEL_FUZZ_CHECK(s.alternateCount == same, "alternates");
    }
    PEL_FUZZ_CHECK(taken <= room, std::to_string(taken) + " of " + std::to_string(room));
  }

  const std::uint16_t language = ChooseLanguage(b);
  if (size >= 4 && b[0] >= 4 && language != kLanguageEnglishUs) PEL_FUZZ_CHECK(language == GetLe16(b, 2), "language");

  if (const auto s = ParseStringDescriptor(b)) {
    const std::size_t end = std::min<std::size_t>(b[0], size);
    PEL_FUZZ_CHECK(s->size() == (end - 2) / 2, std::to_string(s->size()));
  }

  TransferRecord record;
  if (TransferRecord::ReadFrom(b, record)) {
    std::vector<std::uint8_t> again(kTransferRecordSize);
    record.WriteTo(again);
    PEL_FUZZ_CHECK(std::equal(again.begin(), again.end(), b.begin()), "transfer record");
  }
  TransferSizeRecord sizes;
  if (TransferSizeRecord::ReadFrom(b, sizes)) {
    std::vector<std::uint8_t> again(kTransferSizeRecordSize);
    sizes.WriteTo(again);
    PEL_FUZZ_CHECK(std::equal(again.begin(), again.end(), b.begin()), "transfer size record");
  }
  return 0;
}
