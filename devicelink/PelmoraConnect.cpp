// TPelmora: finding and opening an interface (COM port, registry-named
// adapters, USB sensors, TCP on the local machine) and closing it again.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "devicelink/LinkFraming.h"
#include "devicelink/Pelmora.h"
#include "platform/Registry.h"
#include "platform/Timer.h"

using namespace pel::link;

namespace {

const char* const kEnumRoots[] = {"SYSTEM\\CurrentControlSet\\Enum\\USB",
                                  "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS",
                                  "SYSTEM\\CurrentControlSet\\Enum\\BTHENUM"};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string trim(const std::string& s) {
  const auto a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

// The number after "COM"; 0 when there is none.
int portNumber(const std::string& name) {
  const std::string t = trim(name);
  int n = 0;
  if (t.size() > 3) std::from_chars(t.data() + 3, t.data() + t.size(), n);
  return n;
}

}  // namespace

int TPelmora::InitializeComm() {
  Frame frame(*this);
  if (F_.PelmoraConnected) return 0;
  if (InExchange()) {
    // Called from an event handler while a command waits for its reply.
    RaiseDeviceError(22);
    return 22;
  }
  Exchange exchange(*this);
  auto& s = State();
  F_.RunningMode = -1;
  F_.ErrorNumber = 0;
  s.modelState = model::None;
  linkLoss_ = 0;
  bool found = false;
  s.receive.frameMode = false;
  F_.InterfaceFunction_ScopeMode = false;
  if (timer_) timer_->setInterval(5);

  // COM ports.
  if (!(F_.UseOnlyUSBSensor && !F_.AutoDetect)) {
    try {
      if (serial_->IsOpen()) serial_->Close();
    } catch (...) {
    }
    if (F_.VCPort > 0) {
      try {
        const std::string name = "COM" + std::to_string(F_.VCPort);
        if (!PortListed(serial_->PortList(), F_.VCPort)) {
          // Through the setter, which keeps a user's port that is only briefly missing.
          VCPort(0);
        } else {
          serial_->SetPort(name);
          try {
            serial_->Open();
          } catch (...) {
          }
          s.receive.frameMode = false;
          if (!serial_->IsOpen()) {
            F_.VCPort = 0;
          } else {
            SendCommand("");
            FlushInput();
            if (flavour_.pauseBeforeIdentify > 0) Host().SleepMs(flavour_.pauseBeforeIdentify);
            SendCommand("s{10,3}");
            s.modelState = DetectModel(WaitReply());
            if (s.modelState == model::None) {
              F_.VCPort = 0;
              try {
                serial_->Close();
              } catch (...) {
              }
              F_.RunningMode = -1;
            } else {
              F_.PelmoraConnected = true;
              F_.RunningMode = 0;
              ProbeCapabilities(true);
              found = true;
            }
          }
        }
      } catch (...) {
      }
    }
    if (!found && !closePending_ && !Released()) {
      std::string foundPorts;
      for (const char* root : kEnumRoots) FindRegistryPorts(root, foundPorts);
      std::vector<std::string> names;
      try {
        SplitFields(serial_->PortList(), '\0', names);
      } catch (...) {
      }
      std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return upper(a) < upper(b);
      });
      for (const auto& name : names) {
        if (F_.PelmoraConnected || closePending_ || Released()) break;
        if (name.empty()) continue;
        s.receive.frameMode = false;
        try {
          serial_->SetPort(name);
          if (foundPorts.find(name) != std::string::npos) {
            try {
              serial_->Open();
            } catch (...) {
            }
          }
          if (!serial_->IsOpen()) continue;
          FlushInput();
          SendCommand("s{10,3}");
          s.modelState = DetectModel(WaitReply());
          if (s.modelState == model::None) {
            try {
              serial_->Close();
            } catch (...) {
            }
          } else {
            F_.PelmoraConnected = true;
            F_.RunningMode = 0;
            F_.VCPort = portNumber(name);
            ProbeCapabilities(false);
          }
        } catch (...) {
        }
      }
    }
  }

  // USB sensors.
  if (!F_.PelmoraConnected && (F_.UseOnlyUSBSensor || F_.AutoDetect) && !closePending_ && !Released()) {
    try {
      int n;
      if (s.useLibUsb) {
        n = env_.usb->LibUsbCount();
      } else {
        n = env_.usb->UsbOpen();
        if (n == 0) {
          env_.usb->LibUsbInit();
          n = env_.usb->LibUsbCount();
          if (n > 0) s.useLibUsb = true;
        }
      }
      s.usbFoundCount = n;
      if (n > 0) {
        F_.VCPort = 0;
        s.modelState = model::Usb;
        F_.RunningMode = 0;
        F_.PelmoraConnected = true;
        F_.InterfaceFunction_TimmingMode = true;
        F_.Mode8Port = true;
        s.usbFoundCount = 0;
        if (hooks_.enumerateUsbSensors) hooks_.enumerateUsbSensors(*this);
      } else {
        if (s.useLibUsb)
          env_.usb->LibUsbClose();
        else
          env_.usb->UsbClose();
        F_.Mode8Port = false;
      }
    } catch (...) {
    }
  }

  // TCP to the local machine.
  if (!F_.PelmoraConnected && (F_.UseOnlyTolemic || F_.AutoDetect) && !closePending_ && !Released()) {
    try {
      worker_->ConnectLocal();
      if (worker_->IsConnected()) {
        FlushInput();
        SendCommand("s{10,3}");
        Host().SleepMs(500);
        s.modelState = DetectModel(WaitReply());
        if (s.modelState == model::None) {
          worker_->Disconnect();
        } else {
          s.modelState = model::Tolemic;
          F_.PelmoraConnected = true;
          F_.RunningMode = 0;
          F_.VCPort = 0;
          ProbeCapabilities(false);
        }
      }
    } catch (...) {
    }
  }

  F_.Max_Record_Count = MaxRecordCountFor(s.modelState, F_.Max_Record_Count);
  if (F_.PelmoraConnected) {
    // An error of a port tried before stays until the sensor identification
    // clears it: the connect returns what that raised.
    try {
      // A host that let go meanwhile ends the connect here.
      if (!Released()) QueryProductInfo();
      if (hooks_.autoSensorId && !Released()) hooks_.autoSensorId(*this);
    } catch (...) {
    }
  } else {
    RaiseDeviceError(1);
  }
  return F_.ErrorNumber;
}

void TPelmora::ProbeCapabilities(bool userSetPort) {
  SendCommand("s{16,0}");
  F_.InterfaceFunction_TimmingMode = WaitReply().find('{') != std::string::npos;
  F_.DigitalTimmingMode = F_.InterfaceFunction_TimmingMode;
  SendCommand("s{11,3}");
  const bool scope = WaitReply().find('{') != std::string::npos;
  if (scope)
    F_.InterfaceFunction_ScopeMode = true;
  else if (userSetPort)
    F_.InterfaceFunction_ScopeMode = false;
  SendCommand("s{11,5}");
  F_.Mode8Port = !WaitReply().empty();
  F_.GetModeFor8Port = false;
}

void TPelmora::QueryProductInfo() {
  switch (State().modelState) {
    case model::Usb:
      F_.ProductNo = "USB";
      F_.VersionNo = "2.0";
      break;
    case model::Tolemic:
      F_.ProductNo = "Tolemic";
      F_.VersionNo = "6.0";
      break;
    case model::SornII:
    case model::Aster:
    case model::Vaxo:
    case model::Qor:
    case model::Qor3:
      SendCommand("s{10,R}");
      F_.ProductNo = ReplyBody(WaitReply());
      SendCommand("s{10,4}");
      F_.VersionNo = ReplyBody(WaitReply());
      break;
    default:
      break;
  }
}

void TPelmora::FindRegistryPorts(const std::string& path, std::string& found) {
  using pel::reg::Root;
  // Device trees are shallow; the bound only stops a pathological one.
  if (std::count(path.begin(), path.end(), '\\') > 24) return;
  if (!pel::reg::keyExists(Root::LocalMachine, path)) return;
  if (upper(path).find("VID_10C4&PID_EA60") != std::string::npos || path.find("FTDIBUS") != std::string::npos ||
      path.find("BTHENUM") != std::string::npos) {
    for (const auto& value : pel::reg::valueNames(Root::LocalMachine, path)) {
      if (value != "PortName") continue;
      if (!found.empty()) found += ",";
      found += pel::reg::readString(Root::LocalMachine, path, value);
    }
  }
  for (const auto& sub : pel::reg::subkeyNames(Root::LocalMachine, path))
    if (sub.find("ROOT_HUB") == std::string::npos) FindRegistryPorts(path + "\\" + sub, found);
}

int TPelmora::CloseComm() {
  Frame frame(*this);
  if (InExchange()) {
    // From an event handler during a reply wait: the outer exchange ends
    // first, then the link closes.
    closePending_ = true;
    return 0;
  }
  Exchange exchange(*this);
  return CloseCommNow();
}

int TPelmora::CloseCommNow() {
  auto& s = State();
  F_.ErrorNumber = 0;
  // Scope runs and demo output stop too, though ExperimentMode is 0 in both:
  // the box would go on with no link to stop it, and a scope run would end
  // without its StopExperiment. Run alone (left set by a demo output's stop)
  // is no run.
  if (F_.ExperimentMode != 0 || F_.RunningMode == 3 || F_.RunningMode == 6) {
    if (hooks_.haltAcquisition) {
      try {
        hooks_.haltAcquisition(*this);
      } catch (...) {
      }
    } else {
      F_.ExperimentMode = 0;
      F_.Run = false;
    }
  }
  s.receive.binary = false;
  s.receive.frameMode = false;
  try {
    switch (s.modelState) {
      case model::Usb:
        if (s.useLibUsb)
          env_.usb->LibUsbClose();
        else
          env_.usb->UsbClose();
        break;
      case model::Tolemic:
        worker_->Disconnect();
        PollInput();
        break;
      case model::None:
        break;
      default:  // the COM port models, the unnamed one included
        serial_->Close();
        break;
    }
  } catch (...) {
  }
  Host().PumpMessages();
  F_.PelmoraConnected = false;
  F_.RunningMode = -1;
  s.modelState = model::None;
  if (linkLoss_ == 1) {
    linkLoss_ = 2;
    F_.ErrorNumber = 8;  // the loss, not the close, is what happened
  }
  return F_.ErrorNumber;
}
