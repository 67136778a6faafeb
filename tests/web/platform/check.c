/* Checks the web platform in a browser: starts Allegro as the game does, reports what it
 * got, then clears the canvas to a colour chosen by key[] and mouse_b and prints the input
 * state whenever it changes, until ESC. drive.py reads the console and the screen. */
#include <alleggl.h>

#include <stdio.h>
#include <string.h>

static void on_close(void) {}

/* A TGA and a PCX font from the embedded files, and text drawn with it in memory. */
static void check_loaders(void) {
    set_color_conversion(COLORCONV_NONE);
    BITMAP* image = load_bitmap("image.tga", NULL);
    FONT* font = load_font("font.pcx", NULL, NULL);
    BITMAP* text = create_bitmap(32, 16);
    clear_to_color(text, makecol(0, 0, 0));
    textout_ex(text, font, "!\"!", 0, 0, makecol(255, 255, 255), -1);
    int ink = 0;
    for (int y = 0; y < text->h; y++) {
        for (int x = 0; x < text->w; x++) {
            ink += getpixel(text, x, y) != makecol(0, 0, 0);
        }
    }
    const int pixel = getpixel(image, 0, 0);
    printf("loaders: image %dx%dx%d pixel %d,%d,%d,%d font height %d ink %d\n", image->w, image->h,
           bitmap_color_depth(image), getr32(pixel), getg32(pixel), getb32(pixel), geta32(pixel),
           text_height(font), ink);
}

static void print_changed_state(void) {
    static char last[160];
    char now[160];
    snprintf(now, sizeof now,
             "state: esc %d space %d pause %d f12 %d up %d a %d 1 %d mouse %d %d %d",
             key[KEY_ESC] != 0, key[KEY_SPACE] != 0, key[KEY_PAUSE] != 0, key[KEY_F12] != 0,
             key[KEY_UP] != 0, key[KEY_A] != 0, key[KEY_1] != 0, mouse_x, mouse_y, mouse_b);
    if (strcmp(now, last) != 0) {
        strcpy(last, now);
        puts(now);
    }
}

int main(void) {
    if (allegro_init() != 0) {
        return 1;
    }
    install_allegro_gl();
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 16);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_Z_DEPTH, 16);
    allegro_gl_set(AGL_WINDOWED, TRUE);
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_DOUBLEBUFFER | AGL_Z_DEPTH | AGL_WINDOWED);
    set_color_depth(16);
    set_window_title("Web check");
    if (set_gfx_mode(GFX_OPENGL, 1024, 768, 0, 0) < 0) {
        allegro_message("Unable to set gfx mode\nAllegro error: %s\n", allegro_error);
        return 1;
    }
    GLint depth_bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
    printf("mode: depth bits %d colour depth %d screen %dx%d\n", depth_bits,
           bitmap_color_depth(screen), SCREEN_W, SCREEN_H);
    printf("close button: %d\n", set_close_button_callback(on_close));
    printf("install: keyboard %d mouse %d timer %d\n", install_keyboard(), install_mouse(),
           install_timer());
    check_loaders();
    while (!key[KEY_ESC]) {
        const int space = key[KEY_SPACE] != 0, left = mouse_b & 1, right = mouse_b & 2;
        glClearColor(left ? 1 : 0.25f, space ? 1 : 0.25f, right ? 1 : 0.25f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        print_changed_state();
        allegro_gl_flip();
        rest(20);
    }
    puts("loop ended");
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    allegro_message("done");
    return 0;
}
