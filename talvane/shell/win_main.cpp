// The program's entry point: the one application object and its run.
#include <windows.h>

#include "talvane/shell/talvane_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  talvane::CTalvaneApp app;
  return app.RunApplication();
}
