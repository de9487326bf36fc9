#pragma once
// The about box: its resource alone; OK, Esc and the close box end it.
#include "highspeed/resource.h"
#include "highspeed/ui/Dialog.h"

namespace quillon {

class CAboutDlg : public ui::Dialog {
 public:
  CAboutDlg() : ui::Dialog(IDD_ABOUTBOX, nullptr) {}
};

}  // namespace quillon
