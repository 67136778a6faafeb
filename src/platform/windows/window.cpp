#include "window.h"

#include <allegro.h>

// Windows takes the window's icon from the program's own icon resource, named allegro_icon.
void NameWindow() { set_window_title("StarTug"); }
