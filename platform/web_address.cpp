#include "platform/web_address.h"

#include <windows.h>
#include <shlwapi.h>  // the URL_SCHEME values
#include <urlmon.h>

#include <string>

#include "platform/com.h"
#include "platform/on_demand.h"

namespace platform {
namespace {

using CreateUriFunction = decltype(::CreateUri);

// urlmon is loaded on the first check rather than at start-up: only a page's call to start the game
// needs it, and by then the browser control has usually loaded it anyway.
CreateUriFunction* CreateUriEntry() {
    static OnDemandLibrary urlmon(L"urlmon.dll");
    static CreateUriFunction* const entry = urlmon.Find<CreateUriFunction>("CreateUri");
    return entry;
}

// C0 controls, DEL and the C1 controls: none belongs in an address, and the parser quietly drops
// some of them (tab, CR, LF), which would make it judge another address than the one navigated to.
bool HoldsControlCharacter(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    }
    return false;
}

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// `prefix` is lower case. The parser also takes "http:host" and "http:\\host\" for web addresses;
// only the written-out form "scheme://" counts here.
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != prefix[i]) return false;
    }
    return true;
}

bool HasWebScheme(std::wstring_view url) {
    return StartsWithNoCase(url, L"http://") || StartsWithNoCase(url, L"https://");
}

// The parser hands a blank in the host back escaped, as "%20"; a raw one counts as well.
bool HoldsBlank(std::wstring_view host) {
    if (host.find(L' ') != std::wstring_view::npos) return true;
    for (size_t at = host.find(L'%'); at != std::wstring_view::npos; at = host.find(L'%', at + 1)) {
        if (host.substr(at + 1, 2) == L"20") return true;
    }
    return false;
}

// Without an explicit port the parser answers the scheme's own (80, 443); an explicit 0 or an empty
// port answers 0. Ports above 65535 and signed ones the parser refuses itself.
bool HasUsablePort(IUri& uri) {
    DWORD port = 0;
    return SUCCEEDED(uri.GetPort(&port)) && port >= 1 && port <= 65535;
}

bool HasUsableHost(IUri& uri) {
    Bstr host;
    if (FAILED(uri.GetHost(host.Put())) || !host.get()) return false;
    const std::wstring_view text(host.get(), SysStringLen(host.get()));
    return !text.empty() && !HoldsBlank(text);
}

bool IsWebScheme(IUri& uri) {
    DWORD scheme = URL_SCHEME_INVALID;
    return SUCCEEDED(uri.GetScheme(&scheme)) && (scheme == URL_SCHEME_HTTP || scheme == URL_SCHEME_HTTPS);
}

ComPtr<IUri> Parse(const std::wstring& url) {
    ComPtr<IUri> uri;
    CreateUriFunction* const createUri = CreateUriEntry();
    // No canonicalisation and no decoding: the parser judges the address as written, which is what
    // the browser is given.
    if (createUri &&
        FAILED(createUri(url.c_str(), Uri_CREATE_NO_CANONICALIZE | Uri_CREATE_NO_DECODE_EXTRA_INFO, 0,
                         uri.Put())))
        uri.Reset();
    return uri;
}

}  // namespace

bool IsWebAddress(std::wstring_view url) {
    if (!HasWebScheme(url) || HoldsControlCharacter(url)) return false;
    ComPtr<IUri> uri = Parse(std::wstring(url));
    return uri && IsWebScheme(*uri.get()) && HasUsableHost(*uri.get()) && HasUsablePort(*uri.get());
}

}  // namespace platform
