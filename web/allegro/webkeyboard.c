/* The web keyboard: the window's key events, identified by KeyboardEvent.code (the key's
 * place on the keyboard, whatever the layout prints on it), as Allegro's scancodes.
 * Keys it knows are the program's: their default actions (scrolling, leaving the page
 * with Tab or Backspace, F-key shortcuts) are prevented. The browser's own key repeat
 * only presses a held key again. Losing the focus releases every key, since the keyup
 * events then go elsewhere. */
#include "aintweb.h"

#include <allegro/internal/aintern.h>

#include <emscripten/html5.h>
#include <string.h>

/* Runs of keys whose codes end in consecutive letters or digits: "KeyA" to "KeyZ". */
static const struct {
    const char* prefix;
    char first;
    int count;
    int scancode;
} key_runs[] = {
    {"Key", 'A', 26, KEY_A},
    {"Digit", '0', 10, KEY_0},
    {"Numpad", '0', 10, KEY_0_PAD},
};

/* The other keys; ascii is the character the key types when KeyboardEvent.key is a
 * name ("Escape") rather than the character itself. */
static const struct {
    const char* code;
    int scancode;
    int ascii;
} named_keys[] = {
    {"Escape", KEY_ESC, 27},
    {"F1", KEY_F1, 0},
    {"F2", KEY_F2, 0},
    {"F3", KEY_F3, 0},
    {"F4", KEY_F4, 0},
    {"F5", KEY_F5, 0},
    {"F6", KEY_F6, 0},
    {"F7", KEY_F7, 0},
    {"F8", KEY_F8, 0},
    {"F9", KEY_F9, 0},
    {"F10", KEY_F10, 0},
    {"F11", KEY_F11, 0},
    {"F12", KEY_F12, 0},
    {"Backquote", KEY_TILDE, 0},
    {"Minus", KEY_MINUS, 0},
    {"Equal", KEY_EQUALS, 0},
    {"Backspace", KEY_BACKSPACE, 8},
    {"Tab", KEY_TAB, 9},
    {"BracketLeft", KEY_OPENBRACE, 0},
    {"BracketRight", KEY_CLOSEBRACE, 0},
    {"Enter", KEY_ENTER, 13},
    {"Semicolon", KEY_COLON, 0},
    {"Quote", KEY_QUOTE, 0},
    {"Backslash", KEY_BACKSLASH, 0},
    {"IntlBackslash", KEY_BACKSLASH2, 0},
    {"Comma", KEY_COMMA, 0},
    {"Period", KEY_STOP, 0},
    {"Slash", KEY_SLASH, 0},
    {"Space", KEY_SPACE, 0},
    {"Insert", KEY_INSERT, 0},
    {"Delete", KEY_DEL, 127},
    {"Home", KEY_HOME, 0},
    {"End", KEY_END, 0},
    {"PageUp", KEY_PGUP, 0},
    {"PageDown", KEY_PGDN, 0},
    {"ArrowLeft", KEY_LEFT, 0},
    {"ArrowRight", KEY_RIGHT, 0},
    {"ArrowUp", KEY_UP, 0},
    {"ArrowDown", KEY_DOWN, 0},
    {"NumpadDivide", KEY_SLASH_PAD, 0},
    {"NumpadMultiply", KEY_ASTERISK, 0},
    {"NumpadSubtract", KEY_MINUS_PAD, 0},
    {"NumpadAdd", KEY_PLUS_PAD, 0},
    {"NumpadDecimal", KEY_DEL_PAD, 0},
    {"NumpadEnter", KEY_ENTER_PAD, 13},
    {"PrintScreen", KEY_PRTSCR, 0},
    {"Pause", KEY_PAUSE, 0},
    {"ShiftLeft", KEY_LSHIFT, 0},
    {"ShiftRight", KEY_RSHIFT, 0},
    {"ControlLeft", KEY_LCONTROL, 0},
    {"ControlRight", KEY_RCONTROL, 0},
    {"AltLeft", KEY_ALT, 0},
    {"AltRight", KEY_ALTGR, 0},
    {"MetaLeft", KEY_LWIN, 0},
    {"MetaRight", KEY_RWIN, 0},
    {"ContextMenu", KEY_MENU, 0},
    {"ScrollLock", KEY_SCRLOCK, 0},
    {"NumLock", KEY_NUMLOCK, 0},
    {"CapsLock", KEY_CAPSLOCK, 0},
};

/* Keys pressed and not yet released, by scancode. */
static char held[KEY_MAX];

/* Allegro's scancode for a KeyboardEvent.code, or 0 for a key it does not know. */
static int scancode_of(const char* code) {
    for (int i = 0; i < COUNT(key_runs); i++) {
        const size_t length = strlen(key_runs[i].prefix);
        if (strncmp(code, key_runs[i].prefix, length) == 0 && code[length] != '\0' &&
            code[length + 1] == '\0') {
            const int offset = code[length] - key_runs[i].first;
            if (offset >= 0 && offset < key_runs[i].count) {
                return key_runs[i].scancode + offset;
            }
        }
    }
    for (int i = 0; i < COUNT(named_keys); i++) {
        if (strcmp(code, named_keys[i].code) == 0) {
            return named_keys[i].scancode;
        }
    }
    return 0;
}

/* The code point of a KeyboardEvent.key that is one character in UTF-8, else -1. */
static int single_character(const char* key) {
    const unsigned char* bytes = (const unsigned char*)key;
    const size_t length = bytes[0] < 0x80 ? 1 : bytes[0] < 0xE0 ? 2 : bytes[0] < 0xF0 ? 3 : 4;
    if (bytes[0] == 0 || strlen(key) != length) {
        return -1;
    }
    int character = length == 1 ? bytes[0] : bytes[0] & (0x7F >> length);
    for (size_t i = 1; i < length; i++) {
        character = (character << 6) | (bytes[i] & 0x3F);
    }
    return character;
}

/* What the key puts in Allegro's key buffer: the character it types, 0 for a key that
 * types none (the buffer then holds its scancode alone), -1 for a modifier. */
static int keycode_of(const EmscriptenKeyboardEvent* event, int scancode) {
    if (scancode >= KEY_MODIFIERS) {
        return -1;
    }
    const int character = single_character(event->key);
    if (character >= 0) {
        return character;
    }
    for (int i = 0; i < COUNT(named_keys); i++) {
        if (named_keys[i].scancode == scancode) {
            return named_keys[i].ascii;
        }
    }
    return 0;
}

static int shifts_of(const EmscriptenKeyboardEvent* event) {
    return (event->shiftKey ? KB_SHIFT_FLAG : 0) | (event->ctrlKey ? KB_CTRL_FLAG : 0) |
           (event->altKey ? KB_ALT_FLAG : 0) | (event->metaKey ? KB_COMMAND_FLAG : 0);
}

/* Key down and key up alike; a key the game knows has its default action prevented. */
static EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* event, void* data) {
    (void)data;
    const int scancode = scancode_of(event->code);
    if (scancode == 0) {
        return EM_FALSE;
    }
    _key_shifts = shifts_of(event);
    held[scancode] = type == EMSCRIPTEN_EVENT_KEYDOWN;
    if (held[scancode]) {
        _handle_key_press(keycode_of(event, scancode), scancode);
    } else {
        _handle_key_release(scancode);
    }
    return EM_TRUE;
}

static EM_BOOL on_blur(int type, const EmscriptenFocusEvent* event, void* data) {
    (void)type;
    (void)event;
    (void)data;
    _key_shifts = 0;
    for (int scancode = 1; scancode < KEY_MAX; scancode++) {
        if (held[scancode]) {
            held[scancode] = FALSE;
            _handle_key_release(scancode);
        }
    }
    return EM_FALSE;
}

/* Registers the handlers, or with listen false removes them. */
static int listen_to_keys(int listen) {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    const EMSCRIPTEN_RESULT results[] = {
        emscripten_set_keydown_callback(window, NULL, EM_TRUE, listen ? on_key : NULL),
        emscripten_set_keyup_callback(window, NULL, EM_TRUE, listen ? on_key : NULL),
        emscripten_set_blur_callback(window, NULL, EM_TRUE, listen ? on_blur : NULL),
    };
    return web_handlers_set(results, COUNT(results));
}

static int web_keyboard_init(void) {
    memset(held, 0, sizeof held);
    return listen_to_keys(TRUE);
}

static void web_keyboard_exit(void) { listen_to_keys(FALSE); }

KEYBOARD_DRIVER keyboard_web = {
    KEYBOARD_WEB,
    empty_string,
    empty_string,
    "Web keyboard",
    FALSE, /* autorepeat: the browser repeats keys itself */
    web_keyboard_init,
    web_keyboard_exit,
    NULL, /* poll */
    NULL, /* set_leds */
    NULL, /* set_rate */
    NULL, /* wait_for_input */
    NULL, /* stop_waiting_for_input */
    NULL, /* scancode_to_ascii */
    NULL, /* scancode_to_name */
};
