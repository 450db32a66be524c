// Program entry point: no command line, no registry; the process ends with the run's exit code.
#include <windows.h>

#include "app/Startup_win.h"
#include "base/DllSearch_win.h"
#include "web/PageDownload_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearch();
    ExitProcessBesideDownloads(static_cast<UINT>(RunClipwren()));
}
