#include "model.h"

#include "opengl.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace {

// Counts beyond these are taken for a corrupt file rather than a model: the ship has a
// few dozen of each.
constexpr int MaxVertices = 1000000;
constexpr int MaxPolygons = 1000000;
constexpr int MaxPolygonVertices = 1000000;
// World units, either sign. Keeping coordinates this small keeps every value derived from
// them (cross products, bounds, texture coordinates) finite.
constexpr double MaxCoordinate = 1e9;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SignEnd(const std::string& text, std::size_t pos) {
    return pos < text.size() && (text[pos] == '+' || text[pos] == '-') ? pos + 1 : pos;
}

std::size_t DigitsEnd(const std::string& text, std::size_t pos) {
    while (pos < text.size() && IsDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

// Where the longest run of text from pos matching [sign] digits [. digits] [(e|E) [sign] digits]
// ends, an exponent being taken only after a digit. Any part may be empty: the conversion
// judges the run. This run is what libstdc++'s num_get takes for a double in the classic
// locale; libc++'s takes hex and "inf" as well, hence a scanner of our own.
std::size_t DecimalEnd(const std::string& text, std::size_t pos) {
    const std::size_t whole = SignEnd(text, pos);
    pos = DigitsEnd(text, whole);
    bool hasDigits = pos > whole;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fraction = pos + 1;
        pos = DigitsEnd(text, fraction);
        hasDigits = hasDigits || pos > fraction;
    }
    if (hasDigits && pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        pos = DigitsEnd(text, SignEnd(text, pos + 1));
    }
    return pos;
}

// strtod follows the C library's locale, which the keyboard driver sets to the user's, so the
// token's '.' becomes that locale's decimal point first. Like GCC's num_get, this refuses an
// infinite value (a token beyond the doubles) and keeps one that underflows.
bool ToDouble(std::string token, double& value) {
    const std::size_t point = token.find('.');
    if (point != std::string::npos) {
        token.replace(point, 1, std::localeconv()->decimal_point);
    }
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return !token.empty() && end == token.c_str() + token.size() && !std::isinf(value);
}

// Both move pos past the longest run of text from pos that their type's grammar allows and
// tell whether that run converts to a value of the type.
bool ScanNumber(const std::string& text, std::size_t& pos, double& value) {
    const std::size_t start = pos;
    pos = DecimalEnd(text, pos);
    return ToDouble(text.substr(start, pos - start), value);
}

// An int is [sign] digits, within int's range.
bool ScanNumber(const std::string& text, std::size_t& pos, int& value) {
    const std::size_t digits = SignEnd(text, pos);
    // from_chars takes a minus sign but no plus sign.
    const char* first = text.data() + (text[pos] == '+' ? digits : pos);
    pos = DigitsEnd(text, digits);
    const char* last = text.data() + pos;
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

// Reads the numbers of one model file. A number must be followed by white space, so "1.5"
// is no vertex count and "3x" no coordinate. Every failure names the file and the value at
// fault; positions in messages are 0-based, like the warning's.
class ModelReader {
  public:
    ModelReader(const std::string& text, const std::string& fileName)
        : text_(text), fileName_(fileName) {}

    int readCount(const std::string& what, int max) {
        const int n = read<int>(what, "a whole number");
        if (n < 0 || n > max) {
            fail(what + " is " + std::to_string(n) + ", outside 0.." + std::to_string(max));
        }
        return n;
    }

    int readIndex(const std::string& what, int vertexCount) {
        const int index = read<int>(what, "a whole number");
        if (index < 0 || index >= vertexCount) {
            fail(what + " is " + std::to_string(index) +
                 (vertexCount == 0 ? ", but there are no vertices"
                                   : ", outside 0.." + std::to_string(vertexCount - 1)));
        }
        return index;
    }

    double readCoordinate(const std::string& what) {
        const double value = read<double>(what, "a number");
        if (value < -MaxCoordinate || value > MaxCoordinate) {
            fail(what + " has a coordinate beyond +-1e9");
        }
        return value;
    }

  private:
    template <typename T>
    T read(const std::string& what, const char* kind) {
        requireSeparator();
        while (pos_ < text_.size() && IsSpace(text_[pos_])) {
            ++pos_;
        }
        if (pos_ == text_.size()) {
            fail(what + " is missing: the file ends early");
        }
        T value{};
        if (!ScanNumber(text_, pos_, value)) {
            fail(what + " is not " + kind);
        }
        lastWhat_ = what;
        lastKind_ = kind;
        return value;
    }

    // The number read last must have ended at white space or at the end of the file. This
    // is checked only when another number is wanted: what follows the model's last number
    // is not part of the model, even when it touches it ("3 0 1 2junk").
    void requireSeparator() const {
        if (lastKind_ != nullptr && pos_ < text_.size() && !IsSpace(text_[pos_])) {
            fail(lastWhat_ + " is not " + lastKind_);
        }
    }

    [[noreturn]] void fail(const std::string& problem) const {
        throw std::runtime_error("Unable to load file " + fileName_ + ": " + problem);
    }

    const std::string& text_;
    std::size_t pos_ = 0;
    const std::string& fileName_;
    std::string lastWhat_;
    const char* lastKind_ = nullptr;
};

std::string VertexName(int i) { return "vertex " + std::to_string(i); }
std::string PolygonName(int j) { return "polygon " + std::to_string(j); }

// The file lists a b c; the game's axes are x = a, y = -c, z = b.
std::vector<Vect3d> ReadVertices(ModelReader& reader) {
    const int count = reader.readCount("the vertex count", MaxVertices);
    std::vector<Vect3d> vertices;
    for (int i = 0; i < count; ++i) {
        const double a = reader.readCoordinate(VertexName(i));
        const double b = reader.readCoordinate(VertexName(i));
        const double c = reader.readCoordinate(VertexName(i));
        vertices.emplace_back(a, -c, b);
    }
    return vertices;
}

// Collinear points give a zero normal rather than NaNs.
Vect3d FaceNormal(const Vect3d& p0, const Vect3d& p1, const Vect3d& p2) {
    Vect3d normal = (p2 - p0) * (p1 - p0);
    normal.normalise();
    return normal;
}

Polygon ReadPolygon(ModelReader& reader, int j, const std::vector<Vect3d>& vertices) {
    const std::string name = PolygonName(j);
    const int count = reader.readCount(name + " vertex count", MaxPolygonVertices);
    if (count < 3) {
        std::cerr << "Strange, a polygon with less than three vertices "
                  << "Number " << j << std::endl;
    }
    Polygon polygon;
    const int vertexCount = static_cast<int>(vertices.size());
    for (int k = 0; k < count; ++k) {
        polygon.indices.push_back(
            reader.readIndex(name + " index " + std::to_string(k), vertexCount));
    }
    if (count >= 3) {
        const std::vector<int>& i = polygon.indices;
        polygon.normal = FaceNormal(vertices[i[0]], vertices[i[1]], vertices[i[2]]);
    }
    return polygon;
}

std::vector<Polygon> ReadPolygons(ModelReader& reader, const std::vector<Vect3d>& vertices) {
    const int count = reader.readCount("the polygon count", MaxPolygons);
    std::vector<Polygon> polygons;
    for (int j = 0; j < count; ++j) {
        polygons.push_back(ReadPolygon(reader, j, vertices));
    }
    return polygons;
}

// The start values take part in the comparisons, so a model with no vertices keeps them
// and ends with a negative texScale.
void SetBounds(Model& model) {
    model.minX = 1000.0;
    model.minY = 1000.0;
    model.maxX = -1000.0;
    model.maxY = -1000.0;
    for (const Vect3d& v : model.vertices) {
        model.minX = std::min(model.minX, v.x);
        model.minY = std::min(model.minY, v.y);
        model.maxX = std::max(model.maxX, v.x);
        model.maxY = std::max(model.maxY, v.y);
    }
    model.centreX = (model.minX + model.maxX) * 0.5;
    model.centreY = (model.minY + model.maxY) * 0.5;
    const double w = model.maxX - model.minX;
    const double h = model.maxY - model.minY;
    const double longer = w >= h ? w : h;
    // A model shrunk to a point, or to an extent too small to invert (1e-310), has nothing to
    // scale by; 1 keeps its coordinates at 0.5.
    const double scale = 1.0 / longer;
    model.texScale = std::isfinite(scale) ? scale : 1.0;
}

}  // namespace

void Model::load(std::string fileName) {
    std::ifstream in(fileName);
    if (!in.good()) {
        throw std::runtime_error("Unable to load file " + fileName);
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ModelReader reader(text, fileName);
    // Built aside and committed only once the whole file has been read.
    Model loaded;
    loaded.vertices = ReadVertices(reader);
    loaded.polygons = ReadPolygons(reader, loaded.vertices);
    SetBounds(loaded);
    *this = std::move(loaded);
}

void Model::draw(bool textured) const {
    for (const Polygon& polygon : polygons) {
        if (polygon.indices.size() < 3) {
            continue;
        }
        glBegin(GL_POLYGON);
        glNormal3f(static_cast<float>(polygon.normal.x), static_cast<float>(polygon.normal.y),
                   static_cast<float>(polygon.normal.z));
        // Reversed, so the polygon is counter-clockwise seen from its normal's side.
        for (auto k = polygon.indices.rbegin(); k != polygon.indices.rend(); ++k) {
            const Vect3d& v = vertices[*k];
            if (textured) {
                glTexCoord2f(static_cast<float>((v.x - centreX) * texScale + 0.5),
                             static_cast<float>((v.y - centreY) * texScale + 0.5));
            }
            glVertex3f(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
        }
        glEnd();
    }
}
