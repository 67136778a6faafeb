/* Preloaded into the real program by display tests that must act at a known frame.
 *
 * It wraps allegro_gl_flip: after every buffer flip it writes the number of flips so far
 * to $FRAME_GATE_DIR/frames, and after each flip listed in $FRAME_GATE_HOLD (numbers
 * separated by blanks) it holds the program, writing that number to $FRAME_GATE_DIR/held,
 * until the test writes the same number to $FRAME_GATE_DIR/go. While it holds, Allegro's
 * input thread keeps running, and the gate reports the polled state of SPACE and ESC in
 * $FRAME_GATE_DIR/keys as "space=0|1 esc=0|1", so the test knows what the program's next
 * key test will see. The frame loop thus waits for the test, never the other way round.
 *
 * It also wraps set_close_button_callback: whenever the window is closed, once the program's
 * own handler has run, it writes the number of closes so far to $FRAME_GATE_DIR/closed, so the
 * test knows that the program's next look at its close flag sees the close.
 */
#define _GNU_SOURCE
#include <allegro.h>

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int flips;

/* Replaces DIR/NAME as a whole, so a reader never sees half a line. */
static void WriteFile(const char* dir, const char* name, const char* text) {
    char path[4096], temp[4096];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    snprintf(temp, sizeof temp, "%s/.%s.tmp", dir, name);
    FILE* f = fopen(temp, "w");
    if (f == NULL) return;
    fprintf(f, "%s\n", text);
    fclose(f);
    rename(temp, path);
}

static int FileHolds(const char* dir, const char* name, int number) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    FILE* f = fopen(path, "r");
    if (f == NULL) return 0;
    int value = -1;
    const int read = fscanf(f, "%d", &value);
    fclose(f);
    return read == 1 && value == number;
}

static int HoldsAt(int frame) {
    const char* list = getenv("FRAME_GATE_HOLD");
    if (list == NULL) return 0;
    char* end;
    for (const char* p = list; *p != '\0'; p = end) {
        const long n = strtol(p, &end, 10);
        if (end == p) break;
        if (n == frame) return 1;
    }
    return 0;
}

static void Hold(const char* dir, int frame) {
    char text[32];
    snprintf(text, sizeof text, "%d", frame);
    WriteFile(dir, "held", text);
    while (!FileHolds(dir, "go", frame)) {
        snprintf(text, sizeof text, "space=%d esc=%d", key[KEY_SPACE] != 0, key[KEY_ESC] != 0);
        WriteFile(dir, "keys", text);
        usleep(10000);
    }
}

void allegro_gl_flip(void) {
    static void (*real_flip)(void);
    if (real_flip == NULL) {
        *(void**)&real_flip = dlsym(RTLD_NEXT, "allegro_gl_flip");
    }
    real_flip();
    ++flips;
    const char* dir = getenv("FRAME_GATE_DIR");
    if (dir == NULL) return;
    char text[32];
    snprintf(text, sizeof text, "%d", flips);
    WriteFile(dir, "frames", text);
    if (HoldsAt(flips)) Hold(dir, flips);
}

static void (*program_close_handler)(void);
static int closes;

/* Runs where Allegro runs the handler, on its input thread. */
static void CloseHandler(void) {
    program_close_handler();
    ++closes;
    const char* dir = getenv("FRAME_GATE_DIR");
    if (dir == NULL) return;
    char text[32];
    snprintf(text, sizeof text, "%d", closes);
    WriteFile(dir, "closed", text);
}

int set_close_button_callback(void (*proc)(void)) {
    static int (*real_set)(void (*)(void));
    if (real_set == NULL) {
        *(void**)&real_set = dlsym(RTLD_NEXT, "set_close_button_callback");
    }
    program_close_handler = proc;
    return real_set(proc != NULL ? CloseHandler : NULL);
}
