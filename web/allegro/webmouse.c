/* The web mouse: the pointer over the page's canvas, in the canvas's drawing-buffer
 * pixels (the screen bitmap's), however the page scales the canvas. Buttons are pressed
 * on the canvas and released anywhere on the page, so a button let go outside the
 * canvas does not stay down. The page keeps the context menu off the canvas. */
#include "aintweb.h"

#include <allegro/internal/aintern.h>

#include <emscripten/html5.h>
#include <math.h>

/* MouseEvent.button (0 left, 1 middle, 2 right) as a bit of Allegro's mouse_b. */
static const int button_bits[] = {1, 4, 2};

#define BUTTONS COUNT(button_bits)

static int range_left, range_top, range_right, range_bottom;

static int clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

/* Where an event over the canvas points in drawing-buffer pixels. The page may show the
 * canvas at another size than its drawing buffer: the buffer is scaled to fit the
 * element with its shape kept and centred in it, as when the canvas fills the screen
 * (object-fit: contain). The canvas must have no border or padding. */
static void point_at(const EmscriptenMouseEvent* event) {
    int width, height;
    double css_width, css_height;
    emscripten_get_canvas_element_size(WEB_CANVAS, &width, &height);
    emscripten_get_element_css_size(WEB_CANVAS, &css_width, &css_height);
    const double scale = fmin(css_width / width, css_height / height);
    const double x = (event->targetX - (css_width - width * scale) / 2) / scale;
    const double y = (event->targetY - (css_height - height * scale) / 2) / scale;
    _mouse_x = clamp((int)floor(x), range_left, range_right);
    _mouse_y = clamp((int)floor(y), range_top, range_bottom);
}

static EM_BOOL on_move(int type, const EmscriptenMouseEvent* event, void* data) {
    (void)type;
    (void)data;
    point_at(event);
    _handle_mouse_input();
    return EM_FALSE;
}

static EM_BOOL on_button(int type, const EmscriptenMouseEvent* event, void* data) {
    (void)data;
    if (event->button >= BUTTONS) {
        return EM_FALSE;
    }
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN) {
        point_at(event);
        _mouse_b |= button_bits[event->button];
    } else {
        _mouse_b &= ~button_bits[event->button];
    }
    _handle_mouse_input();
    return EM_TRUE;
}

/* Registers the handlers, or with listen false removes them. */
static int listen_to_mouse(int listen) {
    const EMSCRIPTEN_RESULT results[] = {
        emscripten_set_mousemove_callback(WEB_CANVAS, NULL, EM_TRUE, listen ? on_move : NULL),
        emscripten_set_mousedown_callback(WEB_CANVAS, NULL, EM_TRUE, listen ? on_button : NULL),
        emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, NULL, EM_TRUE,
                                        listen ? on_button : NULL),
    };
    return web_handlers_set(results, COUNT(results));
}

/* Returns the number of buttons, or -1 without a canvas to listen on. */
static int web_mouse_init(void) {
    _mouse_b = 0;
    return listen_to_mouse(TRUE) == 0 ? BUTTONS : -1;
}

static void web_mouse_exit(void) { listen_to_mouse(FALSE); }

static void web_mouse_position(int x, int y) {
    _mouse_x = clamp(x, range_left, range_right);
    _mouse_y = clamp(y, range_top, range_bottom);
}

static void web_mouse_set_range(int left, int top, int right, int bottom) {
    range_left = left;
    range_top = top;
    range_right = right;
    range_bottom = bottom;
    web_mouse_position(_mouse_x, _mouse_y);
}

MOUSE_DRIVER mouse_web = {
    MOUSE_WEB,
    empty_string,
    empty_string,
    "Web mouse",
    web_mouse_init,
    web_mouse_exit,
    NULL, /* poll */
    NULL, /* timer_poll */
    web_mouse_position,
    web_mouse_set_range,
    NULL, /* set_speed */
    NULL, /* get_mickeys */
    NULL, /* analyse_data */
    NULL, /* enable_hardware_cursor */
    NULL, /* select_system_cursor */
};
