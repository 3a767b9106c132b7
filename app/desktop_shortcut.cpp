#include "app/desktop_shortcut.h"

void CreateDesktopShortcut() {}
