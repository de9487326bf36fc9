#include "devicelink/LinkModel.h"

#include <cctype>

namespace pel::link {

int DetectModel(std::string_view reply) {
  if (reply.find("Pelmora") == std::string_view::npos) return model::None;
  std::string upper(reply);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.find("SORN") != std::string::npos) return model::SornII;
  if (upper.find("ASTER") != std::string::npos) return model::Aster;
  if (upper.find("VAXO") != std::string::npos) return model::Vaxo;
  // QOR03 first: it contains QOR.
  if (upper.find("QOR03") != std::string::npos) return model::Qor3;
  if (upper.find("QOR") != std::string::npos) return model::Qor;
  return model::Unnamed;
}

std::string ModelName(int modelState) {
  switch (modelState) {
    case model::SornII: return "Sorn II";
    case model::Aster: return "Aster";
    case model::Vaxo: return "Vaxo";
    case model::Usb: return "USB";
    case model::Qor: return "Qor";
    case model::Tolemic: return "Tolemic";
    case model::Qor3: return "Qor-3";
    default: return "none";
  }
}

int MaxRecordCountFor(int modelState, int current) {
  if (modelState >= model::SornII && modelState <= model::Qor) return 50000;
  if (modelState == model::Tolemic || modelState == model::Qor3) return 5000;
  return current;
}

bool PortListed(std::string_view portList, int n) {
  return portList.find("COM" + std::to_string(n)) != std::string_view::npos;
}

Dispatch ChooseDispatch(int experimentMode, int modelState, int frameLength, bool fastQorAccepted) {
  switch (experimentMode) {
    case 1:
      return frameLength == 39 || frameLength == 51 || frameLength == 99 ? Dispatch::Analog : Dispatch::Drop;
    case 2: {
      const bool blockModel = modelState == model::Tolemic || modelState == model::Qor3 ||
                              (fastQorAccepted && modelState == model::Qor);
      if (blockModel) {
        if (frameLength == 51) return Dispatch::Analog;
        if (frameLength > 39) return Dispatch::FastBlock;
        return Dispatch::Drop;
      }
      return frameLength == 75 ? Dispatch::FastSingle : Dispatch::Drop;
    }
    case 3: return Dispatch::Timing;
    case 8: return Dispatch::EndOfCapture;
    default: return Dispatch::DrainInput;
  }
}

}  // namespace pel::link
