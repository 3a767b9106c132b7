#include "game/game_window.h"

#include <exdispid.h>
#include <mshtml.h>

#include "res/resource.h"

using platform::Bstr;
using platform::ComPtr;
using platform::Message;
using platform::Variant;

namespace {

std::vector<std::unique_ptr<GameBrowserConainter>>& Windows() {
    static std::vector<std::unique_ptr<GameBrowserConainter>> windows;
    return windows;
}

// The body of the document that `browser` (the control or one of its frames) shows. Empty when any
// step is missing, and for a frameset document, whose body is no body element.
ComPtr<IHTMLBodyElement> BodyOf(IDispatch* browser) {
    ComPtr<IHTMLBodyElement> body;
    if (!browser) return body;
    // The event hands over the browser object's IDispatch; its Document property is read through it,
    // which holds for the control and for every frame alike.
    Variant document;
    DISPPARAMS noArguments{};
    if (FAILED(browser->Invoke(platform::CWebBrowser::kDocument, IID_NULL, LOCALE_USER_DEFAULT,
                               DISPATCH_PROPERTYGET, &noArguments, document.get(), nullptr, nullptr)))
        return body;
    if ((*document).vt != VT_DISPATCH || !(*document).pdispVal) return body;
    ComPtr<IHTMLDocument2> html;
    if (FAILED((*document).pdispVal->QueryInterface(IID_IHTMLDocument2, html.PutVoid()))) return body;
    ComPtr<IHTMLElement> element;
    if (FAILED(html->get_body(element.Put())) || !element) return body;
    element.As(&body);
    return body;
}

}  // namespace

void OpenGameWindow(const wchar_t* url) {
    auto window = std::make_unique<GameBrowserConainter>(url);
    // With the desktop as parent the dialog is a top-level window that nobody owns, so it stays on
    // its own when the login window is minimised or hidden.
    window->Create(IDD_GAME, GetDesktopWindow());
    Windows().push_back(std::move(window));
}

const std::vector<std::unique_ptr<GameBrowserConainter>>& GameWindows() { return Windows(); }

void DestroyGameWindows() {
    // Taken out of the list first, so nothing that runs while a window goes sees a half-cleared list.
    auto doomed = std::move(Windows());
    Windows().clear();
    doomed.clear();
}

const platform::MessageTable<GameBrowserConainter> GameBrowserConainter::kMessages = {
    {WM_CREATE, &GameBrowserConainter::OnCreate},
    {WM_SIZE, &GameBrowserConainter::OnSize},
    {WM_LBUTTONDOWN, &GameBrowserConainter::OnLButtonDown},
    {WM_TIMER, &GameBrowserConainter::OnTimer},
    {WM_LBUTTONDBLCLK, &GameBrowserConainter::OnLButtonDblClk},
    {WM_CLOSE, &GameBrowserConainter::OnClose},
    {WM_DESTROY, &GameBrowserConainter::OnDestroy},
};

using Events = platform::EventTable<GameBrowserConainter>;
const Events GameBrowserConainter::kEvents = {
    Events::On(kBrowserId, DISPID_DOCUMENTCOMPLETE, &GameBrowserConainter::OnDocumentComplete),
};

// A null url (an empty BSTR from script) is an empty one.
GameBrowserConainter::GameBrowserConainter(const wchar_t* url)
    : MessageRouted(IDD_GAME), url_(url ? url : L"") {
    browser_.SetEventTarget(this);
}

// The window's handlers must run while this object is still a GameBrowserConainter.
GameBrowserConainter::~GameBrowserConainter() { Destroy(); }

LRESULT GameBrowserConainter::OnCreate(Message& m) {
    if (m.Default() == -1) return -1;
    RECT client{};
    GetClientRect(hwnd(), &client);
    browser_.Create(nullptr, WS_CHILD, client, hwnd(), kBrowserId);
    return 0;
}

// Navigation starts while the window is still hidden; the window shows itself maximised afterwards.
BOOL GameBrowserConainter::OnInitDialog() {
    Dialog::OnInitDialog();
    // A taskbar button of its own: the window has no owner whose button could stand for it.
    SetWindowLongW(hwnd(), GWL_EXSTYLE, GetWindowLongW(hwnd(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    browser_.Navigate(url_.c_str());
    SetWindowTextW(hwnd(), L"Quorvane");
    // A shared icon: the system owns it, nothing to destroy.
    const HICON icon = LoadIconW(platform::ResourceModule(), MAKEINTRESOURCEW(IDI_MAIN));
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ShowWindow(SW_MAXIMIZE);
    FitBrowserToClient();
    return TRUE;
}

void GameBrowserConainter::FitBrowserToClient() {
    if (!browser_.hwnd()) return;  // closed: there is no browser any more
    RECT client{};
    GetClientRect(hwnd(), &client);
    browser_.MoveWindow(0, 0, client.right, client.bottom, TRUE);
}

LRESULT GameBrowserConainter::OnSize(Message& m) {
    const LRESULT result = m.Default();
    FitBrowserToClient();
    return result;
}

LRESULT GameBrowserConainter::OnLButtonDown(Message& m) {
    const LRESULT result = m.Default();
    OnLButtonDown(m.keys(), m.point());
    return result;
}

LRESULT GameBrowserConainter::OnTimer(Message& m) {
    const LRESULT result = m.Default();
    OnTimer(m.timerId());
    return result;
}

// The second press of a double-click is swallowed whole: it neither starts a drag nor reaches the
// default processing.
LRESULT GameBrowserConainter::OnLButtonDblClk(Message&) { return 0; }

// Closing unloads the game (the browser goes) and then only hides the window: the default processing
// turns the close request into IDCANCEL, whose EndDialog hides a modeless dialog. The window and this
// object stay, hidden, until the program ends.
LRESULT GameBrowserConainter::OnClose(Message& m) {
    UnloadBrowser();
    DropIcon();
    return m.Default();
}

// Should the window be destroyed, the browser goes with it; after a close there is nothing left.
LRESULT GameBrowserConainter::OnDestroy(Message& m) {
    UnloadBrowser();
    return m.Default();
}

void GameBrowserConainter::UnloadBrowser() { browser_.DestroyControl(); }

// The big icon is shared and owned by the system, but for the caption and the taskbar the system
// makes a small copy of it for this window, bitmaps and all, and keeps it as long as the icon is set.
// Nothing shows a closed game window again, so the icon goes with the game, and the copy with it.
void GameBrowserConainter::DropIcon() { SendMessageW(hwnd(), WM_SETICON, ICON_BIG, 0); }

// Every finished document, the top-level one and each frame's, loses its scroll bars: the game
// fills the window exactly.
void GameBrowserConainter::OnDocumentComplete(IDispatch* browser, VARIANT*) {
    ComPtr<IHTMLBodyElement> body = BodyOf(browser);
    if (!body) return;
    Bstr no(L"no");
    body->put_scroll(no.get());
}
