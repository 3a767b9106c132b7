// The desktop shortcut to the running program.
#pragma once

// Writes "Quorvane.lnk" on the current user's desktop, pointing at the running executable with its
// own icon, replacing any file of that name. Reports nothing; failures leave the desktop as it was.
void CreateDesktopShortcut();
