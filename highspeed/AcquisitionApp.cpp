#include "highspeed/AcquisitionApp.h"

#include <windows.h>
#include <commctrl.h>

#include "highspeed/AcquisitionDlg.h"
#include "highspeed/AcquisitionExport.h"
#include "highspeed/export/ExportProbe.h"

namespace quillon {

CAcquisitionApp& TheApp() {
  static CAcquisitionApp app;
  return app;
}

std::string CAcquisitionApp::GetLocalizedText(unsigned language, const std::string& key, int section) const {
  return LocalizedText(profile_, language, key, static_cast<TextSection>(section));
}

bool CAcquisitionApp::InitInstance() {
  language_ = GetSystemDefaultLangID();
  // The profile is set first: the second-start message is one of its texts.
  profile_.SetRegistryKey("VB and VBA Program Settings\\Pelmora");
  profile_.SetAppName(ui::ModuleBaseName());

  mutex_.reset(CreateMutexA(nullptr, TRUE, kAppCaption));
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxA(nullptr, Text("Quillon1", TextSection::Message).c_str(), kAppCaption, MB_OK);
    mutex_.reset();
    return false;
  }
  ui::ComInit ole(true);
  if (!ole.ok()) {
    MessageBoxA(nullptr, "Could not initialize COM dll", kAppCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  InitCommonControls();
  {
    CAcquisitionDlg dlg;
    dlg.m_useValue2 = ProbeOsVersion() ? 1 : 0;
    dlg.SetExportHandler(MakeExportHandler(*this));
    dlg.DoModal();
  }
  if (mutex_) ReleaseMutex(mutex_.get());
  return false;
}

}  // namespace quillon
