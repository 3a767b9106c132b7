// Test entry point: the GUI thread is set up as the program sets it up (OLE in a single-threaded
// apartment, GDI+ started), so code under test sees the same platform.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/com.h"
#include "platform/gdiplus.h"

namespace {

// A crash ends the test program at once with a message, instead of waiting for a debugger.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "\n*** test program crashed: exception 0x%08lx at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(&ReportCrash);
    testing::InitGoogleTest(&argc, argv);
    // No "program has crashed" or critical-error boxes: a failing test must never wait for a person.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    platform::OleSession ole;
    platform::GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
