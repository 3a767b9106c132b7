// Test entry point: the GUI thread is set up as the program sets it up (OLE in a single-threaded
// apartment, GDI+ started), so code under test sees the same platform.
#include <gtest/gtest.h>

#include "platform/com.h"
#include "platform/gdiplus.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // No "program has crashed" or critical-error boxes: a failing test must never wait for a person.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    platform::OleSession ole;
    platform::GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
