// Interface ids that not every SDK's import libraries carry: MinGW-w64's libuuid, for one, has no
// IID_IDispatchEx. Whoever needs one of these ids includes this header; interface_ids.cpp holds the
// one definition of each, so no file writes an id out by hand.
#pragma once

#include <windows.h>
#include <activscp.h>
#include <dispex.h>
