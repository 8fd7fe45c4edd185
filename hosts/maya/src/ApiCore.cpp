// Value classes: MStatus, MString, MObject, MObjectHandle, MMatrix, MTransformationMatrix.
#include "Bridge.h"
#include "Matrix.h"

#include <maya/MObjectHandle.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTransformationMatrix.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace mayahost;

// --- MStatus -------------------------------------------------------------------------

MString MStatus::errorString() const {
    switch (fStatusCode) {
    case kSuccess: return "(kSuccess): No error";
    case kFailure: return "(kFailure): Unexpected Internal Failure";
    case kInsufficientMemory: return "(kInsufficientMemory): Insufficient memory";
    case kInvalidParameter: return "(kInvalidParameter): Object is incompatible with this method";
    case kLicenseFailure: return "(kLicenseFailure): License failure";
    case kUnknownParameter: return "(kUnknownParameter): Unknown parameter";
    case kNotImplemented: return "(kNotImplemented): Not implemented";
    case kNotFound: return "(kNotFound): Object not found";
    case kEndOfFile: return "(kEndOfFile): End of file";
    }
    return "(unknown)";
}

void MStatus::perror(const char* text) const {
    std::fprintf(stderr, "%s: %s\n", text ? text : "", errorString().asChar());
}

void MStatus::perror(const MString& text) const { perror(text.asChar()); }

// --- MString -------------------------------------------------------------------------

static void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes UTF-8; a malformed byte becomes U+FFFD.
static std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0)) {
            out += U'\xFFFD';
            ++i;
            continue;
        }
        char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char n = static_cast<unsigned char>(s[i + k]);
            if ((n & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (n & 0x3F);
        }
        if (!ok) {
            out += U'\xFFFD';
            ++i;
            continue;
        }
        out += c;
        i += extra + 1;
    }
    return out;
}

MStatus MString::setWChar(const wchar_t* text) {
    int n = 0;
    if (text)
        while (text[n]) ++n;
    return setWChar(text, n);
}

MStatus MString::setWChar(const wchar_t* text, int length) {
    fText.clear();
    for (int i = 0; text && i < length; ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        // UTF-16 surrogate pairs (as Windows wide strings carry them) join into one code point.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length) {
            char32_t low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(fText, c);
    }
    return MS::kSuccess;
}

const wchar_t* MString::asWChar() const {
    fWide.clear();
    for (char32_t c : decodeUtf8(fText)) {
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                fWide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                fWide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
                continue;
            }
        }
        fWide += static_cast<wchar_t>(c);
    }
    return fWide.c_str();
}

const wchar_t* MString::asWChar(int& length) const {
    const wchar_t* w = asWChar();
    length = static_cast<int>(fWide.size());
    return w;
}

unsigned int MString::numChars() const { return static_cast<unsigned int>(decodeUtf8(fText).size()); }
int MString::asInt() const { return std::atoi(fText.c_str()); }
double MString::asDouble() const { return std::atof(fText.c_str()); }

// --- MObject and MObjectHandle -------------------------------------------------------

MObject MObject::kNullObj;

bool MObject::hasFn(MFn::Type type) const {
    if (Node* n = Bridge::node(*this)) return n->hasFn(type);
    if (!ptr) return false;
    return type == fType || type == MFn::kBase ||
           (type == MFn::kAttribute && fType == MFn::kTypedAttribute) ||
           (type == MFn::kData && fType == MFn::kStringData);
}

MFn::Type MObject::apiType() const { return fType; }

const char* MObject::apiTypeStr() const {
    if (Node* n = Bridge::node(*this)) return n->cls->name.c_str();
    return ptr ? "kObject" : "kInvalid";
}

bool MObjectHandle::isAlive() const {
    Node* n = Bridge::node(fObject);
    return n ? n->alive : !fObject.isNull();
}

unsigned int MObjectHandle::hashCode() const {
    auto v = reinterpret_cast<std::uintptr_t>(Bridge::data(fObject));
    std::uint64_t h = static_cast<std::uint64_t>(v) * 0x9E3779B97F4A7C15ull;
    return static_cast<unsigned int>(h >> 32);
}

// --- Bridge --------------------------------------------------------------------------

namespace {
// Marks the objects whose pointer is a scene node (others carry attribute or data pointers).
struct NodeTag {};
const NodeTag nodeTag;
} // namespace

MObject Bridge::object(Node* node) {
    MObject o;
    if (!node) return o;
    o.ptr = node;
    o.fType = node->apiType();
    o.fKeep = std::shared_ptr<const void>(&nodeTag, [](const void*) {});
    return o;
}

Node* Bridge::node(const MObject& object) {
    return object.fKeep.get() == &nodeTag ? static_cast<Node*>(object.ptr) : nullptr;
}

Node* Bridge::liveNode(const MObject& object) {
    Node* n = node(object);
    return n && n->alive ? n : nullptr;
}

MObject Bridge::attribute(const AttrDef* attr) {
    MObject o;
    if (!attr) return o;
    o.ptr = const_cast<AttrDef*>(attr);
    o.fType = MFn::kTypedAttribute;
    return o;
}

const AttrDef* Bridge::attr(const MObject& object) {
    return object.fType == MFn::kTypedAttribute && !object.fKeep ? static_cast<const AttrDef*>(object.ptr) : nullptr;
}

MObject Bridge::component(std::vector<int> faces) {
    auto c = std::make_shared<Component>();
    c->faces = std::move(faces);
    MObject o;
    o.ptr = c.get();
    o.fType = MFn::kMeshPolygonComponent;
    o.fKeep = c;
    return o;
}

const Component* Bridge::component(const MObject& object) {
    return object.fType == MFn::kMeshPolygonComponent ? static_cast<const Component*>(object.ptr) : nullptr;
}

MObject Bridge::data(MFn::Type type, std::shared_ptr<const void> keep) {
    MObject o;
    o.ptr = const_cast<void*>(keep.get());
    o.fType = type;
    o.fKeep = std::move(keep);
    return o;
}

const void* Bridge::data(const MObject& object) { return object.ptr; }

MDagPath Bridge::path(const Path& path) {
    MDagPath p;
    p.fNodes.assign(path.begin(), path.end());
    p.fValid = true;
    return p;
}

Path Bridge::path(const MDagPath& path) {
    Path p;
    for (void* n : path.fNodes) p.push_back(static_cast<Node*>(n));
    return p;
}

MPlug Bridge::plug(const Plug& plug) {
    MPlug p;
    p.fNode = plug.node;
    p.fAttr = plug.attr;
    p.fIndex[0] = plug.index[0];
    p.fIndex[1] = plug.index[1];
    return p;
}

Plug Bridge::plug(const MPlug& plug) {
    Plug p;
    p.node = static_cast<Node*>(plug.fNode);
    p.attr = static_cast<const AttrDef*>(plug.fAttr);
    p.index[0] = plug.fIndex[0];
    p.index[1] = plug.fIndex[1];
    return p;
}

// --- MMatrix and MTransformationMatrix -----------------------------------------------

const MMatrix MMatrix::identity;

MMatrix::MMatrix() { setToIdentity(); }

MMatrix::MMatrix(const double m[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MMatrix& MMatrix::setToIdentity() {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = r == c ? 1.0 : 0.0;
    return *this;
}

MMatrix MMatrix::operator*(const MMatrix& right) const {
    MMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += matrix[r][k] * right.matrix[k][c];
            out.matrix[r][c] = sum;
        }
    return out;
}

bool MMatrix::operator==(const MMatrix& other) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (matrix[r][c] != other.matrix[r][c]) return false;
    return true;
}

bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(matrix[r][c] - other.matrix[r][c]) > tolerance) return false;
    return true;
}

MMatrix MMatrix::transpose() const {
    MMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.matrix[r][c] = matrix[c][r];
    return out;
}

MMatrix mayahost::composeMatrix(const double translate[3], const double rotate[3], const double scale[3], int order) {
    MMatrix s, axes[3], t;
    for (int i = 0; i < 3; ++i) s.matrix[i][i] = scale[i];
    for (int axis = 0; axis < 3; ++axis) {
        double c = std::cos(rotate[axis]), n = std::sin(rotate[axis]);
        int a = (axis + 1) % 3, b = (axis + 2) % 3; // row-vector rotation in the plane (a, b)
        axes[axis].matrix[a][a] = c;
        axes[axis].matrix[a][b] = n;
        axes[axis].matrix[b][a] = -n;
        axes[axis].matrix[b][b] = c;
    }
    static const int sequences[7][3] = {{0, 1, 2}, {0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
    const int* seq = sequences[(order >= 1 && order <= 6) ? order : 1];
    MMatrix r = axes[seq[0]] * axes[seq[1]] * axes[seq[2]];
    for (int i = 0; i < 3; ++i) t.matrix[3][i] = translate[i];
    return s * r * t;
}

MMatrix MTransformationMatrix::asMatrix() const {
    return composeMatrix(fTranslate, fRotate, fScale, fOrder);
}

MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order) {
    if (order <= kInvalid || order >= kLast) return MS::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fRotate[i] = rotation[i];
    fOrder = order;
    return MS::kSuccess;
}

MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order) const {
    for (int i = 0; i < 3; ++i) rotation[i] = fRotate[i];
    order = fOrder;
    return MS::kSuccess;
}
