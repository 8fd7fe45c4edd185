// MGeometryExtractor: triangulates the shape's polygons and builds one vertex per distinct
// combination of the requested streams (position, normal, UV, colour).
#include "Bridge.h"

#include <maya/MGeometryExtractor.h>

#include <cmath>
#include <cstring>
#include <map>

using namespace mayahost;

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

struct ExtractedGeometry {
    const Mesh* mesh = nullptr;
    std::shared_ptr<Mesh> keep;
    std::vector<int> vertexPoint;                    // per extracted vertex
    std::vector<std::array<double, 3>> normal;
    std::vector<std::array<double, 2>> uv;
    std::vector<std::array<double, 4>> color;
    std::vector<std::array<double, 3>> tangent, bitangent;
    std::vector<std::vector<unsigned int>> faceTriangles; // per face: 3 indices per triangle
};

MVertexBufferDescriptor::MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic,
                                                 MGeometry::DataType dataType, int dimension)
    : fName(name), fSemantic(semantic), fDataType(dataType), fDimension(dimension) {}

MVertexBufferDescriptor::MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic,
                                                 const MString& semanticName, MGeometry::DataType dataType,
                                                 int dimension)
    : fName(name), fSemantic(semantic), fSemanticName(semanticName), fDataType(dataType), fDimension(dimension) {}

static int typeSize(MGeometry::DataType type) {
    switch (type) {
    case MGeometry::kFloat: case MGeometry::kInt32: case MGeometry::kUnsignedInt32: return 4;
    case MGeometry::kDouble: return 8;
    case MGeometry::kChar: case MGeometry::kUnsignedChar: return 1;
    case MGeometry::kInt16: case MGeometry::kUnsignedInt16: return 2;
    default: return 0;
    }
}

int MVertexBufferDescriptor::stride() const { return typeSize(fDataType) * fDimension; }

MIndexBufferDescriptor::MIndexBufferDescriptor(IndexType type, const MString& name, MGeometry::Primitive primitive,
                                               unsigned int primitiveStride, MObject component,
                                               MGeometry::DataType dataType)
    : fType(type), fName(name), fPrimitive(primitive), fStride(primitiveStride), fComponent(component),
      fDataType(dataType) {}

void MGeometryRequirements::addVertexRequirement(const MVertexBufferDescriptor& d) { fVertex.push_back(d); }
void MGeometryRequirements::addIndexingRequirement(const MIndexBufferDescriptor& d) { fIndex.push_back(d); }

using V3 = std::array<double, 3>;
static V3 sub(const V3& a, const V3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
static double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
static V3 scaled(const V3& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
static V3 cross(const V3& a, const V3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
static V3 normalized(const V3& v) {
    double l = std::sqrt(dot(v, v));
    return l > 1e-20 ? scaled(v, 1 / l) : V3{0, 0, 0};
}

static void build(ExtractedGeometry& g, const MGeometryRequirements& req, bool sharing) {
    const Mesh& m = *g.mesh;
    bool wantNormal = false, wantUV = false, wantColor = false;
    for (const auto& d : Bridge::vertexRequirements(req)) {
        switch (d.semantic()) {
        case MGeometry::kNormal: wantNormal = true; break;
        case MGeometry::kTexture: case MGeometry::kTangent: case MGeometry::kBitangent:
        case MGeometry::kTangentWithSign: wantUV = true; wantNormal |= d.semantic() != MGeometry::kTexture; break;
        case MGeometry::kColor: wantColor = true; break;
        default: break;
        }
    }
    wantUV = wantUV && m.hasUVs;
    wantColor = wantColor && !m.colorSet.empty();
    std::map<std::array<double, 10>, unsigned int> seen;
    std::vector<std::vector<unsigned int>> faceVertices;
    for (size_t f = 0; f < m.faces.size(); ++f) {
        std::vector<unsigned int> ids;
        for (size_t k = 0; k < m.faces[f].size(); ++k) {
            int point = m.faces[f][k];
            V3 n = m.normals[f][k];
            std::array<double, 2> uv{0, 0};
            if (wantUV && f < m.uvIds.size() && m.uvIds[f][k] >= 0) uv = m.uvs[m.uvIds[f][k]];
            std::array<double, 4> c{0, 0, 0, 1};
            if (wantColor && static_cast<size_t>(point) < m.colors.size()) c = m.colors[point];
            // Only the streams that were asked for can split a vertex.
            std::array<double, 10> key{static_cast<double>(point), wantNormal ? n[0] : 0, wantNormal ? n[1] : 0,
                                       wantNormal ? n[2] : 0, uv[0], uv[1], c[0], c[1], c[2], c[3]};
            auto it = sharing ? seen.find(key) : seen.end();
            unsigned int id;
            if (it != seen.end()) {
                id = it->second;
            } else {
                id = static_cast<unsigned int>(g.vertexPoint.size());
                if (sharing) seen[key] = id;
                g.vertexPoint.push_back(point);
                g.normal.push_back(n);
                g.uv.push_back(uv);
                g.color.push_back(c);
            }
            ids.push_back(id);
        }
        faceVertices.push_back(ids);
        // A fan from the first corner: Maya's polygons here are convex.
        std::vector<unsigned int> tris;
        for (size_t k = 1; k + 1 < ids.size(); ++k) tris.insert(tris.end(), {ids[0], ids[k], ids[k + 1]});
        g.faceTriangles.push_back(tris);
    }
    // Tangents and bitangents from the UVs, summed over the triangles of each vertex and
    // made orthogonal to its normal.
    size_t count = g.vertexPoint.size();
    g.tangent.assign(count, V3{0, 0, 0});
    g.bitangent.assign(count, V3{0, 0, 0});
    if (!m.hasUVs) return;
    for (const auto& tris : g.faceTriangles)
        for (size_t t = 0; t + 2 < tris.size(); t += 3) {
            unsigned int a = tris[t], b = tris[t + 1], c = tris[t + 2];
            V3 e1 = sub(m.points[g.vertexPoint[b]], m.points[g.vertexPoint[a]]);
            V3 e2 = sub(m.points[g.vertexPoint[c]], m.points[g.vertexPoint[a]]);
            double du1 = g.uv[b][0] - g.uv[a][0], dv1 = g.uv[b][1] - g.uv[a][1];
            double du2 = g.uv[c][0] - g.uv[a][0], dv2 = g.uv[c][1] - g.uv[a][1];
            double det = du1 * dv2 - du2 * dv1;
            if (std::fabs(det) < 1e-20) continue;
            V3 tan = scaled(sub(scaled(e1, dv2), scaled(e2, dv1)), 1 / det);
            V3 bit = scaled(sub(scaled(e2, du1), scaled(e1, du2)), 1 / det);
            for (unsigned int v : {a, b, c})
                for (int i = 0; i < 3; ++i) {
                    g.tangent[v][i] += tan[i];
                    g.bitangent[v][i] += bit[i];
                }
        }
    for (size_t v = 0; v < count; ++v) {
        V3 n = normalized(g.normal[v]);
        V3 t = normalized(sub(g.tangent[v], scaled(n, dot(n, g.tangent[v]))));
        if (dot(t, t) == 0) t = normalized(cross(std::fabs(n[0]) < 0.9 ? V3{1, 0, 0} : V3{0, 1, 0}, n));
        // The bitangent keeps the handedness of the UV layout.
        V3 b = cross(n, t);
        if (dot(b, g.bitangent[v]) < 0) b = scaled(b, -1);
        g.tangent[v] = t;
        g.bitangent[v] = b;
    }
}

static Node* shapeOf(const MDagPath& path) {
    Node* n = Bridge::liveNode(path.node());
    return n && n->mesh && (n->hasFn(MFn::kMesh) || n->hasFn(MFn::kNurbsSurface)) ? n : nullptr;
}

MGeometryExtractor::MGeometryExtractor(const MGeometryRequirements& requirements, const MDagPath& path,
                                       const bool sharing, MStatus* status)
    : MGeometryExtractor(requirements, path, sharing ? ::MHWRender::kPolyGeom_Normal : ::MHWRender::kPolyGeom_NotSharing,
                         status) {}

MGeometryExtractor::MGeometryExtractor(const MGeometryRequirements& requirements, const MDagPath& path,
                                       ::MHWRender::MPolyGeomOptions options, MStatus* status) {
    const bool sharing = (options & ::MHWRender::kPolyGeom_NotSharing) == 0;
    Node* shape = shapeOf(path);
    if (!shape) {
        if (status) *status = MS::kInvalidParameter;
        return;
    }
    fData = std::make_unique<ExtractedGeometry>();
    fData->keep = shape->mesh;
    fData->mesh = shape->mesh.get();
    build(*fData, requirements, sharing);
    if (status) *status = MS::kSuccess;
}

MGeometryExtractor::~MGeometryExtractor() = default;

unsigned int MGeometryExtractor::vertexCount() const {
    return fData ? static_cast<unsigned int>(fData->vertexPoint.size()) : 0;
}

// The faces an index descriptor covers: its component's faces, or all of them.
static std::vector<int> facesOf(const ExtractedGeometry& g, const MIndexBufferDescriptor& d) {
    std::vector<int> faces;
    if (const Component* c = Bridge::component(d.component())) {
        for (int f : c->faces)
            if (f >= 0 && static_cast<size_t>(f) < g.faceTriangles.size()) faces.push_back(f);
    } else {
        for (size_t f = 0; f < g.faceTriangles.size(); ++f) faces.push_back(static_cast<int>(f));
    }
    return faces;
}

unsigned int MGeometryExtractor::primitiveCount(const MIndexBufferDescriptor& d) const {
    if (!fData || d.primitive() != MGeometry::kTriangles || d.indexType() != MIndexBufferDescriptor::kTriangle) return 0;
    unsigned int count = 0;
    for (int f : facesOf(*fData, d)) count += static_cast<unsigned int>(fData->faceTriangles[f].size() / 3);
    return count;
}

MStatus MGeometryExtractor::populateIndexBuffer(void* data, const unsigned int primitiveCount,
                                                const MIndexBufferDescriptor& d) const {
    unsigned int needed = this->primitiveCount(d);
    if (!fData || !data || primitiveCount < needed) return MS::kInvalidParameter;
    if (d.dataType() != MGeometry::kUnsignedInt32 && d.dataType() != MGeometry::kUnsignedInt16) return MS::kInvalidParameter;
    size_t at = 0;
    for (int f : facesOf(*fData, d))
        for (unsigned int index : fData->faceTriangles[f]) {
            if (d.dataType() == MGeometry::kUnsignedInt32) {
                std::memcpy(static_cast<char*>(data) + 4 * at, &index, 4);
            } else {
                auto small = static_cast<std::uint16_t>(index);
                std::memcpy(static_cast<char*>(data) + 2 * at, &small, 2);
            }
            ++at;
        }
    return MS::kSuccess;
}

MStatus MGeometryExtractor::populateVertexBuffer(void* data, const unsigned int vertexCount,
                                                 const MVertexBufferDescriptor& d) const {
    if (!fData || !data || vertexCount < this->vertexCount()) return MS::kInvalidParameter;
    const ExtractedGeometry& g = *fData;
    const Mesh& m = *g.mesh;
    int dim = d.dimension();
    auto needsUVSet = [&]() { return m.hasUVs && d.name() == MString(m.uvSet.c_str()); };
    std::vector<double> values;
    switch (d.semantic()) {
    case MGeometry::kPosition: break;
    case MGeometry::kNormal: break;
    case MGeometry::kTexture: case MGeometry::kTangent: case MGeometry::kBitangent:
        if (!needsUVSet()) return MS::kInvalidParameter;
        break;
    case MGeometry::kColor:
        if (m.colorSet.empty() || d.name() != MString(m.colorSet.c_str())) return MS::kInvalidParameter;
        break;
    default: return MS::kInvalidParameter;
    }
    if (dim < 1 || dim > 4) return MS::kInvalidParameter;
    if (d.dataType() != MGeometry::kFloat && !(d.semantic() == MGeometry::kColor && d.dataType() == MGeometry::kUnsignedChar))
        return MS::kInvalidParameter;
    for (size_t v = 0; v < g.vertexPoint.size(); ++v) {
        double e[4] = {0, 0, 0, 1};
        switch (d.semantic()) {
        case MGeometry::kPosition: for (int i = 0; i < 3; ++i) e[i] = m.points[g.vertexPoint[v]][i]; break;
        case MGeometry::kNormal: for (int i = 0; i < 3; ++i) e[i] = g.normal[v][i]; break;
        case MGeometry::kTexture: e[0] = g.uv[v][0]; e[1] = g.uv[v][1]; break;
        case MGeometry::kTangent: for (int i = 0; i < 3; ++i) e[i] = g.tangent[v][i]; break;
        case MGeometry::kBitangent: for (int i = 0; i < 3; ++i) e[i] = g.bitangent[v][i]; break;
        case MGeometry::kColor: for (int i = 0; i < 4; ++i) e[i] = g.color[v][i]; break;
        default: break;
        }
        for (int i = 0; i < dim; ++i) {
            if (d.dataType() == MGeometry::kFloat) {
                float f = static_cast<float>(e[i]);
                std::memcpy(static_cast<char*>(data) + (v * dim + i) * 4, &f, 4);
            } else {
                double c = std::fmin(std::fmax(e[i], 0.0), 1.0);
                static_cast<unsigned char*>(data)[v * dim + i] = static_cast<unsigned char>(std::lround(c * 255));
            }
        }
    }
    return MS::kSuccess;
}

unsigned int MGeometryExtractor::minimumBufferSize(unsigned int primitiveCount, MGeometry::Primitive primitive,
                                                   unsigned int primitiveStride) {
    switch (primitive) {
    case MGeometry::kPoints: return primitiveCount;
    case MGeometry::kLines: return primitiveCount * 2;
    case MGeometry::kTriangles: return primitiveCount * 3;
    case MGeometry::kPatch: return primitiveCount * primitiveStride;
    default: return 0;
    }
}

} // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
