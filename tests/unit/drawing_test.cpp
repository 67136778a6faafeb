#include "glrecorder.h"
#include "opengl.h"
#include "utils.h"

#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Tolerance = 1e-6;  // the recorder holds what reached OpenGL as floats

class DrawingTest : public ::testing::Test {
  protected:
    void SetUp() override { glrec::Reset(); }
};

void ExpectVertex(const glrec::Vertex& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, Tolerance);
    EXPECT_NEAR(v.y, y, Tolerance);
    EXPECT_NEAR(v.z, z, Tolerance);
}
void ExpectNormal(const glrec::Vertex& v, double x, double y, double z) {
    EXPECT_NEAR(v.nx, x, Tolerance);
    EXPECT_NEAR(v.ny, y, Tolerance);
    EXPECT_NEAR(v.nz, z, Tolerance);
}

// --- Screen projection and error check ---

TEST_F(DrawingTest, OrthoProjectionMapsTheFixed1024By768ScreenAndLeavesTheModelview) {
    SetOrthoProjection();
    const auto& calls = glrec::Calls();
    const std::vector<std::string> names{"glDisable", "glMatrixMode", "glLoadIdentity", "glOrtho",
                                         "glMatrixMode"};
    ASSERT_EQ(calls.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(calls[i].name, names[i]) << i;
    EXPECT_EQ(calls[0].args[0], GL_DEPTH_TEST);
    EXPECT_EQ(calls[1].args[0], GL_PROJECTION);
    EXPECT_EQ(calls[3].args, (std::vector<double>{0, 1024, 0, 768, -1, 1}));
    EXPECT_EQ(calls[4].args[0], GL_MODELVIEW);
}

TEST_F(DrawingTest, GlErrorCheckIsSilentWithoutAPendingError) {
    EXPECT_NO_THROW(CheckGlError());
    EXPECT_TRUE(glrec::Calls().empty());
}

TEST_F(DrawingTest, PendingGlErrorIsThrownOnceWithItsCode) {
    glrec::SetPendingError(GL_INVALID_OPERATION);
    try {
        CheckGlError();
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("OpenGL error :", 0), 0u) << text;
        EXPECT_NE(text.find("1282"), std::string::npos) << text;
    }
    EXPECT_NO_THROW(CheckGlError());  // the error was consumed
}

// --- Sphere ---

class SphereTest : public DrawingTest {
  protected:
    // The star's full sphere: 12 slices, longitude 0..2 pi, latitude -pi/2..pi/2.
    static void DrawFull(Vect3d centre, double radius, int triangleStrip = 1) {
        DrawSphere(centre, radius, 12, triangleStrip, 0, 2 * Pi, -Pi / 2, Pi / 2);
    }
};

TEST_F(SphereTest, FullSphereOfTwelveSlicesIsSixStripsOf26Vertices) {
    DrawFull({1, 2, 3}, 2);
    const auto rows = glrec::Primitives();
    ASSERT_EQ(rows.size(), 6u);
    for (const glrec::Primitive& row : rows) {
        EXPECT_EQ(row.mode, static_cast<unsigned>(GL_TRIANGLE_STRIP));
        EXPECT_EQ(row.vertices.size(), 26u);
    }
    const glrec::Vertex& south = rows.front().vertices.front();
    ExpectVertex(south, 1, 0, 3);
    ExpectNormal(south, 0, -1, 0);
    EXPECT_EQ(south.s, 0.0);
    EXPECT_EQ(south.t, 0.0);
    const glrec::Vertex& north = rows.back().vertices.back();
    ExpectVertex(north, 1, 4, 3);
    ExpectNormal(north, 0, 1, 0);
    EXPECT_FLOAT_EQ(north.s, 1.0f);
    EXPECT_FLOAT_EQ(north.t, 1.0f);
}

TEST_F(SphereTest, EachColumnGivesTheLowerLatitudeFirstAndLongitudeTurnsFromXToZ) {
    DrawFull({0, 0, 0}, 1);
    const auto rows = glrec::Primitives();
    ASSERT_EQ(rows.size(), 6u);
    const auto& equatorRow = rows[3].vertices;  // latitude 0 to 30 degrees
    ExpectVertex(equatorRow[0], 1, 0, 0);
    ExpectNormal(equatorRow[0], 1, 0, 0);
    EXPECT_FLOAT_EQ(equatorRow[0].t, 0.5f);
    ExpectVertex(equatorRow[1], std::cos(Pi / 6), 0.5, 0);
    EXPECT_FLOAT_EQ(equatorRow[1].t, 4.0f / 6);
    // Column 3 is 90 degrees round, on +z; its texture u is a quarter.
    ExpectVertex(equatorRow[6], 0, 0, 1);
    ExpectNormal(equatorRow[6], 0, 0, 1);
    EXPECT_FLOAT_EQ(equatorRow[6].s, 0.25f);
}

TEST_F(SphereTest, ZeroTriangleStripFlagDrawsQuadStrips) {
    DrawFull({0, 0, 0}, 1, 0);
    for (const glrec::Primitive& row : glrec::Primitives()) {
        EXPECT_EQ(row.mode, static_cast<unsigned>(GL_QUAD_STRIP));
    }
}

TEST_F(SphereTest, NegativeRadiusDrawsTheSameSphere) {
    DrawFull({1, 2, 3}, 0.7);
    const auto positive = glrec::Calls();
    glrec::Reset();
    DrawFull({1, 2, 3}, -0.7);
    const auto& negative = glrec::Calls();
    ASSERT_EQ(negative.size(), positive.size());
    for (std::size_t i = 0; i < positive.size(); ++i) {
        EXPECT_EQ(negative[i].name, positive[i].name) << i;
        EXPECT_EQ(negative[i].args, positive[i].args) << i;
    }
}

TEST_F(SphereTest, ZeroSlicesDrawNothing) {
    DrawSphere({0, 0, 0}, 1, 0, 1, 0, 2 * Pi, -Pi / 2, Pi / 2);
    EXPECT_TRUE(glrec::Calls().empty());
}

TEST_F(SphereTest, OddSliceCountAddsARowReachingPastTheLastLatitude) {
    // 3 slices: rows while i < 1.5, each 120 degrees high.
    DrawSphere({0, 0, 0}, 1, 3, 1, 0, 2 * Pi, -Pi / 2, Pi / 2);
    const auto rows = glrec::Primitives();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].vertices.size(), 8u);
    EXPECT_NEAR(rows[1].vertices[1].y, std::sin(5 * Pi / 6), Tolerance);
    EXPECT_FLOAT_EQ(rows[1].vertices[1].t, 4.0f / 3);
}

TEST_F(SphereTest, BandSpansItsTextureOnceBothWays) {
    DrawSphere({0, 0, 0}, 1, 4, 1, 0, Pi, 0, Pi / 2);  // two rows of five columns
    const auto rows = glrec::Primitives();
    ASSERT_EQ(rows.size(), 2u);
    const glrec::Vertex& last = rows[1].vertices.back();
    EXPECT_FLOAT_EQ(last.s, 1.0f);
    EXPECT_FLOAT_EQ(last.t, 1.0f);
    ExpectVertex(rows[0].vertices[8], -1, 0, 0);  // longitude pi, latitude 0
}

// --- Circle ---

TEST_F(DrawingTest, CircleStartsAtTheTopAndRunsClockwiseIn20Steps) {
    DrawCircle({0, 0, 0}, 1);
    const auto prims = glrec::Primitives();
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_EQ(prims[0].mode, static_cast<unsigned>(GL_LINE_LOOP));
    const auto& v = prims[0].vertices;
    ASSERT_EQ(v.size(), 20u);
    ExpectVertex(v[0], 0, 1, 0);
    ExpectVertex(v[5], 1, 0, 0);
    ExpectVertex(v[10], 0, -1, 0);
    ExpectVertex(v[1], std::sin(Pi / 10), std::cos(Pi / 10), 0);
}

TEST_F(DrawingTest, CircleLiesInThePlaneOfPlayWhateverTheCentreDepth) {
    DrawCircle({3, 4, 7}, 2);
    EXPECT_EQ(glrec::Count("glVertex2f"), 20);
    EXPECT_EQ(glrec::Count("glVertex3f"), 0);
    ExpectVertex(glrec::Primitives().at(0).vertices.at(15), 1, 4, 0);
}

}  // namespace
