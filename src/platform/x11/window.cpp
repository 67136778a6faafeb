#include "window.h"

#include <allegro.h>

// Debian's Allegro exports these without declaring them in its public headers (the second
// is in xalleg.h, which brings in all of Xlib). allegro_icon is the XPM the X port gives the
// windows it creates; xwin_set_window_name sets their WM_CLASS instance and class names.
extern "C" char** allegro_icon;
extern "C" void xwin_set_window_name(const char* name, const char* group);

namespace {
// The desktop's menu icon at 48 pixels, painted by the asset generator at build time.
#include "windowicon.xpm"
}  // namespace

// The class and icon tie the window to the desktop's menu entry (its StartupWMClass).
void NameWindow() {
    set_window_title("StarTug");
    xwin_set_window_name("startug", "StarTug");
    allegro_icon = const_cast<char**>(windowicon_xpm);
}
