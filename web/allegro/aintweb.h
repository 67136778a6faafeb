/* Allegro 4.4 on the web (Emscripten): what the web drivers share. The system driver's
 * id, SYSTEM_WEB, and system_web itself are declared in Allegro's alunix.h. */
#ifndef AINTWEB_H
#define AINTWEB_H

#include <allegro.h>

#include <emscripten/html5.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The number of elements of an array. */
#define COUNT(array) ((int)(sizeof(array) / sizeof((array)[0])))

/* 0 when each of the COUNT results of setting event handlers is a success, else -1. */
static inline int web_handlers_set(const EMSCRIPTEN_RESULT* results, int count) {
    for (int i = 0; i < count; i++) {
        if (results[i] != EMSCRIPTEN_RESULT_SUCCESS) {
            return -1;
        }
    }
    return 0;
}

/* The page's canvas, as a CSS selector: the display, and the mouse's target. */
#define WEB_CANVAS "#canvas"

#define KEYBOARD_WEB AL_ID('W', 'E', 'B', ' ')
#define MOUSE_WEB AL_ID('W', 'E', 'B', ' ')
#define TIMER_WEB AL_ID('W', 'E', 'B', ' ')

extern KEYBOARD_DRIVER keyboard_web;
extern MOUSE_DRIVER mouse_web;
extern TIMER_DRIVER timer_web;

extern _DRIVER_INFO _web_keyboard_driver_list[];
extern _DRIVER_INFO _web_mouse_driver_list[];
extern _DRIVER_INFO _web_timer_driver_list[];

#ifdef __cplusplus
}
#endif

#endif
