#pragma once
// What the device link derives from the interface's model state: the model
// from an identify reply, its name, its record limit, and which stream parser
// a received frame goes to.
#include <string>
#include <string_view>

#include "devicelink/setup/SetupTypes.h"

namespace pel::link {

// Model states (per process): which commands and limits apply. The one set
// is the set-up rules'; here under the link's names.
namespace model {
using pel::setup::model::Aster;
using pel::setup::model::IsBox;
using pel::setup::model::None;
using pel::setup::model::Qor;
using pel::setup::model::Qor3;
using pel::setup::model::SornII;
using pel::setup::model::Tolemic;
using pel::setup::model::Unnamed;
using pel::setup::model::Vaxo;
inline constexpr int Usb = pel::setup::model::UsbSensors;
}  // namespace model

// Model state from an identify reply: -1 without the product word "Pelmora"
// (as written); else by SORN, ASTER, VAXO, QOR03, QOR in capitals; else 9.
int DetectModel(std::string_view reply);

// The model name the component publishes ("none" for -1, 9 and the rest).
std::string ModelName(int modelState);

// Record limit after a connect; the current limit where the model sets none.
int MaxRecordCountFor(int modelState, int current);

// True when "COM" followed by n occurs anywhere in the port list (so 1 is
// accepted when only COM10 is listed).
bool PortListed(std::string_view portList, int n);

// Where a frame taken while frame mode is on goes.
enum class Dispatch { Analog, FastBlock, FastSingle, Timing, EndOfCapture, Drop, DrainInput };

// experimentMode: 1 normal, 2 fast, 3 timing, 8 high-speed data.
// fastQorAccepted: fast block frames from a Qor (model 4) are taken too
// (the ActiveX host over the COM port).
Dispatch ChooseDispatch(int experimentMode, int modelState, int frameLength, bool fastQorAccepted);

}  // namespace pel::link
