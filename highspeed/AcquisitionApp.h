#pragma once
// The program's application object: the single-instance start, the profile
// root of the registry texts, and the text lookup every window uses.
#include <string>

#include "highspeed/RegistryText.h"
#include "highspeed/ui/Handle.h"
#include "highspeed/ui/Profile.h"

namespace quillon {

class CAcquisitionApp {
 public:
  CAcquisitionApp() = default;
  virtual ~CAcquisitionApp() = default;
  // Runs the whole program; false in every case, so the program then ends.
  virtual bool InitInstance();
  virtual int ExitInstance() { return 0; }

  // Read-only after start, so safe from the dialog's and the parse thread.
  std::string GetLocalizedText(unsigned language, const std::string& key, int section) const;
  std::string Text(const std::string& key, TextSection section) const {
    return GetLocalizedText(language_, key, static_cast<int>(section));
  }
  unsigned Language() const { return language_; }
  const ui::Profile& Profile() const { return profile_; }

 private:
  ui::UniqueHandle mutex_;
  unsigned language_ = 0;
  ui::Profile profile_;
};

CAcquisitionApp& TheApp();

// Text of the message boxes' caption and of the single-instance mutex.
inline constexpr char kAppCaption[] = "Pelmora Experiment";

}  // namespace quillon
