/* Preloaded into the real program by display tests that must act at a known frame, or
 * see what the program asks of its libraries.
 *
 * It wraps allegro_gl_flip: after every buffer flip it writes the number of flips so far
 * to $FRAME_GATE_DIR/frames, and after each flip listed in $FRAME_GATE_HOLD (numbers
 * separated by blanks) it holds the program, writing that number to $FRAME_GATE_DIR/held,
 * until the test writes the same number to $FRAME_GATE_DIR/go. While it holds, Allegro's
 * input thread keeps running, and the gate reports the polled state of SPACE and ESC in
 * $FRAME_GATE_DIR/keys as "space=0|1 esc=0|1", so the test knows what the program's next
 * key test will see. The frame loop thus waits for the test, never the other way round.
 *
 * After the flip numbered $FRAME_GATE_THROW it throws std::bad_alloc, as an exhausted heap
 * would. With $FRAME_GATE_NO_DEPTH set, the display reports no depth bits.
 *
 * Each call the program itself makes to the functions below (not the libraries' own calls)
 * is appended to $FRAME_GATE_DIR/calls as one line: the name and the arguments in decimal.
 * Bitmaps appear by address: create_bitmap's line ends with the bitmap it returned.
 *
 * It also wraps set_close_button_callback: whenever the window is closed, once the program's
 * own handler has run, it writes the number of closes so far to $FRAME_GATE_DIR/closed, so the
 * test knows that the program's next look at its close flag sees the close.
 */
#include <alleggl.h>
#include <allegro.h>

#include <dlfcn.h>
#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <sys/auxv.h>
#include <unistd.h>

namespace {

int flips;

const char* GateDir() { return getenv("FRAME_GATE_DIR"); }

// Replaces DIR/NAME as a whole, so a reader never sees half a line.
void WriteFile(const char* dir, const char* name, const char* text) {
    char path[4096], temp[4096];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    snprintf(temp, sizeof temp, "%s/.%s.tmp", dir, name);
    FILE* f = fopen(temp, "w");
    if (f == nullptr) return;
    fprintf(f, "%s\n", text);
    fclose(f);
    rename(temp, path);
}

bool FileHolds(const char* dir, const char* name, int number) {
    char path[4096];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    FILE* f = fopen(path, "r");
    if (f == nullptr) return false;
    int value = -1;
    const int read = fscanf(f, "%d", &value);
    fclose(f);
    return read == 1 && value == number;
}

// True when the blank-separated list in environment variable NAME holds FRAME.
bool Lists(const char* name, int frame) {
    const char* list = getenv(name);
    if (list == nullptr) return false;
    char* end;
    for (const char* p = list; *p != '\0'; p = end) {
        const long n = strtol(p, &end, 10);
        if (end == p) break;
        if (n == frame) return true;
    }
    return false;
}

void Hold(const char* dir, int frame) {
    char text[32];
    snprintf(text, sizeof text, "%d", frame);
    WriteFile(dir, "held", text);
    while (!FileHolds(dir, "go", frame)) {
        snprintf(text, sizeof text, "space=%d esc=%d", key[KEY_SPACE] != 0, key[KEY_ESC] != 0);
        WriteFile(dir, "keys", text);
        usleep(10000);
    }
}

// True when the call returns into the program itself, not into a library: Allegro and
// AllegroGL call some of these functions themselves, also from Allegro's exit handler.
bool FromProgram(void* returnAddress) {
    static void* const program = [] {
        Dl_info info{};  // the program headers lie in the program's first mapping
        dladdr(reinterpret_cast<void*>(getauxval(AT_PHDR)), &info);
        return info.dli_fbase;
    }();
    Dl_info info{};
    return dladdr(returnAddress, &info) != 0 && info.dli_fbase == program;
}

void LogCall(void* returnAddress, const char* name, int argc, const long* args) {
    const char* dir = GateDir();
    if (dir == nullptr || !FromProgram(returnAddress)) return;
    char path[4096];
    snprintf(path, sizeof path, "%s/calls", dir);
    FILE* f = fopen(path, "a");
    if (f == nullptr) return;
    fputs(name, f);
    for (int i = 0; i < argc; ++i) fprintf(f, " %ld", args[i]);
    fputc('\n', f);
    fclose(f);
}

template <typename... Args>
void Log(void* returnAddress, const char* name, Args... args) {
    const long values[] = {0, static_cast<long>(args)...};
    LogCall(returnAddress, name, static_cast<int>(sizeof...(args)), values + 1);
}

// The library's own function of that name.
template <typename F>
F* Next(F*, const char* name) {
    return reinterpret_cast<F*>(dlsym(RTLD_NEXT, name));
}

void (*programCloseHandler)();
int closes;

// Runs where Allegro runs the handler, on its input thread.
void CloseHandler() {
    programCloseHandler();
    ++closes;
    const char* dir = GateDir();
    if (dir == nullptr) return;
    char text[32];
    snprintf(text, sizeof text, "%d", closes);
    WriteFile(dir, "closed", text);
}

}  // namespace

#define REAL(name) static auto* const real = Next(name, #name)

extern "C" {

void allegro_gl_flip(void) {
    REAL(allegro_gl_flip);
    real();
    ++flips;
    const char* dir = GateDir();
    if (dir != nullptr) {
        char text[32];
        snprintf(text, sizeof text, "%d", flips);
        WriteFile(dir, "frames", text);
        if (Lists("FRAME_GATE_HOLD", flips)) Hold(dir, flips);
    }
    if (Lists("FRAME_GATE_THROW", flips)) throw std::bad_alloc();
}

void glGetIntegerv(GLenum pname, GLint* params) {
    REAL(glGetIntegerv);
    real(pname, params);
    if (pname == GL_DEPTH_BITS && getenv("FRAME_GATE_NO_DEPTH") != nullptr) *params = 0;
}

int set_gfx_mode(int card, int w, int h, int v_w, int v_h) {
    REAL(set_gfx_mode);
    Log(__builtin_return_address(0), "set_gfx_mode", card, w, h, v_w, v_h);
    return real(card, w, h, v_w, v_h);
}

void allegro_gl_set(int option, int value) {
    REAL(allegro_gl_set);
    Log(__builtin_return_address(0), "allegro_gl_set", option, value);
    real(option, value);
}

int install_keyboard(void) {
    REAL(install_keyboard);
    Log(__builtin_return_address(0), "install_keyboard");
    return real();
}

int install_mouse(void) {
    REAL(install_mouse);
    Log(__builtin_return_address(0), "install_mouse");
    return real();
}

int install_timer(void) {
    REAL(install_timer);
    Log(__builtin_return_address(0), "install_timer");
    return real();
}

int install_sound(int digi, int midi, const char* cfg_path) {
    REAL(install_sound);
    Log(__builtin_return_address(0), "install_sound", digi, midi);
    return real(digi, midi, cfg_path);
}

int play_sample(const SAMPLE* spl, int vol, int pan, int freq, int loop) {
    REAL(play_sample);
    Log(__builtin_return_address(0), "play_sample", vol, pan, freq, loop);
    return real(spl, vol, pan, freq, loop);
}

BITMAP* create_bitmap(int width, int height) {
    REAL(create_bitmap);
    BITMAP* const bitmap = real(width, height);
    Log(__builtin_return_address(0), "create_bitmap", width, height,
        reinterpret_cast<long>(bitmap));
    return bitmap;
}

void destroy_bitmap(BITMAP* bitmap) {
    REAL(destroy_bitmap);
    Log(__builtin_return_address(0), "destroy_bitmap", reinterpret_cast<long>(bitmap));
    real(bitmap);
}

int set_close_button_callback(void (*proc)(void)) {
    REAL(set_close_button_callback);
    programCloseHandler = proc;
    return real(proc != nullptr ? CloseHandler : nullptr);
}

}  // extern "C"
