#include "lighting.h"
#include "matrix.h"
#include "pixels.h"
#include "primitives.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace webgl1 {
namespace {

// The pieces a primitive is split into, as vertex index lists.
std::vector<std::vector<int>> Split(GLenum mode, int count) {
    std::vector<std::vector<int>> pieces;
    Decompose(
        mode, count,
        [&](int a, int b, int c) {
            pieces.push_back({a, b, c});
        },
        [&](int a, int b) {
            pieces.push_back({a, b});
        });
    return pieces;
}

using Pieces = std::vector<std::vector<int>>;

TEST(Decompose, QuadsEndEachTriangleOnTheFourthVertex) {
    EXPECT_EQ(Split(GL_QUADS, 9), (Pieces{{0, 1, 3}, {1, 2, 3}, {4, 5, 7}, {5, 6, 7}}));
}

TEST(Decompose, QuadStripEndsEachQuadOnItsVertex2iPlus2) {
    EXPECT_EQ(Split(GL_QUAD_STRIP, 6), (Pieces{{2, 0, 3}, {0, 1, 3}, {4, 2, 5}, {2, 3, 5}}));
}

TEST(Decompose, PolygonEndsEveryTriangleOnItsFirstVertex) {
    EXPECT_EQ(Split(GL_POLYGON, 5), (Pieces{{1, 2, 0}, {2, 3, 0}, {3, 4, 0}}));
}

TEST(Decompose, TriangleStripKeepsWindingAndEndsOnTheNewVertex) {
    EXPECT_EQ(Split(GL_TRIANGLE_STRIP, 5), (Pieces{{0, 1, 2}, {2, 1, 3}, {2, 3, 4}}));
}

TEST(Decompose, FanSharesTheFirstVertex) {
    EXPECT_EQ(Split(GL_TRIANGLE_FAN, 5), (Pieces{{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}));
}

TEST(Decompose, LineLoopClosesOnTheFirstVertex) {
    EXPECT_EQ(Split(GL_LINE_LOOP, 3), (Pieces{{0, 1}, {1, 2}, {2, 0}}));
    EXPECT_EQ(ClassOf(GL_LINE_LOOP), PrimitiveClass::Lines);
    EXPECT_EQ(ClassOf(GL_POINTS), PrimitiveClass::Invalid);
}

TEST(Matrix, RotationAboutZTurnsXIntoY) {
    const Vec4 v = Transform(Rotation(90, 0, 0, 1), {1, 0, 0, 1});
    EXPECT_NEAR(v.x, 0, 1e-7);
    EXPECT_FLOAT_EQ(v.y, 1);
}

TEST(Matrix, OrthoMapsTheWindowOntoClipSpace) {
    const Mat4 ortho = Ortho(0, 1024, 0, 768, -1, 1);
    const Vec4 corner = Transform(ortho, {1024, 768, 0, 1});
    EXPECT_FLOAT_EQ(corner.x, 1);
    EXPECT_FLOAT_EQ(corner.y, 1);
    EXPECT_FLOAT_EQ(Transform(ortho, {0, 0, 0, 1}).x, -1);
}

TEST(Matrix, PerspectiveIsGlusMatrix) {
    const Mat4 p = Perspective(90, 2, 1, 3);
    EXPECT_FLOAT_EQ(p.m[0], 0.5f);
    EXPECT_FLOAT_EQ(p.m[5], 1);
    EXPECT_FLOAT_EQ(p.m[10], -2);
    EXPECT_FLOAT_EQ(p.m[11], -1);
    EXPECT_FLOAT_EQ(p.m[14], -3);
    EXPECT_FLOAT_EQ(p.m[15], 0);
}

TEST(Matrix, MultiplyAppliesTheRightMatrixFirst) {
    const Mat4 m = Multiply(Translation(1, 2, 3), Scaling(2, 2, 2));
    const Vec4 v = Transform(m, {1, 1, 1, 1});
    EXPECT_EQ((std::array<float, 3>{v.x, v.y, v.z}), (std::array<float, 3>{3, 4, 5}));
}

TEST(Matrix, NormalMatrixUndoesScaling) {
    const std::array<float, 9> n = NormalMatrix(Scaling(2, 4, 0.5f));
    EXPECT_EQ(n, (std::array<float, 9>{0.5f, 0, 0, 0, 0.25f, 0, 0, 0, 2}));
}

TEST(MatrixStack, RefusesToOverflowOrPopItsLastEntry) {
    MatrixStack stack(2);
    EXPECT_FALSE(stack.pop());
    EXPECT_TRUE(stack.push());
    EXPECT_FALSE(stack.push());
    stack.top() = Translation(1, 0, 0);
    EXPECT_TRUE(stack.pop());
    EXPECT_EQ(stack.top().m, Mat4::Identity().m);
}

// One pixel's texel, as the layer stores it.
std::array<std::uint8_t, 4> Texel(const void* pixel, GLenum format, GLenum type, BaseFormat base) {
    std::array<std::uint8_t, 4> texel;
    UnpackToRgba8(pixel, 1, 1, format, type, PixelStore{}, base, texel.data());
    return texel;
}

using Rgba = std::array<std::uint8_t, 4>;

TEST(Pixels, BgraIsReordered) {
    const std::uint8_t bgra[] = {10, 20, 30, 40};
    EXPECT_EQ(Texel(bgra, GL_BGRA, GL_UNSIGNED_BYTE, BaseFormat::Rgba), (Rgba{30, 20, 10, 40}));
}

TEST(Pixels, LuminanceFromRgbKeepsRed) {
    const std::uint8_t rgb[] = {200, 50, 10};
    EXPECT_EQ(Texel(rgb, GL_RGB, GL_UNSIGNED_BYTE, BaseFormat::Luminance),
              (Rgba{200, 200, 200, 255}));
}

TEST(Pixels, AlphaTexelsLeaveTheColourToTheFragment) {
    const std::uint8_t rgba[] = {1, 2, 3, 128};
    EXPECT_EQ(Texel(rgba, GL_RGBA, GL_UNSIGNED_BYTE, BaseFormat::Alpha),
              (Rgba{255, 255, 255, 128}));
    EXPECT_EQ(Texel(rgba, GL_RGBA, GL_UNSIGNED_BYTE, BaseFormat::Rgb), (Rgba{1, 2, 3, 255}));
}

TEST(Pixels, PackedComponentsRepeatTheirBits) {
    const std::uint16_t rgb565 = 3 << 11 | 63 << 5 | 16;
    EXPECT_EQ(Texel(&rgb565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, BaseFormat::Rgb),
              (Rgba{24, 255, 132, 255}));
    const std::uint8_t rgb332 = 5 << 5 | 2 << 2 | 1;
    EXPECT_EQ(Texel(&rgb332, GL_RGB, GL_UNSIGNED_BYTE_3_3_2, BaseFormat::Rgb),
              (Rgba{182, 73, 85, 255}));
}

TEST(Pixels, ReversedTypesStartFromTheLowBits) {
    const std::uint32_t argb = 0x40302010;  // bytes 10 20 30 40 in memory
    EXPECT_EQ(Texel(&argb, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, BaseFormat::Rgba),
              (Rgba{0x30, 0x20, 0x10, 0x40}));
}

TEST(Pixels, PackedTypesNeedTheirComponentCount) {
    EXPECT_EQ(CheckFormatAndType(GL_RGB, GL_UNSIGNED_SHORT_5_5_5_1), GL_INVALID_OPERATION);
    EXPECT_EQ(CheckFormatAndType(GL_RGBA, GL_UNSIGNED_SHORT_5_6_5), GL_INVALID_OPERATION);
    EXPECT_EQ(CheckFormatAndType(GL_RGB, GL_UNSIGNED_SHORT_5_6_5), GL_NO_ERROR);
    EXPECT_EQ(CheckFormatAndType(GL_RGB, GL_FLOAT), GL_INVALID_ENUM);
}

TEST(Pixels, RowsFollowRowLengthAlignmentAndSkips) {
    // Two rows of 3 RGB pixels, padded to 4-byte rows, of an image 4 pixels wide; the
    // rectangle starts one row and one pixel in.
    std::vector<std::uint8_t> image(4 * 12);  // rows of 12 bytes: 4 pixels, already aligned
    image[12 + 3] = 7;                        // row 1, pixel 1, red
    image[24 + 9] = 9;                        // row 2, pixel 3, red
    PixelStore store;
    store.rowLength = 4;
    store.skipRows = 1;
    store.skipPixels = 1;
    std::array<std::uint8_t, 2 * 3 * 4> out;
    UnpackToRgba8(image.data(), 3, 2, GL_RGB, GL_UNSIGNED_BYTE, store, BaseFormat::Luminance,
                  out.data());
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[5 * 4], 9);
}

TEST(Pixels, SizedAndNumberedInternalFormatsHaveTheirBase) {
    BaseFormat base;
    ASSERT_TRUE(BaseFormatOf(GL_LUMINANCE8, &base));
    EXPECT_EQ(base, BaseFormat::Luminance);
    ASSERT_TRUE(BaseFormatOf(3, &base));
    EXPECT_EQ(base, BaseFormat::Rgb);
    EXPECT_FALSE(BaseFormatOf(GL_BGRA, &base));
}

class Lighting : public ::testing::Test {
  protected:
    Lighting() {
        Light& light = state.lights[1];
        light.enabled = true;
        light.ambient = {0.4f, 0.4f, 0.4f, 1};
        light.diffuse = {0.6f, 0.6f, 0.6f, 1};
        light.position = {0, 0, 1, 0};
        state.material.ambient = state.material.diffuse = {1, 0.5f, 0, 0.25f};
    }
    LightingState state;
};

TEST_F(Lighting, FacingTheLightAddsAllItsDiffuse) {
    const Color c = LightVertex(state, {0, 0, 0, 1}, {0, 0, 1});
    EXPECT_FLOAT_EQ(c[0], 1);  // 0.2 + 0.4 + 0.6, clamped
    EXPECT_FLOAT_EQ(c[1], 0.6f);
    EXPECT_FLOAT_EQ(c[2], 0);
    EXPECT_FLOAT_EQ(c[3], 0.25f);  // the material's diffuse alpha
}

TEST_F(Lighting, FacingAwayLeavesTheAmbientTerms) {
    const Color c = LightVertex(state, {0, 0, 0, 1}, {0, 0, -1});
    EXPECT_FLOAT_EQ(c[1], 0.5f * 0.2f + 0.5f * 0.4f);
}

TEST_F(Lighting, PositionalLightShinesFromWhereItIs) {
    state.lights[1].position = {0, 0, 5, 1};
    const Color below = LightVertex(state, {0, 0, 0, 1}, {0, 0, 1});
    const Color beside = LightVertex(state, {5, 0, 5, 1}, {0, 0, 1});
    EXPECT_FLOAT_EQ(below[1], 0.6f);
    EXPECT_FLOAT_EQ(beside[1], 0.5f * 0.2f + 0.5f * 0.4f);
}

}  // namespace
}  // namespace webgl1
