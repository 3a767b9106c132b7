#include <windows.h>

#include "app/application.h"

namespace {
CTravenorApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
