/* The web timer. There are no threads to run timer interrupts on, so rest() is the
 * timer: it sleeps in emscripten_sleep, which hands the browser its turn (it draws the
 * canvas and delivers input events then), and afterwards runs the callbacks that
 * install_int() queued for the time that passed. Those callbacks therefore run only
 * while the program rests, and must not rest themselves.
 * A rest also lasts until the browser's next animation frame: WebGL calls return before
 * the browser has drawn them, and without that wait a program drawing faster than the
 * browser shows frames runs ahead of the screen, which then shows only a few of them
 * (measured in headless Chromium: under one frame a second). A page that draws no frames
 * (hidden, or a headless browser between screenshots) must not stop the program, so that
 * wait ends after FRAME_WAIT_MOST_MS whatever happens. */
#include "aintweb.h"

#include <allegro/internal/aintern.h>

#include <emscripten.h>
#include <math.h>

#define FRAME_WAIT_MOST_MS 100

// clang-format off
EM_ASYNC_JS(void, web_next_animation_frame, (int most_ms), {
    await new Promise((resolve) => {
        requestAnimationFrame(resolve);
        setTimeout(resolve, most_ms);
    });
});
// clang-format on

static int web_timer_init(void) { return 0; }

static void web_timer_exit(void) {}

/* Waits ms milliseconds; with a callback, calls it about once a millisecond meanwhile.
 * A rest of any length ends in emscripten_sleep, even when the frame wait took all of it:
 * Emscripten sees a program that returns from main after a rewind end only when the
 * wake-up that resumed it was a sleep's (the frame wait's is not), and otherwise never
 * reports the exit to the page (measured: after ESC the page still said "running" in 4
 * runs of 5). */
static void web_rest(unsigned int ms, void (*callback)(void)) {
    const double start = emscripten_get_now();
    const double end = start + ms;
    double now = start;
    if (ms > 0) {
        web_next_animation_frame(FRAME_WAIT_MOST_MS);
        do {
            if (callback) {
                callback();
            }
            now = emscripten_get_now();
            emscripten_sleep(callback ? 1 : (unsigned int)ceil(fmax(end - now, 0)));
            now = emscripten_get_now();
        } while (now < end);
    }
    _handle_timer_tick(MSEC_TO_TIMER(now - start));
}

TIMER_DRIVER timer_web = {
    TIMER_WEB,      empty_string,   empty_string, "Web timer",
    web_timer_init, web_timer_exit, NULL, /* install_int: Allegro's own queue, run by web_rest */
    NULL,                                 /* remove_int */
    NULL,                                 /* install_param_int */
    NULL,                                 /* remove_param_int */
    NULL,                                 /* can_simulate_retrace */
    NULL,                                 /* simulate_retrace */
    web_rest,
};
