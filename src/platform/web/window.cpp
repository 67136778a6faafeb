#include "window.h"

#include <allegro.h>

// The page's title; the page itself carries the icon.
void NameWindow() { set_window_title("StarTug"); }
