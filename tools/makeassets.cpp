// startug-makeassets: paints every texture, the font and the ship model the game
// loads, deterministically, and checks them before the build goes on.
//
//   startug-makeassets OUTDIR [--contact-sheet SHEET.tga]
//   startug-makeassets --icons ICONDIR NAME WINDOWICON.xpm
//   startug-makeassets --installer-art DIR
//
// Writes OUTDIR/gfx/*.tga, OUTDIR/font.pcx and OUTDIR/models/ship.model; with
// --contact-sheet it also writes one picture of all of them. With --icons it paints
// the game's icon instead: ICONDIR/hicolor/NxN/apps/NAME.png for the desktop, the same
// sizes in ICONDIR/NAME.ico for the Windows program, and the X window icon the game
// compiles in. With --installer-art it paints the Windows installer's pictures,
// DIR/wizard.bmp and DIR/header.bmp, and its icons, DIR/setup.ico and DIR/uninstall.ico
// (the game's icon with a badge). Runs without a display. Exits with 1 on any failure.
#include "canvas.h"
#include "contactsheet.h"
#include "font.h"
#include "ico.h"
#include "icon.h"
#include "installerart.h"
#include "meshcheck.h"
#include "shipmodel.h"
#include "shiptexture.h"
#include "textures.h"
#include "xpm.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The icons' sides in pixels, in the order the Windows icons hold them.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void Fail(const std::string& what, const std::vector<std::string>& problems) {
    std::string message = what;
    for (const std::string& problem : problems) message += "\n  " + problem;
    throw std::runtime_error(message);
}

void WriteTextures(const std::string& gfx, const Ship& ship) {
    SaveTga(PaintBackground(512), gfx + "/background.tga", false);
    SaveTga(PaintStarSprite(64), gfx + "/star.tga", false);
    SaveTga(PaintPointer(64), gfx + "/pointer.tga", true);
    SaveTga(PaintFlame(256, 128), gfx + "/flametex1.tga", false);
    SaveTga(PaintGlow(128), gfx + "/glow.tga", true);
    SaveTga(PaintShipTexture(ship, 128), gfx + "/shiptex.tga", false);
    SaveTga(PaintTractorBeam(128, 128), gfx + "/tractortexture.tga", false);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in) throw std::runtime_error("cannot read " + path);
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Checks the model as the game will read it: from the written file.
void WriteModel(const std::string& path, const Mesh& mesh) {
    WriteFile(path, FormatModelFile(mesh));
    const std::string text = ReadFile(path);
    MeshSummary summary;
    const std::vector<std::string> problems = CheckMesh(ParseModelFile(text), &summary);
    if (!problems.empty()) Fail(path + " is not a sound closed mesh:", problems);
    std::cout << path << ": " << mesh.vertices.size() << " vertices, " << mesh.polygons.size()
              << " polygons, " << summary.parts << " closed parts, all faces flat, convex and "
              << "facing out; x " << summary.min.x << ".." << summary.max.x << ", y "
              << summary.min.y << ".." << summary.max.y << ", z " << summary.min.z << ".."
              << summary.max.z << '\n';
}

void WriteFontFile(const std::string& path) {
    WriteFont(path);
    const std::vector<std::string> problems = CheckFont(path);
    if (!problems.empty()) Fail(path + " does not load as the game needs:", problems);
}

// The desktop's icon theme sizes; the window icon is the 48-pixel one.
void WriteIcons(const std::string& iconDir, const std::string& name, const std::string& xpmPath) {
    const SceneArt art = PaintSceneArt();
    std::vector<IcoImage> ico;
    for (const int size : kIconSizes) {
        const std::string dir =
            iconDir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::filesystem::create_directories(dir);
        const std::string png = FormatPng(PaintIcon(art, size));
        WriteFile(dir + "/" + name + ".png", png);
        ico.push_back({size, png});
    }
    WriteFile(iconDir + "/" + name + ".ico", FormatIco(ico));
    WriteFile(xpmPath, FormatXpm(PaintIcon(art, 48),
                                 std::filesystem::path(xpmPath).stem().string() + "_xpm"));
}

// The Windows installer's pictures and the setup and uninstaller icons, in the sizes of
// the game's own.
void WriteInstallerArt(const std::string& dir) {
    const SceneArt art = PaintSceneArt();
    std::filesystem::create_directories(dir);
    SaveBmp(PaintWizardPicture(art), dir + "/wizard.bmp");
    SaveBmp(PaintHeaderPicture(art), dir + "/header.bmp");
    for (const auto& [badge, name] :
         {std::pair{Badge::Install, "setup"}, std::pair{Badge::Uninstall, "uninstall"}}) {
        std::vector<IcoImage> ico;
        for (const int size : kIconSizes)
            ico.push_back({size, FormatPng(PaintBadgedIcon(art, size, badge))});
        WriteFile(dir + "/" + name + ".ico", FormatIco(ico));
    }
}

void Run(const std::string& outDir, const std::string& sheetPath) {
    std::filesystem::create_directories(outDir + "/gfx");
    std::filesystem::create_directories(outDir + "/models");
    const Ship ship = BuildShip();
    WriteTextures(outDir + "/gfx", ship);
    WriteModel(outDir + "/models/ship.model", ship.mesh);
    WriteFontFile(outDir + "/font.pcx");
    if (!sheetPath.empty()) WriteContactSheet(outDir, sheetPath);
}

}  // namespace

int main(int argc, char** argv) {
    const bool plain = argc == 2;
    const bool withSheet = argc == 4 && std::string(argv[2]) == "--contact-sheet";
    const bool icons = argc == 5 && std::string(argv[1]) == "--icons";
    const bool installer = argc == 3 && std::string(argv[1]) == "--installer-art";
    if (!plain && !withSheet && !icons && !installer) {
        std::cerr << "usage: " << argv[0] << " OUTDIR [--contact-sheet SHEET.tga]\n"
                  << "       " << argv[0] << " --icons ICONDIR NAME WINDOWICON.xpm\n"
                  << "       " << argv[0] << " --installer-art DIR\n";
        return 1;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::cerr << "cannot start Allegro\n";
        return 1;
    }
    try {
        if (icons) {
            WriteIcons(argv[2], argv[3], argv[4]);
        } else if (installer) {
            WriteInstallerArt(argv[2]);
        } else {
            Run(argv[1], withSheet ? argv[3] : "");
        }
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
