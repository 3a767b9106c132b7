#include "platform/window.h"

namespace platform {
namespace {

const wchar_t kWindowProp[] = L"Quorvane.Window";

// The object waiting for the window that the current creation call makes.
thread_local Window* g_pendingWindow = nullptr;

// The system may create the thread's input-method windows in the middle of our first creation call.
bool IsImeWindow(HWND hwnd) {
    wchar_t name[32] = {};
    GetClassNameW(hwnd, name, 32);
    return lstrcmpiW(name, L"IME") == 0 || lstrcmpiW(name, L"MSCTFIME UI") == 0;
}

}  // namespace

LRESULT Message::Default() {
    if (!defaultDone_) {
        defaultResult_ = window_.CallDefault(id, wParam, lParam);
        defaultDone_ = true;
    }
    return defaultResult_;
}

Window::~Window() { Destroy(); }

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropW(hwnd, kWindowProp)) : nullptr;
}

void Window::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool Window::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                      const RECT& rect, HWND parentOrOwner, UINT_PTR idOrMenu) {
    CreationHook hook(*this);
    HWND hwnd = CreateWindowExW(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parentOrOwner, reinterpret_cast<HMENU>(idOrMenu),
                                GetModuleHandleW(nullptr), nullptr);
    return hwnd != nullptr;
}

BOOL Window::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    return ::MoveWindow(hwnd_, x, y, width, height, repaint);
}

bool Window::PreTranslateQueued(MSG& msg) {
    for (HWND h = msg.hwnd; h; h = GetParent(h)) {
        Window* window = FromHandle(h);
        if (window && window->PreTranslateMessage(msg)) return true;
        // Owned popups are not part of their owner's tree.
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

Window::CreationHook::CreationHook(Window& window)
    : hook_(SetWindowsHookExW(WH_CBT, &Window::CbtProc, nullptr, GetCurrentThreadId())),
      previous_(g_pendingWindow) {
    g_pendingWindow = &window;
}

Window::CreationHook::~CreationHook() {
    g_pendingWindow = previous_;
    if (hook_) UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK Window::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    // The first window created after the hook went in is ours; windows that its own creation
    // handlers create later (controls, hosted windows) are left alone.
    if (code == HCBT_CREATEWND && g_pendingWindow && !IsImeWindow(reinterpret_cast<HWND>(wParam))) {
        Window* window = g_pendingWindow;
        g_pendingWindow = nullptr;
        window->Attach(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Window::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd, kWindowProp, this);
    classProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticWndProc)));
}

void Window::Detach() {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == &Window::StaticWndProc)
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc_));
    RemovePropW(hwnd_, kWindowProp);
    hwnd_ = nullptr;
}

LRESULT Window::CallDefault(UINT id, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(classProc_, hwnd_, id, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT id, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (!window) return DefWindowProcW(hwnd, id, wParam, lParam);
    Message m(*window, id, wParam, lParam);
    LRESULT result = window->OnMessage(m);
    if (id == WM_NCDESTROY) {
        m.Default();  // the class's own clean-up always runs
        window->Detach();
        window->PostNcDestroy();
    }
    return result;
}

const wchar_t* PlainWindowClass() {
    static const wchar_t kName[] = L"QuorvaneWindow";
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.lpszClassName = kName;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    return kName;
}

HINSTANCE ResourceModule() { return GetModuleHandleW(nullptr); }

}  // namespace platform
