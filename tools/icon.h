// The game's icon: the ship towing a star out of the game's own sky, on a rounded tile.
// The desktop's menu icons, the window icon and the Windows programs' icons are these
// pictures; the installer and uninstaller carry them with a badge.
#pragma once

#include "canvas.h"
#include "scene.h"

// Up to this side the icon is drawn for its size: a flat, outlined ship and star that
// stay legible where the full scene would blur into a blob.
constexpr int kLargestSmallIcon = 24;

// A size x size picture, transparent outside the tile.
Canvas PaintIcon(const SceneArt& art, int size);

enum class Badge {
    Install,    // a green disc with an arrow pointing down
    Uninstall,  // a red disc with a bar
};

// The icon with the badge in its lower right corner.
Canvas PaintBadgedIcon(const SceneArt& art, int size, Badge badge);
