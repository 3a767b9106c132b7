// Window objects bound to their HWND from the first message on, with per-class message tables.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <type_traits>
#include <vector>

namespace platform {

class Window;

// One message as a handler sees it. Default() runs the window's default processing (the window class's
// own procedure) once and remembers its result, so a handler may run it first, last or not at all.
class Message {
  public:
    Message(Window& window, UINT id, WPARAM wParam, LPARAM lParam)
        : id(id), wParam(wParam), lParam(lParam), window_(window) {}

    LRESULT Default();
    Window& window() const { return window_; }

    // The arguments read as the messages that carry them define them, so no handler decodes lParam.
    // Mouse messages: the pointer in client coordinates; WM_MOVE: the client area's new origin.
    // Both coordinates are signed: left of or above the origin they are negative.
    POINT point() const {
        return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    }
    // Mouse messages: the MK_ flags of the buttons and keys held down.
    UINT keys() const { return static_cast<UINT>(wParam); }
    // WM_TIMER: the timer's id.
    UINT_PTR timerId() const { return static_cast<UINT_PTR>(wParam); }

    const UINT id;
    const WPARAM wParam;
    const LPARAM lParam;

  private:
    Window& window_;
    bool defaultDone_ = false;
    LRESULT defaultResult_ = 0;
};

// message -> handler, for one class (see MessageRouted).
template <class T>
class MessageTable {
  public:
    using Handler = LRESULT (T::*)(Message&);
    struct Entry {
        UINT message;
        Handler handler;
    };

    MessageTable(std::initializer_list<Entry> entries) : entries_(entries) {}

    Handler Find(UINT message) const {
        for (const Entry& e : entries_)
            if (e.message == message) return e.handler;
        return nullptr;
    }

  private:
    std::vector<Entry> entries_;
};

// The base of every window object. The object is attached to its HWND before the window's first
// message (WM_NCCREATE, WM_CREATE arrive at the object), and detached after WM_NCDESTROY.
// The object does not own its own memory: whoever created it deletes it.
class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists, so an object never outlives-by-accident its window.
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    static Window* FromHandle(HWND hwnd);

    // Every message of the window comes here first. Classes with a table get it from MessageRouted.
    virtual LRESULT OnMessage(Message& m) { return m.Default(); }
    // Offered each queued message for this window or a descendant before it is dispatched;
    // true means it was handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& msg) {
        (void)msg;
        return false;
    }

    // Creates a window of any class (a registered class of ours or a system class such as "Button")
    // and attaches this object to it.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parentOrOwner, UINT_PTR idOrMenu);
    void Destroy();

    // Small conveniences over the HWND.
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    BOOL ShowWindow(int command) { return ::ShowWindow(hwnd_, command); }

    // Runs the queued-message pre-translation for msg: from msg.hwnd up through its parents to the
    // top-level window, every attached window object gets PreTranslateMessage until one takes it.
    static bool PreTranslateQueued(MSG& msg);

  protected:
    // Called after the window is gone (after WM_NCDESTROY). Objects held by value do nothing here.
    virtual void PostNcDestroy() {}

    // Attaches the next window this thread creates to `window` from within the creation call,
    // before any message reaches it. Used around CreateWindowEx and the dialog-creation calls.
    class CreationHook {
      public:
        explicit CreationHook(Window& window);
        ~CreationHook();
        CreationHook(const CreationHook&) = delete;
        CreationHook& operator=(const CreationHook&) = delete;

      private:
        HHOOK hook_;
        Window* previous_;
    };

  private:
    friend class Message;
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT id, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();
    LRESULT CallDefault(UINT id, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC classProc_ = nullptr;
};

// What a window class T with a table of its own (a static const MessageTable<T> kMessages) derives
// from, naming the class it extends as Parent. A message the table lists goes to its handler; any
// other goes on to Parent's processing, and so through every table above T in turn: the fall-through
// is always the class T derives from, so no table between T and Window can be skipped.
template <class T, class Parent>
class MessageRouted : public Parent {
  public:
    using Parent::Parent;

    LRESULT OnMessage(Message& m) override {
        static_assert(std::is_base_of_v<Window, Parent>, "a window class's processing");
        if (auto handler = T::kMessages.Find(m.id)) return (static_cast<T&>(*this).*handler)(m);
        return Parent::OnMessage(m);
    }
};

// Registers (once) the window class that our plain windows use; its procedure is DefWindowProcW,
// so default processing for those windows is DefWindowProcW.
const wchar_t* PlainWindowClass();

// The module that holds the program's resources.
HINSTANCE ResourceModule();

}  // namespace platform
