/* AllegroGL's platform part for the web: GFX_OPENGL makes a WebGL 2 context on the
 * page's canvas, sized to the mode, and OpenGL 1.x runs on it through web/gl's layer.
 * The display has 8 bits of red, green and blue and no alpha (the page never shows
 * through), a 24-bit depth buffer and no stencil; Allegro's bitmaps are 32-bit in it. */
#include "aintweb.h"
#include "alleggl.h"
#include "allglint.h"
#include "glvtable.h"
#include "webgl1.h"

#include <allegro/internal/aintern.h>

#include <emscripten.h>
#include <emscripten/html5.h>
#include <string.h>

static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;

/* The game draws its own pointer, as on the desktop where AllegroGL hides the system's
 * over its window. */
// clang-format off
EM_JS(void, web_hide_cursor, (const char* canvas, int hide), {
    document.querySelector(UTF8ToString(canvas)).style.cursor = hide ? "none" : "";
});
// clang-format on

static void fail(const char* why) {
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, get_config_text(why));
}

/* What allegro_gl_get reports of the display: the context attributes asked for below. The
 * program's requests that are no property of the display (the video memory policy) stay. */
static void describe_display(int width, int height) {
    static const union allegro_gl_pixel_size rgb = {.rgba = {8, 8, 8, 0}}, none = {.rgba = {0}};
    struct allegro_gl_display_info* info = &allegro_gl_display_info;
    info->w = width;
    info->h = height;
    info->pixel_size = rgb;
    info->accum_size = none;
    info->colour_depth = 32;
    info->r_shift = 0;
    info->g_shift = 8;
    info->b_shift = 16;
    info->a_shift = 24;
    info->allegro_format = TRUE;
    info->doublebuffered = TRUE;
    info->stereo = info->aux_buffers = 0;
    info->depth_size = 24;
    info->stencil_size = 0;
    info->sample_buffers = info->samples = 0;
    info->float_color = info->float_depth = 0;
    info->rmethod = 1; /* hardware, as far as the page can tell */
}

/* Makes the context current on a canvas of the mode's size and starts the GL layer on
 * it; 0, or -1 with allegro_error set. */
static int create_context(int width, int height) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    if (emscripten_set_canvas_element_size(WEB_CANVAS, width, height) !=
        EMSCRIPTEN_RESULT_SUCCESS) {
        fail("The page has no canvas " WEB_CANVAS);
        return -1;
    }
    context = emscripten_webgl_create_context(WEB_CANVAS, &attributes);
    if (context <= 0) {
        fail("This browser cannot draw with WebGL 2");
        return -1;
    }
    emscripten_webgl_make_context_current(context);
    if (webgl1_init() != 0) {
        fail(webgl1_error());
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(context);
        return -1;
    }
    return 0;
}

/* The screen bitmap: no pixels of its own; AllegroGL's vtable draws on it with GL. */
static BITMAP* create_screen(GFX_DRIVER* driver, int width, int height) {
    const int linear = driver->linear;
    driver->linear = TRUE;
    BITMAP* bitmap = _make_bitmap(width, height, 0, driver, 32, 0);
    driver->linear = linear;
    if (bitmap == NULL) {
        return NULL;
    }
    bitmap->id = BMP_ID_VIDEO | BMP_ID_MASK;
    driver->w = width;
    driver->h = height;
    __allegro_gl__glvtable_update_vtable(&bitmap->vtable);
    memcpy(&_screen_vtable, bitmap->vtable, sizeof(GFX_VTABLE));
    bitmap->vtable = &_screen_vtable;
    return bitmap;
}

static struct allegro_gl_driver web_gl_driver;

static void web_gl_exit(BITMAP* screen_bitmap);

static BITMAP* web_gl_init(int width, int height, int virtual_width, int virtual_height,
                           int depth) {
    (void)depth;
    if (width == 0 && height == 0) {
        width = 640;
        height = 480;
    }
    if (virtual_width > width || virtual_height > height) {
        fail("OpenGL drivers do not support virtual screens");
        return NULL;
    }
    if (create_context(width, height) != 0) {
        return NULL;
    }
    describe_display(width, height);
    set_color_depth(32);
    __allegro_gl_set_allegro_image_format(FALSE);
    __allegro_gl_valid_context = TRUE;
    __allegro_gl_driver = &web_gl_driver;
    __allegro_gl_manage_extensions();
    BITMAP* screen_bitmap = create_screen(&gfx_allegro_gl_windowed, width, height);
    if (screen_bitmap == NULL) {
        web_gl_exit(NULL);
        fail("Not enough memory");
        return NULL;
    }
    gfx_capabilities |= GFX_HW_CURSOR;
    web_hide_cursor(WEB_CANVAS, TRUE);
    return screen_bitmap;
}

/* Back to text mode: the context goes, the canvas keeps its last frame. */
static void web_gl_exit(BITMAP* screen_bitmap) {
    (void)screen_bitmap;
    __allegro_gl_unmanage_extensions();
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(context);
    context = 0;
    __allegro_gl_valid_context = FALSE;
    web_hide_cursor(WEB_CANVAS, FALSE);
}

/* Nothing to swap: the browser shows the canvas's drawing buffer when the program next
 * hands it control, in rest(), and clears it afterwards. The GL layer batches its
 * vertices, so the frame's last ones are sent now. */
static void web_gl_flip(void) { glFlush(); }

static void web_gl_on(void) {}

static void web_gl_off(void) {}

static struct allegro_gl_driver web_gl_driver = {web_gl_flip, web_gl_on, web_gl_off, NULL};

GFX_DRIVER gfx_allegro_gl_windowed = {
    GFX_OPENGL_WINDOWED,
    empty_string,
    empty_string,
    "AllegroGL (WebGL 2)",
    web_gl_init,
    web_gl_exit,
    NULL, /* scroll */
    NULL, /* vsync */
    NULL, /* set_palette */
    NULL, /* request_scroll */
    NULL, /* poll_scroll */
    NULL, /* enable_triple_buffer */
    allegro_gl_create_video_bitmap,
    allegro_gl_destroy_video_bitmap,
    NULL, /* show_video_bitmap */
    NULL, /* request_video_bitmap */
    NULL, /* create_system_bitmap */
    NULL, /* destroy_system_bitmap */
    allegro_gl_set_mouse_sprite,
    allegro_gl_show_mouse,
    allegro_gl_hide_mouse,
    allegro_gl_move_mouse,
    allegro_gl_drawing_mode,
    NULL, /* save_video_state */
    NULL, /* restore_video_state */
    allegro_gl_set_blender_mode,
    NULL, /* fetch_mode_list */
    0,    /* w */
    0,    /* h */
    0,    /* linear */
    0,    /* bank_size */
    0,    /* bank_gran */
    0,    /* vid_mem */
    0,    /* vid_phys_base */
    TRUE, /* windowed: inside the page */
};
