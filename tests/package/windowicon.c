/* Reads back the icon a window hands the window manager (the pixmap and mask of its
 * WM_HINTS) and compares it with the picture it should be:
 *
 *   windowicon WINDOW EXPECTED.rgba
 *
 * EXPECTED.rgba holds raw 8-bit RGBA pixels of the icon's size (ImageMagick:
 * convert icon.png -depth 8 rgba:EXPECTED.rgba). Every fully opaque pixel must show its
 * colour, within one step of the screen's colour depth, and be in the mask; every fully
 * transparent one must be out of the mask; partly transparent edge pixels are not judged.
 * Exits 0 when the icon matches, 1 with the reason otherwise.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

/* One colour channel of a TrueColor pixel. */
typedef struct {
    unsigned long mask;
    int shift;
    unsigned long max; /* the channel's largest value */
} Channel;

static Channel ChannelOf(unsigned long mask) {
    Channel c = {mask, 0, 0};
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++c.shift;
    }
    c.max = mask;
    return c;
}

static int Value(Channel c, unsigned long pixel) {
    return (int)((((pixel & c.mask) >> c.shift) * 255 + c.max / 2) / c.max);
}

/* Within one step of the channel's resolution. */
static int Close(Channel c, int actual, int expected) {
    const int step = (int)((255 + c.max - 1) / c.max);
    return abs(actual - expected) <= step;
}

static int Fail(const char* message) {
    fprintf(stderr, "windowicon: %s\n", message);
    return 1;
}

static unsigned char* ReadExpected(const char* path, long size) {
    FILE* file = fopen(path, "rb");
    if (file == NULL) return NULL;
    unsigned char* pixels = malloc((size_t)size + 1);
    const size_t got = pixels ? fread(pixels, 1, (size_t)size + 1, file) : 0;
    fclose(file);
    if (got != (size_t)size) {
        free(pixels);
        return NULL;
    }
    return pixels;
}

/* Counts the pixels that break the rules above; prints the first of them. */
static long Mismatches(XImage* icon, XImage* mask, const unsigned char* expected,
                       const Visual* visual) {
    const Channel red = ChannelOf(visual->red_mask);
    const Channel green = ChannelOf(visual->green_mask);
    const Channel blue = ChannelOf(visual->blue_mask);
    long bad = 0;
    for (int y = 0; y < icon->height; ++y) {
        for (int x = 0; x < icon->width; ++x) {
            const unsigned char* e = expected + 4 * ((long)y * icon->width + x);
            const unsigned long pixel = XGetPixel(icon, x, y);
            const int r = Value(red, pixel), g = Value(green, pixel), b = Value(blue, pixel);
            const int shown = mask == NULL || XGetPixel(mask, x, y) != 0;
            int ok = 1;
            if (e[3] == 255) {
                ok = shown && Close(red, r, e[0]) && Close(green, g, e[1]) && Close(blue, b, e[2]);
            } else if (e[3] == 0) {
                ok = !shown;
            }
            if (!ok && bad++ == 0) {
                fprintf(stderr,
                        "windowicon: at %d,%d the icon shows %d %d %d%s, not %d %d %d alpha %d\n",
                        x, y, r, g, b, shown ? "" : " masked out", e[0], e[1], e[2], e[3]);
            }
        }
    }
    return bad;
}

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: windowicon WINDOW EXPECTED.rgba");
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) return Fail("no X display");
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    XWMHints* hints = XGetWMHints(display, window);
    if (hints == NULL || !(hints->flags & IconPixmapHint)) return Fail("the window has no icon");

    Window root;
    int x, y;
    unsigned width, height, border, depth;
    XGetGeometry(display, hints->icon_pixmap, &root, &x, &y, &width, &height, &border, &depth);
    const int screen = DefaultScreen(display);
    if ((int)depth != DefaultDepth(display, screen))
        return Fail("the icon is not of the screen's depth");
    unsigned char* expected = ReadExpected(argv[2], 4L * width * height);
    if (expected == NULL) {
        fprintf(stderr, "windowicon: the icon is %ux%u, not the size of %s\n", width, height,
                argv[2]);
        return 1;
    }
    XImage* icon = XGetImage(display, hints->icon_pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    XImage* mask = (hints->flags & IconMaskHint) && hints->icon_mask != None
                       ? XGetImage(display, hints->icon_mask, 0, 0, width, height, 1, XYPixmap)
                       : NULL;
    const long bad = Mismatches(icon, mask, expected, DefaultVisual(display, screen));
    if (bad != 0) {
        fprintf(stderr, "windowicon: %ld of the %ux%u icon's pixels differ\n", bad, width, height);
        return 1;
    }
    printf("the window's %ux%u icon is the expected picture\n", width, height);
    return 0;
}
