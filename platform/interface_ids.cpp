// Defines the ids declared by the headers below, once, in this object. They are link-once
// definitions, so an import library that also carries one of them does not clash.
#include <initguid.h>

#include "platform/interface_ids.h"
