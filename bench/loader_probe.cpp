// The program itself with a clock at the first line of its entry point: what the loader and the
// run-time's start-up cost before any of our code runs. It links everything the program links, so
// its import list is the program's; it reports and ends unless started with "run".
#include <windows.h>

#include <cwchar>

#include "app/application.h"
#include "bench/launch_report.h"

namespace {
CTravenorApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    ReportLaunchReached();
    if (commandLine && std::wcscmp(commandLine, L"run") == 0) return theApp.Run();
    return 0;
}
