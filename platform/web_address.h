// Whether a string is an absolute web address, judged by the platform's own URL parser.
#pragma once

#include <string_view>

namespace platform {

// True for an address written as "http://..." or "https://..." (the scheme in any letter case) that
// the system's URL parser accepts whole, with no control character anywhere (tab, CR and LF
// included), a host that is neither empty nor holds a blank, and a port from 1 to 65535. User
// information, IPv6 literals, internationalised host names and non-ASCII paths pass. False as well
// when the parser cannot be loaded.
bool IsWebAddress(std::wstring_view url);

}  // namespace platform
