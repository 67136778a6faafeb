/* The web system driver. The page stands in for the desktop; the program runs on the
 * browser's only thread and hands control back to the browser inside rest(), which is
 * also when input events arrive. */
#include "aintweb.h"

#include <allegro/internal/aintern.h>
#include <allegro/platform/aintunix.h>

#include <emscripten.h>
#include <stdio.h>
#include <string.h>

/* The page learns of a message through Module.startugReport(text), if it defines one. */
// clang-format off
EM_JS(void, web_report, (const char* text), {
    if (typeof Module["startugReport"] === "function") {
        Module["startugReport"](UTF8ToString(text));
    }
});
// clang-format on

// clang-format off
EM_JS(void, web_set_document_title, (const char* title), {
    document.title = UTF8ToString(title);
});
// clang-format on

static int web_sys_init(void) {
    os_type = OSTYPE_UNIX;
    os_multitasking = TRUE;
    return 0;
}

/* Nothing to give back: the page outlives the program. */
static void web_sys_exit(void) {}

static void web_set_window_title(const char* name) {
    char title[256];
    web_set_document_title(uconvert(name, U_CURRENT, title, U_UTF8, sizeof title));
}

/* Accepted so that the program's start-up succeeds; a page has no close button. */
static int web_set_close_button_callback(void (*proc)(void)) {
    (void)proc;
    return 0;
}

static void web_message(const char* msg) {
    char buffer[ALLEGRO_MESSAGE_SIZE];
    const char* text = uconvert(msg, U_CURRENT, buffer, U_UTF8, sizeof buffer);
    const size_t length = strlen(text);
    /* Emscripten's stderr shows a line only once its newline arrives. */
    fprintf(stderr, "%s%s", text, length > 0 && text[length - 1] == '\n' ? "" : "\n");
    web_report(text);
}

static int web_desktop_color_depth(void) { return 32; }

/* The screen's size in CSS pixels. */
static int web_get_desktop_resolution(int* width, int* height) {
    emscripten_get_screen_size(width, height);
    return 0;
}

/* rest(0): one turn of the browser's event loop. */
static void web_yield_timeslice(void) { emscripten_sleep(0); }

/* One thread and no interrupts: a mutex has nothing to exclude. Allegro's timer module
 * still asks for one and treats a null handle as a failure. */
static int web_mutex;

static void* web_create_mutex(void) { return &web_mutex; }

static void web_mutex_noop(void* handle) { (void)handle; }

static _DRIVER_INFO* web_keyboard_drivers(void) { return _web_keyboard_driver_list; }

static _DRIVER_INFO* web_mouse_drivers(void) { return _web_mouse_driver_list; }

static _DRIVER_INFO* web_timer_drivers(void) { return _web_timer_driver_list; }

SYSTEM_DRIVER system_web = {
    SYSTEM_WEB,
    empty_string,
    empty_string,
    "Web",
    web_sys_init,
    web_sys_exit,
    _unix_get_executable_name,
    _unix_find_resource,
    web_set_window_title,
    web_set_close_button_callback,
    web_message,
    NULL, /* assert */
    NULL, /* save_console_state */
    NULL, /* restore_console_state */
    NULL, /* create_bitmap */
    NULL, /* created_bitmap */
    NULL, /* create_sub_bitmap */
    NULL, /* created_sub_bitmap */
    NULL, /* destroy_bitmap */
    NULL, /* read_hardware_palette */
    NULL, /* set_palette_range */
    NULL, /* get_vtable */
    NULL, /* set_display_switch_mode */
    NULL, /* display_switch_lock */
    web_desktop_color_depth,
    web_get_desktop_resolution,
    NULL, /* get_gfx_safe_mode */
    web_yield_timeslice,
    web_create_mutex,
    web_mutex_noop, /* destroy_mutex */
    web_mutex_noop, /* lock_mutex */
    web_mutex_noop, /* unlock_mutex */
    NULL,           /* gfx_drivers: AllegroGL installs its own */
    NULL,           /* digi_drivers */
    NULL,           /* midi_drivers */
    web_keyboard_drivers,
    web_mouse_drivers,
    NULL, /* joystick_drivers */
    web_timer_drivers,
};
