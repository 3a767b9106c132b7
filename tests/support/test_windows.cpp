#include "tests/support/test_windows.h"

namespace testsupport {

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

std::vector<uint32_t> StraightArgb(const platform::Image& image) {
    std::vector<uint32_t> pixels(image.Width() * image.Height());
    image.CopyPixels(pixels.data(), image.Width(), image.Height(), PixelFormat32bppARGB);
    return pixels;
}

void SendMouse(POINT at, DWORD buttons) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    // Absolute positions run from 0 to 65535 across the primary screen.
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = buttons | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void SendMouseButtons(DWORD buttons) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = buttons;
    SendInput(1, &input, sizeof(input));
}

RECT WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

namespace {
const wchar_t kOwnerClass[] = L"QuorvaneTestOwner";
}

TestOwner::TestOwner(int x, int y, int width, int height, DWORD style) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TestOwner::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kOwnerClass;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassW(&wc);  // fails harmlessly once registered
    hwnd_ = CreateWindowExW(0, kOwnerClass, L"test owner", style, x, y, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
}

TestOwner::~TestOwner() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TestOwner::Proc(HWND hwnd, UINT id, WPARAM wParam, LPARAM lParam) {
    if (id == WM_NCCREATE) {
        auto* self = static_cast<TestOwner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TestOwner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (id == WM_SYSCOMMAND && self) {
        self->lastSysCommand_ = static_cast<UINT>(wParam & 0xFFF0);
        return 0;  // recorded, not carried out: the test decides what it means
    }
    return DefWindowProcW(hwnd, id, wParam, lParam);
}

}  // namespace testsupport
