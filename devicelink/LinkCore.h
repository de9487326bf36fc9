#pragma once
// What TPelmora holds: its published fields, the transports, the hook table
// and the per-part state, in the order they are made (and, reversed, ended).
// Who owns what: the main thread all of it, except where a member says
// otherwise.
#include <windows.h>

#include <memory>

#include "devicelink/LinkEnvironment.h"
#include "devicelink/LinkHooks.h"
#include "devicelink/OutputsLink.h"
#include "devicelink/PelmoraFields.h"
#include "devicelink/RunParts.h"

namespace pel {
class Timer;
}

namespace pel::link {

class UsbSensorsLink;

class LinkCore {
 protected:
  // Both where the USB side and the timer are complete.
  LinkCore(LinkFlavour flavour, LinkEnvironment env);
  ~LinkCore();
  LinkCore(const LinkCore&) = delete;
  LinkCore& operator=(const LinkCore&) = delete;

 public:
  PelmoraFields F_;

 protected:
  RunParts runs_;
  struct PropertyState {
    // The channel Digital mode relabelled "Time(s)", -1 none.
    int timingLabelChannel = -1;
  };
  PropertyState props_;
  std::unique_ptr<UsbSensorsLink> usb_;  // owns the USB polling thread

  LinkFlavour flavour_;
  LinkEnvironment env_;
  LinkHooks hooks_;
  HWND hwnd_ = nullptr;
  std::shared_ptr<SerialLink> serial_;
  std::shared_ptr<SocketWorker> worker_;
  std::unique_ptr<pel::Timer> timer_;
  int exchangeDepth_ = 0;      // published exchanges running
  bool closePending_ = false;  // CloseComm asked for during an exchange
  int linkLoss_ = 0;           // 0 none, 1 lost and being closed, 2 lost and closed
  OutputsLink outputs_;
  bool inTick_ = false;  // the poll tick runs
  static constexpr UINT kEndMessage = WM_USER + 2;
};

}  // namespace pel::link
