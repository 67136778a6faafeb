#pragma once

// OpenGL and GLU. On Windows their headers need windows.h, which must come in through
// AllegroGL's header so that its BITMAP stays apart from Allegro's; GDI's Polygon() is
// renamed on the way so that it does not hide the model's Polygon class.
#ifdef _WIN32
#define Polygon WindowsGdiPolygon
#include <alleggl.h>
#undef Polygon
#endif

#include <GL/gl.h>
#include <GL/glu.h>
