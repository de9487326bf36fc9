#include <windows.h>

#include "highspeed/AcquisitionApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  quillon::TheApp().InitInstance();
  return quillon::TheApp().ExitInstance();
}
