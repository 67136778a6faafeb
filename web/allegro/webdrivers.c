/* The driver lists of the web system driver: one driver each for the keyboard, the
 * mouse and the timer. Graphics come from AllegroGL, which installs its own list. */
#include "aintweb.h"

_DRIVER_INFO _web_keyboard_driver_list[] = {
    {KEYBOARD_WEB, &keyboard_web, TRUE},
    {0, NULL, 0},
};

_DRIVER_INFO _web_mouse_driver_list[] = {
    {MOUSE_WEB, &mouse_web, TRUE},
    {0, NULL, 0},
};

_DRIVER_INFO _web_timer_driver_list[] = {
    {TIMER_WEB, &timer_web, TRUE},
    {0, NULL, 0},
};
