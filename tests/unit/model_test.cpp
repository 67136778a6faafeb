#include "model.h"

#include "glrecorder.h"
#include "opengl.h"
#include "tempdir.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

// The one-triangle model: file vertices (0 0 0), (1 0 0), (0 0 1) become (0, 0, 0),
// (1, 0, 0) and (0, -1, 0) in game axes.
const char* const Triangle = "3\n0 0 0\n1 0 0\n0 0 1\n1\n3 0 1 2\n";

// Model files written into a private temporary directory.
class ModelFile : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = tempdir::Make("startug-model-"); }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& text, const std::string& name = "test.model") {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    Model loaded(const std::string& text) {
        Model model;
        model.load(write(text));
        return model;
    }

    fs::path dir_;
};

// Redirects std::cerr while it lives.
class CerrCapture {
  public:
    CerrCapture() : old_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(old_); }
    std::string text() const { return text_.str(); }

  private:
    std::ostringstream text_;
    std::streambuf* old_;
};

void ExpectVertex(const Vect3d& v, double x, double y, double z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void ExpectSameModel(const Model& a, const Model& b) {
    ASSERT_EQ(a.vertices.size(), b.vertices.size());
    for (size_t i = 0; i < a.vertices.size(); ++i) {
        ExpectVertex(a.vertices[i], b.vertices[i].x, b.vertices[i].y, b.vertices[i].z);
    }
    ASSERT_EQ(a.polygons.size(), b.polygons.size());
    for (size_t j = 0; j < a.polygons.size(); ++j) {
        EXPECT_EQ(a.polygons[j].indices, b.polygons[j].indices);
        const Vect3d& n = b.polygons[j].normal;
        ExpectVertex(a.polygons[j].normal, n.x, n.y, n.z);
    }
    EXPECT_EQ(a.minX, b.minX);
    EXPECT_EQ(a.minY, b.minY);
    EXPECT_EQ(a.maxX, b.maxX);
    EXPECT_EQ(a.maxY, b.maxY);
    EXPECT_EQ(a.centreX, b.centreX);
    EXPECT_EQ(a.centreY, b.centreY);
    EXPECT_EQ(a.texScale, b.texScale);
}

std::vector<glrec::Primitive> Drawn(const Model& model, bool textured) {
    glrec::Reset();
    model.draw(textured);
    return glrec::Primitives();
}

TEST(Model, NewModelHasOneVertexAtTheOriginAndDrawsNothing) {
    const Model model;
    ASSERT_EQ(model.vertices.size(), 1u);
    ExpectVertex(model.vertices[0], 0, 0, 0);
    EXPECT_TRUE(model.polygons.empty());
    EXPECT_TRUE(Drawn(model, true).empty());
}

TEST_F(ModelFile, TriangleIsConvertedToGameAxes) {
    const Model model = loaded(Triangle);
    ASSERT_EQ(model.vertices.size(), 3u);
    ExpectVertex(model.vertices[0], 0, 0, 0);
    ExpectVertex(model.vertices[1], 1, 0, 0);
    ExpectVertex(model.vertices[2], 0, -1, 0);
    ASSERT_EQ(model.polygons.size(), 1u);
    EXPECT_EQ(model.polygons[0].indices, (std::vector<int>{0, 1, 2}));
    ExpectVertex(model.polygons[0].normal, 0, 0, 1);
}

TEST_F(ModelFile, TriangleBoundsCentreAndTextureScale) {
    const Model model = loaded(Triangle);
    EXPECT_EQ(model.minX, 0.0);
    EXPECT_EQ(model.maxX, 1.0);
    EXPECT_EQ(model.minY, -1.0);
    EXPECT_EQ(model.maxY, 0.0);
    EXPECT_EQ(model.centreX, 0.5);
    EXPECT_EQ(model.centreY, -0.5);
    EXPECT_EQ(model.texScale, 1.0);
}

TEST_F(ModelFile, TriangleIsDrawnInReverseWithPlanarTextureCoordinates) {
    const auto drawn = Drawn(loaded(Triangle), true);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].mode, unsigned(GL_POLYGON));
    const auto& v = drawn[0].vertices;
    ASSERT_EQ(v.size(), 3u);
    const double expected[3][5] = {{0, -1, 0, 0, 0}, {1, 0, 0, 1, 1}, {0, 0, 0, 0, 1}};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(v[k].x, expected[k][0]);
        EXPECT_EQ(v[k].y, expected[k][1]);
        EXPECT_EQ(v[k].z, expected[k][2]);
        EXPECT_EQ(v[k].s, expected[k][3]);
        EXPECT_EQ(v[k].t, expected[k][4]);
        EXPECT_EQ(v[k].nz, 1.0);
    }
    EXPECT_EQ(glrec::Count("glNormal3f"), 1);
}

TEST_F(ModelFile, UntexturedDrawEmitsTheSameGeometryWithoutTextureCoordinates) {
    const Model model = loaded(Triangle);
    const auto textured = Drawn(model, true);
    const auto plain = Drawn(model, false);
    EXPECT_EQ(glrec::Count("glTexCoord2f"), 0);
    EXPECT_EQ(glrec::Count("glNormal3f"), 1);
    ASSERT_EQ(plain.size(), 1u);
    ASSERT_EQ(plain[0].vertices.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(plain[0].vertices[k].x, textured[0].vertices[k].x);
        EXPECT_EQ(plain[0].vertices[k].y, textured[0].vertices[k].y);
        EXPECT_EQ(plain[0].vertices[k].nz, textured[0].vertices[k].nz);
    }
}

TEST_F(ModelFile, DrawChangesNoStateBesidesItsPrimitives) {
    const Model model = loaded(Triangle);
    glrec::Reset();
    model.draw(true);
    for (const glrec::Call& call : glrec::Calls()) {
        EXPECT_TRUE(call.name == "glBegin" || call.name == "glEnd" || call.name == "glNormal3f" ||
                    call.name == "glTexCoord2f" || call.name == "glVertex3f")
            << call.name;
    }
}

TEST_F(ModelFile, ShortPolygonWarnsWithItsPositionAndIsNeverDrawn) {
    std::string text = "3 0 0 0 1 0 0 0 0 1\n9\n";
    for (int j = 0; j < 9; ++j) {
        text += j == 7 ? "2 0 1\n" : "3 0 1 2\n";
    }
    CerrCapture cerr;
    const Model model = loaded(text);
    EXPECT_EQ(cerr.text(), "Strange, a polygon with less than three vertices Number 7\n");
    ASSERT_EQ(model.polygons.size(), 9u);
    EXPECT_EQ(model.polygons[7].indices, (std::vector<int>{0, 1}));
    ExpectVertex(model.polygons[7].normal, 0, 0, 0);
    EXPECT_EQ(Drawn(model, true).size(), 8u);
}

TEST_F(ModelFile, PolygonsWithNoOrOneIndexWarnToo) {
    CerrCapture cerr;
    const Model model = loaded("1 0 0 0 2 0 1 0");
    EXPECT_EQ(cerr.text(),
              "Strange, a polygon with less than three vertices Number 0\n"
              "Strange, a polygon with less than three vertices Number 1\n");
    EXPECT_TRUE(Drawn(model, true).empty());
}

TEST_F(ModelFile, LongerSideSpansTheWholeTexture) {
    // 4 wide along x, 2 high along y (file c = 0 and -2).
    const Model model = loaded("4 0 0 0 4 0 0 4 0 -2 0 0 -2 1 4 0 1 2 3");
    EXPECT_EQ(model.texScale, 0.25);
    const auto drawn = Drawn(model, true);
    ASSERT_EQ(drawn.size(), 1u);
    double sLow = 9, sHigh = -9, tLow = 9, tHigh = -9;
    for (const auto& v : drawn[0].vertices) {
        sLow = std::min(sLow, v.s), sHigh = std::max(sHigh, v.s);
        tLow = std::min(tLow, v.t), tHigh = std::max(tHigh, v.t);
    }
    EXPECT_EQ(sLow, 0.0);
    EXPECT_EQ(sHigh, 1.0);
    EXPECT_EQ(tLow, 0.25);
    EXPECT_EQ(tHigh, 0.75);
}

TEST_F(ModelFile, EmptyModelKeepsTheStartBounds) {
    const Model model = loaded("0 0");
    EXPECT_TRUE(model.vertices.empty());
    EXPECT_TRUE(model.polygons.empty());
    EXPECT_EQ(model.minX, 1000.0);
    EXPECT_EQ(model.maxY, -1000.0);
    EXPECT_EQ(model.centreX, 0.0);
    EXPECT_EQ(model.centreY, 0.0);
    EXPECT_EQ(model.texScale, -0.0005);
    EXPECT_TRUE(Drawn(model, true).empty());
}

TEST_F(ModelFile, StartValuesTakePartInTheBounds) {
    // x from 1500 to 2000, y from -1500 to -1200: wholly beyond the start values.
    const Model model = loaded("2 1500 0 1500 2000 0 1200 0");
    EXPECT_EQ(model.minX, 1000.0);
    EXPECT_EQ(model.maxX, 2000.0);
    EXPECT_EQ(model.minY, -1500.0);
    EXPECT_EQ(model.maxY, -1000.0);
    EXPECT_EQ(model.centreX, 1500.0);
    EXPECT_EQ(model.centreY, -1250.0);
    EXPECT_EQ(model.texScale, 0.001);
}

TEST_F(ModelFile, CollinearPolygonGetsAZeroNormal) {
    const Model model = loaded("3 0 0 0 1 0 0 2 0 0 1 3 0 1 2");
    ExpectVertex(model.polygons[0].normal, 0, 0, 0);
    const auto drawn = Drawn(model, true);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].vertices[0].nx, 0.0);
}

TEST_F(ModelFile, ModelWithNoExtentToInvertGetsTextureScaleOne) {
    // A point, and extents whose reciprocal is infinite in x and in y.
    for (const char* text : {"3 2 3 4 2 3 4 2 3 4 1 3 0 1 2", "3 0 0 0 1e-310 0 0 0 0 0 1 3 0 1 2",
                             "3 0 0 0 0 0 1e-310 0 0 0 1 3 0 1 2"}) {
        SCOPED_TRACE(text);
        const Model model = loaded(text);
        EXPECT_EQ(model.texScale, 1.0);
        const auto drawn = Drawn(model, true);
        ASSERT_EQ(drawn.size(), 1u);
        for (const auto& v : drawn[0].vertices) {
            EXPECT_NEAR(v.s, 0.5, 1e-300);
            EXPECT_NEAR(v.t, 0.5, 1e-300);
            EXPECT_TRUE(std::isfinite(v.nx) && std::isfinite(v.ny) && std::isfinite(v.nz));
        }
    }
}

TEST_F(ModelFile, LineStructureAndTrailingTextDoNotMatter) {
    const Model model = loaded("3 0\t0 0 1\n0\r\n0 0 0\v1 1\f3 0 1 2 and then some words");
    ExpectSameModel(model, loaded(Triangle));
    // Even touching the last index, what follows the last polygon is not read.
    ExpectSameModel(loaded("3 0 0 0 1 0 0 0 0 1 1 3 0 1 2junk"), loaded(Triangle));
    ExpectSameModel(loaded("3 0 0 0 1 0 0 0 0 1 1 3 0 1 2.5"), loaded(Triangle));
}

TEST_F(ModelFile, SignedAndExponentNumbersAreRead) {
    const Model model = loaded("1 +1.5 -2e1 .25E+2 0");
    ExpectVertex(model.vertices[0], 1.5, -25.0, -20.0);
}

TEST_F(ModelFile, CoordinatesBelowTheSmallestDoubleAreReadAsZero) {
    ExpectVertex(loaded("1 1e-400 -1e-400 0 0").vertices[0], 0.0, 0.0, 0.0);
}

// A global locale with a decimal comma must not change how model files are read.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(ModelFile, ReadsDecimalPointsWhateverTheGlobalLocale) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    Model model;
    EXPECT_NO_THROW(model.load(write("1 0.5 0 0 0")));
    std::locale::global(previous);
    ExpectVertex(model.vertices[0], 0.5, 0.0, 0.0);
}

// The keyboard driver gives the C library the user's locale, whose decimal point may be a comma.
TEST_F(ModelFile, ReadsDecimalPointsWhateverTheCLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") ||
        std::string(std::localeconv()->decimal_point) != ",") {
        std::setlocale(LC_NUMERIC, previous.c_str());
        GTEST_SKIP() << "no locale de_DE.UTF-8 with a decimal comma";
    }
    Model model;
    EXPECT_NO_THROW(model.load(write("1 0.5 0 0 0")));
    std::setlocale(LC_NUMERIC, previous.c_str());
    ExpectVertex(model.vertices[0], 0.5, 0.0, 0.0);
}

TEST_F(ModelFile, CopyKeepsEveryField) {
    const Model model = loaded(Triangle);
    Model assigned;
    assigned = model;
    ExpectSameModel(Model(model), model);
    ExpectSameModel(assigned, model);
}

TEST_F(ModelFile, MissingFileIsReportedByNameAndLeavesTheModel) {
    Model model = loaded(Triangle);
    const Model before = model;
    const std::string name = (dir_ / "models" / "none.model").string();
    try {
        model.load(name);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to load file " + name);
    }
    ExpectSameModel(model, before);
}

// Malformed files: each is rejected with its own message and the model keeps what it held.
struct Malformed {
    const char* name;
    const char* text;
    const char* problem;  // after "Unable to load file <path>: "
};

void PrintTo(const Malformed& m, std::ostream* out) { *out << m.name; }

class MalformedModelFile : public ModelFile, public ::testing::WithParamInterface<Malformed> {};

TEST_P(MalformedModelFile, IsRejectedAndTheModelIsUnchanged) {
    Model model = loaded(Triangle);
    const Model before = model;
    const std::string path = write(GetParam().text, "bad.model");
    try {
        model.load(path);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to load file " + path + ": " + GetParam().problem);
    }
    ExpectSameModel(model, before);
}

const Malformed MalformedFiles[] = {
    {"EmptyFile", "", "the vertex count is missing: the file ends early"},
    {"OnlySpace", " \n\t ", "the vertex count is missing: the file ends early"},
    {"TruncatedInAVertex", "2 0 0 0 1 0", "vertex 1 is missing: the file ends early"},
    {"NoPolygonCount", "3 0 0 0 1 0 0 0 0 1", "the polygon count is missing: the file ends early"},
    {"TruncatedInAPolygon", "3 0 0 0 1 0 0 0 0 1 2 3 0 1 2 3 0 1",
     "polygon 1 index 2 is missing: the file ends early"},
    {"NoPolygonVertexCount", "3 0 0 0 1 0 0 0 0 1 2 3 0 1 2",
     "polygon 1 vertex count is missing: the file ends early"},
    {"WordForACoordinate", "1 0 zero 0 0", "vertex 0 is not a number"},
    {"LettersAfterACoordinate", "1 0 3x 0 0", "vertex 0 is not a number"},
    {"HexCoordinate", "1 0x10 0 0 0", "vertex 0 is not a number"},
    {"InfinityCoordinate", "1 inf 0 0 0", "vertex 0 is not a number"},
    {"NaNCoordinate", "1 nan 0 0 0", "vertex 0 is not a number"},
    {"CoordinateBeyondDouble", "1 1e400 0 0 0", "vertex 0 is not a number"},
    {"AbsurdCoordinate", "1 0 -1e10 0 0", "vertex 0 has a coordinate beyond +-1e9"},
    // The limits at their edges: a value at a limit is read, and the file then fails at
    // what follows it; the next value beyond is refused. 1000000000.0000002 is the double
    // two steps above 1e9.
    {"CoordinatesAtTheirLimits", "1 1e9 -1e9 1000000000",
     "the polygon count is missing: the file ends early"},
    {"CoordinateJustBeyond", "1 0 1000000000.0000002 0", "vertex 0 has a coordinate beyond +-1e9"},
    {"NegativeCoordinateJustBeyond", "1 0 0 -1000000000.0000002",
     "vertex 0 has a coordinate beyond +-1e9"},
    {"VertexCountAtItsLimit", "1000000", "vertex 0 is missing: the file ends early"},
    {"PolygonCountAtItsLimit", "1 0 0 0 1000000",
     "polygon 0 vertex count is missing: the file ends early"},
    {"PolygonCountJustBeyond", "1 0 0 0 1000001",
     "the polygon count is 1000001, outside 0..1000000"},
    {"PolygonVertexCountAtItsLimit", "1 0 0 0 1 1000000",
     "polygon 0 index 0 is missing: the file ends early"},
    {"FractionalVertexCount", "1.5 0 0 0 0", "the vertex count is not a whole number"},
    {"WordForPolygonCount", "1 0 0 0 one", "the polygon count is not a whole number"},
    {"CountBeyondInt", "99999999999 0", "the vertex count is not a whole number"},
    {"NegativeVertexCount", "-1 0", "the vertex count is -1, outside 0..1000000"},
    {"AbsurdVertexCount", "1000001 0", "the vertex count is 1000001, outside 0..1000000"},
    {"NegativePolygonCount", "1 0 0 0 -1", "the polygon count is -1, outside 0..1000000"},
    {"AbsurdPolygonCount", "1 0 0 0 2000000000",
     "the polygon count is 2000000000, outside 0..1000000"},
    {"NegativePolygonVertexCount", "1 0 0 0 1 -1 0 0 0",
     "polygon 0 vertex count is -1, outside 0..1000000"},
    {"AbsurdPolygonVertexCount", "1 0 0 0 1 1000001 0",
     "polygon 0 vertex count is 1000001, outside 0..1000000"},
    {"IndexPastTheVertexTable", "3 0 0 0 1 0 0 0 0 1 1 3 0 1 3",
     "polygon 0 index 2 is 3, outside 0..2"},
    {"NegativeIndex", "3 0 0 0 1 0 0 0 0 1 1 3 0 -1 2", "polygon 0 index 1 is -1, outside 0..2"},
    {"IndexWithNoVertices", "0 1 3 0 0 0", "polygon 0 index 0 is 0, but there are no vertices"},
    {"FractionalIndex", "3 0 0 0 1 0 0 0 0 1 1 3 0 1.0 2",
     "polygon 0 index 1 is not a whole number"},
};

INSTANTIATE_TEST_SUITE_P(Model, MalformedModelFile, ::testing::ValuesIn(MalformedFiles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
