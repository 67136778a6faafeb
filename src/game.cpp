#include "game.h"

#include "gamemanager.h"
#include "leveldata.h"
#include "opengl.h"
#include "resources.h"
#include "ship.h"
#include "star.h"
#include "starfield.h"
#include "utils.h"

#include <alleggl.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

PlayerInfo playerInfo;
int GoalTime = 300;
unsigned char fullscreen = 0;
BITMAP* hudBmp = nullptr;
std::atomic<bool> closeRequested{false};

bool FullscreenRequested(int argc, char** argv) { return argc > 1 && argv[1][0] == 'f'; }

namespace {

void ReportFailure(const char* what) {
    allegro_message("Unexpected exception:%s\nAllegro error: %s\nAllegro GL error : %s\n", what,
                    allegro_error, allegro_gl_error);
}

// Text mode closes the OpenGL display; without an installed system driver there is
// nothing to close, and asking Allegro to would crash.
void CloseDisplay() {
    if (system_driver != nullptr) {
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    }
}

// Runs outside the main thread: it only raises the flag the frame loops read.
void OnCloseButton() { closeRequested = true; }

}  // namespace

int RunGame(int argc, char** argv, FrameHook beforeFrame) {
    fullscreen = FullscreenRequested(argc, argv) ? 1 : 0;
    int status = 0;
    try {
        InitAllegro();
        hudBmp = create_bitmap(512, 16);
        resourceManager.loadAll();
        GameLoop(beforeFrame);
    } catch (const std::runtime_error& e) {
        ReportFailure(e.what());
        status = 1;
    } catch (...) {
        allegro_message("Unknown exception thrown");
        status = 1;
    }
    CloseDisplay();
    return status;
}

void InitAllegro() {
    // Going on without Allegro (no reachable display) would crash a few calls later.
    if (allegro_init() != 0) {
        throw std::runtime_error("Unable to initialise Allegro");
    }
    install_allegro_gl();
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 16);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_Z_DEPTH, 16);
    if (fullscreen) {
        allegro_gl_set(AGL_FULLSCREEN, TRUE);
    } else {
        allegro_gl_set(AGL_WINDOWED, TRUE);
    }
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_DOUBLEBUFFER | AGL_Z_DEPTH | AGL_WINDOWED);
    set_color_depth(16);
    NameWindow();
    if (set_gfx_mode(GFX_OPENGL, 1024, 768, 0, 0) < 0) {
        throw std::runtime_error("Unable to set gfx mode");
    }
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    if (depthBits == 0) {
        throw std::runtime_error("No depth buffer");
    }
    // Once the display's window exists: on Windows the call enables that window's close button.
    set_close_button_callback(OnCloseButton);
    install_keyboard();
    install_mouse();
    install_timer();
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, "");

    glEnable(GL_CULL_FACE);
    glDisable(GL_DITHER);
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT, GL_FILL);
}

void GameLoop(FrameHook beforeFrame) {
    playerInfo = PlayerInfo();
    for (;;) {
        // A failed level leaves levelComplete clear, so the same level is played again.
        if (playerInfo.levelComplete) {
            ++playerInfo.level;
        }
        if (playerInfo.level > NumLevels) {
            break;
        }
        char text[32];
        std::snprintf(text, sizeof text, "ENTERING LEVEL %d", playerInfo.level);
        ShowIntermission(text);
        if (closeRequested) {  // closed during the screen: the level is not played
            return;
        }
        GameManager manager;
        InitLevel(manager);
        if (LevelLoop(manager, beforeFrame)) {
            return;
        }
    }
    ShowIntermission("YOU WIN!");
}

bool LevelLoop(GameManager& manager, FrameHook beforeFrame) {
    FrameKeys keys;
    while (!playerInfo.levelComplete && !playerInfo.levelFailed) {
        if (beforeFrame != nullptr) {
            beforeFrame(manager);
        }
        if (LevelFrame(manager, keys) == FrameEnd::Quit) {
            return true;
        }
    }
    return false;
}

namespace {

void NudgeCamera(GameManager& manager) {
    if (key[KEY_LEFT]) manager.camera.x -= 0.1;
    if (key[KEY_RIGHT]) manager.camera.x += 0.1;
    if (key[KEY_UP]) manager.camera.y += 0.1;
    if (key[KEY_DOWN]) manager.camera.y -= 0.1;
}

// Holding PAUSE flips the state once; it takes a release and a new press to flip it back.
void UpdatePause(FrameKeys& keys) {
    const bool down = key[KEY_PAUSE] != 0;
    if (down && !keys.pauseKeyWasDown) {
        keys.paused = !keys.paused;
    }
    keys.pauseKeyWasDown = down;
}

// The nebula scrolls at half the speed of the playing field for a sense of depth.
void DrawBackground(const Vect3d& camera) {
    constexpr float Repeats = 4.0f / 3.0f;  // one texture repeat per 768 pixels, both ways
    const double u = camera.x * 0.05;
    const double v = camera.y * 0.05;
    glBindTexture(GL_TEXTURE_2D, resourceManager.textures[ResourceManager::BackgroundTexture]);
    glEnable(GL_TEXTURE_2D);
    glColor3f(0.4f, 0.4f, 0.4f);
    glBegin(GL_QUADS);
    glTexCoord2f(u, v);
    glVertex2f(0, 0);
    glTexCoord2f(u + Repeats, v);
    glVertex2f(1024, 0);
    glTexCoord2f(u + Repeats, v + 1);
    glVertex2f(1024, 768);
    glTexCoord2f(u, v + 1);
    glVertex2f(0, 768);
    glEnd();
}

}  // namespace

void DrawFrame(GameManager& manager) {
    glClear(GL_DEPTH_BUFFER_BIT);  // the background quad covers every colour pixel
    SetOrthoProjection();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    DrawBackground(manager.camera);

    InitProjection(manager);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    manager.render();

    SetOrthoProjection();
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    RenderHud(manager);
}

FrameEnd LevelFrame(GameManager& manager, FrameKeys& keys) {
    NudgeCamera(manager);
    UpdatePause(keys);
    if (!keys.paused) {
        manager.tick();
        CheckWinLose(manager);
    }
    DrawFrame(manager);
    allegro_gl_flip();
    rest(20);
    if (key[KEY_ESC] || closeRequested) {
        return FrameEnd::Quit;
    }
    if (key[KEY_F12]) {
        playerInfo.levelComplete = true;
        return FrameEnd::LevelEnded;
    }
    return FrameEnd::Continue;
}

void CheckWinLose(GameManager& manager) {
    if (playerInfo.shipDestroyed || playerInfo.fuel <= 0) {
        ++playerInfo.loseTimer;
    }
    if (manager.goalsFilled == static_cast<int>(manager.goals.size())) {
        ++playerInfo.winTimer;
    } else {
        playerInfo.winTimer = 0;
    }
    if (playerInfo.loseTimer > GoalTime) {
        playerInfo.levelFailed = true;
    }
    if (playerInfo.winTimer > GoalTime) {
        playerInfo.levelComplete = true;
    }
}

void InitLevel(GameManager& manager) {
    manager.ship = nullptr;
    manager.cleanList(manager.objects);
    manager.cleanList(manager.newObjects);
    manager.cleanList(manager.deadObjects);
    manager.particles.clear();
    manager.goals.clear();

    auto* field = new StarField();
    field->initTextures();
    field->initStars();
    field->manager = &manager;
    manager.newObjects.push_back(field);

    auto* ship = new Ship();
    ship->manager = &manager;
    manager.newObjects.push_back(ship);
    manager.ship = ship;

    const LevelData& level = Levels[playerInfo.level - 1];
    for (int i = 0; i < level.numStars; ++i) {
        auto* star = new Star();
        star->pos.x = level.stars[i].x;
        star->pos.y = level.stars[i].y;
        star->manager = &manager;
        manager.newObjects.push_back(star);
    }
    for (int i = 0; i < level.numGoals; ++i) {
        Goal goal;
        goal.pos = Vect3d(level.goals[i].x, level.goals[i].y, 0.0);
        goal.radius = 1.2;
        goal.filled = false;
        manager.goals.push_back(goal);
    }

    playerInfo.fuel = level.fuel;
    playerInfo.levelFailed = false;
    playerInfo.levelComplete = false;
    playerInfo.shipDestroyed = false;
    playerInfo.winTimer = 0;
    playerInfo.loseTimer = 0;
}

void InitProjection(GameManager& manager) {
    static const GLfloat LightPosition[4] = {1.0f, 1.5f, 1.0f, 0.0f};
    static const GLfloat LightAmbient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    static const GLfloat LightDiffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    // Both computed in single precision: the view must show exactly 13.333 x 10 units.
    const float halfAngle = static_cast<float>(std::atan(0.25f) * 57.29577951308232);
    const float fovy = halfAngle * 2.0f;
    const float aspect = 4.0f / 3.0f;

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, aspect, 10, 60);
    glTranslatef(-manager.camera.x, -manager.camera.y, -20 - manager.camera.z);
    glMatrixMode(GL_MODELVIEW);

    glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
    glEnable(GL_LIGHT1);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glDepthFunc(GL_LESS);
    glClearDepth(1.0);
}

HudText HudLine(int goalsFilled, int numGoals, int fuel) {
    HudText line;
    std::snprintf(line.text, sizeof line.text, "COMPLETE: %d / %d  FUEL:%04d", goalsFilled,
                  numGoals, fuel);
    return line;
}

void RenderHud(GameManager& manager) {
    const int white = makecol(255, 255, 255);
    clear_to_color(hudBmp, 0);
    const HudText line =
        HudLine(manager.goalsFilled, static_cast<int>(manager.goals.size()), playerInfo.fuel);
    textout_ex(hudBmp, resourceManager.getFont(), line.text, 0, 0, white, 0);
    const GLuint texture = allegro_gl_make_texture_ex(AGL_TEXTURE_FLIP, hudBmp, GL_LUMINANCE8);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(512, 0);
    glTexCoord2f(1, 1);
    glVertex2f(512, 32);
    glTexCoord2f(0, 1);
    glVertex2f(0, 32);
    glEnd();
    glDeleteTextures(1, &texture);
}
