#include "SceneDraw.h"

#include "Bridge.h"
#include "Host.h"
#include "Matrix.h"

#include <maya/MFrameContext.h>
#include <maya/MViewport2Renderer.h>

#include <epoxy/gl.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace mayahost::draw {
namespace {

using MHWRender::MFrameContext;
using MHWRender::MSceneRender;

// --- Programs --------------------------------------------------------------------------

constexpr int kMaxLights = 8; // Maya's default light limit

const char* kShadedVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
uniform mat4 uWorld;
uniform mat4 uViewProjection;
uniform mat3 uNormalMatrix;
out vec3 vPosition;
out vec3 vNormal;
void main() {
    vec4 world = uWorld * vec4(aPosition, 1.0);
    vPosition = world.xyz;
    vNormal = uNormalMatrix * aNormal;
    gl_Position = uViewProjection * world;
}
)";

// Lambert: the diffuse colour times the light arriving from each light, both sides lit.
const char* kShadedFragment = R"(#version 330 core
const int kMaxLights = 8;
uniform vec3 uDiffuse;
uniform vec3 uAmbient;
uniform int uLightCount;
uniform int uLightType[kMaxLights];
uniform vec3 uLightColor[kMaxLights];
uniform vec3 uLightVector[kMaxLights];
uniform vec3 uSpotDirection[kMaxLights];
uniform vec3 uSpotCone[kMaxLights];
in vec3 vPosition;
in vec3 vNormal;
out vec4 fragColor;
void main() {
    vec3 n = normalize(vNormal);
    if (!gl_FrontFacing) n = -n;
    vec3 light = uAmbient;
    for (int i = 0; i < uLightCount; ++i) {
        vec3 l = uLightVector[i];
        float factor = 1.0;
        if (uLightType[i] != 0) {
            l = normalize(uLightVector[i] - vPosition);
            if (uLightType[i] == 2) {
                float c = dot(-l, uSpotDirection[i]);
                vec3 cone = uSpotCone[i];
                float inside = cone.x > cone.y ? smoothstep(cone.y, cone.x, c) : step(cone.x, c);
                factor = inside * pow(max(c, 0.0), cone.z);
            }
        }
        light += uLightColor[i] * factor * max(dot(n, l), 0.0);
    }
    fragColor = vec4(uDiffuse * light, 1.0);
}
)";

const char* kLineVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
uniform mat4 uWorldViewProjection;
uniform float uDepthBias;
void main() {
    gl_Position = uWorldViewProjection * vec4(aPosition, 1.0);
    gl_Position.z -= uDepthBias * gl_Position.w;
}
)";

const char* kLineFragment = R"(#version 330 core
uniform vec3 uColor;
out vec4 fragColor;
void main() { fragColor = vec4(uColor, 1.0); }
)";

GLuint compile(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "maya: viewport shader does not compile: %s\n", log);
    }
    return shader;
}

GLuint link(const char* vertex, const char* fragment) {
    GLuint program = glCreateProgram();
    GLuint vs = compile(GL_VERTEX_SHADER, vertex), fs = compile(GL_FRAGMENT_SHADER, fragment);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "maya: viewport shaders do not link: %s\n", log);
    }
    return program;
}

struct Programs {
    GLuint shaded = 0, line = 0;
    GLint world = -1, viewProjection = -1, normalMatrix = -1, diffuse = -1, ambient = -1, lightCount = -1;
    GLint lightType = -1, lightColor = -1, lightVector = -1, spotDirection = -1, spotCone = -1;
    GLint lineMatrix = -1, lineBias = -1, lineColor = -1;
    GLuint lineVao = 0, lineVbo = 0; // for lines built each frame
};

Programs& programs() {
    static Programs p;
    if (p.shaded) return p;
    p.shaded = link(kShadedVertex, kShadedFragment);
    p.world = glGetUniformLocation(p.shaded, "uWorld");
    p.viewProjection = glGetUniformLocation(p.shaded, "uViewProjection");
    p.normalMatrix = glGetUniformLocation(p.shaded, "uNormalMatrix");
    p.diffuse = glGetUniformLocation(p.shaded, "uDiffuse");
    p.ambient = glGetUniformLocation(p.shaded, "uAmbient");
    p.lightCount = glGetUniformLocation(p.shaded, "uLightCount");
    p.lightType = glGetUniformLocation(p.shaded, "uLightType");
    p.lightColor = glGetUniformLocation(p.shaded, "uLightColor");
    p.lightVector = glGetUniformLocation(p.shaded, "uLightVector");
    p.spotDirection = glGetUniformLocation(p.shaded, "uSpotDirection");
    p.spotCone = glGetUniformLocation(p.shaded, "uSpotCone");
    p.line = link(kLineVertex, kLineFragment);
    p.lineMatrix = glGetUniformLocation(p.line, "uWorldViewProjection");
    p.lineBias = glGetUniformLocation(p.line, "uDepthBias");
    p.lineColor = glGetUniformLocation(p.line, "uColor");
    glGenVertexArrays(1, &p.lineVao);
    glGenBuffers(1, &p.lineVbo);
    glBindVertexArray(p.lineVao);
    glBindBuffer(GL_ARRAY_BUFFER, p.lineVbo);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return p;
}

void toFloats(const MMatrix& m, float out[16]) {
    // Maya's row-vector matrix, stored row by row, is the column-major matrix OpenGL's
    // column-vector products want.
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r * 4 + c] = static_cast<float>(m.matrix[r][c]);
}

// --- Meshes on the GPU ------------------------------------------------------------------

struct GpuMesh {
    std::weak_ptr<const Mesh> source;
    GLuint vao = 0, vbo = 0, edgeVao = 0, edgeVbo = 0;
    std::vector<GLint> faceFirst; // first vertex of each face's triangles; one past the end last
    GLsizei edgeVertices = 0;
};

std::unordered_map<const Mesh*, GpuMesh>& meshCache() {
    static std::unordered_map<const Mesh*, GpuMesh> cache;
    return cache;
}

void release(GpuMesh& g) {
    glDeleteVertexArrays(1, &g.vao);
    glDeleteBuffers(1, &g.vbo);
    glDeleteVertexArrays(1, &g.edgeVao);
    glDeleteBuffers(1, &g.edgeVbo);
}

Vec3 faceNormal(const Mesh& m, const std::vector<int>& face) {
    Vec3 n{0, 0, 0};
    for (size_t i = 0; i < face.size(); ++i) {
        const Vec3& a = m.points[face[i]];
        const Vec3& b = m.points[face[(i + 1) % face.size()]];
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    double l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (l > 0)
        for (double& c : n) c /= l;
    return n;
}

const GpuMesh& upload(const std::shared_ptr<Mesh>& mesh) {
    auto& cache = meshCache();
    auto it = cache.find(mesh.get());
    if (it != cache.end() && it->second.source.lock() == mesh) return it->second;
    if (it != cache.end()) {
        release(it->second);
        cache.erase(it);
    }
    GpuMesh g;
    g.source = mesh;
    const Mesh& m = *mesh;
    // Triangles as fans from each polygon's first corner, with the face-vertex normals.
    std::vector<float> vertices;
    std::set<std::pair<int, int>> edges;
    auto corner = [&](size_t f, size_t k, const Vec3& fallback) {
        const Vec3& p = m.points[m.faces[f][k]];
        const Vec3& n = f < m.normals.size() && k < m.normals[f].size() ? m.normals[f][k] : fallback;
        for (double v : p) vertices.push_back(static_cast<float>(v));
        for (double v : n) vertices.push_back(static_cast<float>(v));
    };
    for (size_t f = 0; f < m.faces.size(); ++f) {
        const auto& face = m.faces[f];
        g.faceFirst.push_back(static_cast<GLint>(vertices.size() / 6));
        Vec3 n = faceNormal(m, face);
        for (size_t k = 1; k + 1 < face.size(); ++k) {
            corner(f, 0, n);
            corner(f, k, n);
            corner(f, k + 1, n);
        }
        for (size_t k = 0; k < face.size(); ++k) {
            int a = face[k], b = face[(k + 1) % face.size()];
            edges.insert({std::min(a, b), std::max(a, b)});
        }
    }
    g.faceFirst.push_back(static_cast<GLint>(vertices.size() / 6));
    glGenVertexArrays(1, &g.vao);
    glGenBuffers(1, &g.vbo);
    glBindVertexArray(g.vao);
    glBindBuffer(GL_ARRAY_BUFFER, g.vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                 GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float), reinterpret_cast<void*>(3 * sizeof(float)));
    // The wireframe: every polygon edge once.
    std::vector<float> lines;
    for (const auto& [a, b] : edges)
        for (int p : {a, b})
            for (double v : m.points[p]) lines.push_back(static_cast<float>(v));
    g.edgeVertices = static_cast<GLsizei>(lines.size() / 3);
    glGenVertexArrays(1, &g.edgeVao);
    glGenBuffers(1, &g.edgeVbo);
    glBindVertexArray(g.edgeVao);
    glBindBuffer(GL_ARRAY_BUFFER, g.edgeVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(lines.size() * sizeof(float)), lines.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return cache[mesh.get()] = std::move(g);
}

// --- What the scene holds ----------------------------------------------------------------

struct Surface {
    Path path;
    Node* shape = nullptr;
    int instance = 0;
    MMatrix world;
};

bool excluded(const Node* shape, MUint64 exclusions) {
    if (shape->hasFn(MFn::kMesh)) return (exclusions & MFrameContext::kExcludeMeshes) != 0;
    if (shape->hasFn(MFn::kNurbsSurface)) return (exclusions & MFrameContext::kExcludeNurbsSurfaces) != 0;
    return true;
}

bool drawable(const Node* shape, const Path& path, MUint64 exclusions) {
    Scene& scene = Scene::get();
    return shape->mesh && !excluded(shape, exclusions) && scene.number(shape, scene.findAttr(shape, "io")) == 0 &&
           scene.isVisible(path);
}

std::vector<Surface> surfaces(MUint64 exclusions) {
    Scene& scene = Scene::get();
    std::vector<Surface> out;
    for (Node* n : scene.liveNodes()) {
        if (!n->mesh || excluded(n, exclusions)) continue;
        auto paths = scene.allPaths(n);
        for (size_t i = 0; i < paths.size(); ++i)
            if (drawable(n, paths[i], exclusions))
                out.push_back({paths[i], n, static_cast<int>(i), scene.worldMatrix(paths[i])});
    }
    return out;
}

// Diffuse colour of the lambert behind a shading set (Maya's lambert1 without one).
std::array<float, 3> diffuseOf(Node* set) {
    Scene& scene = Scene::get();
    Node* shader = set ? scene.shaderOf(set) : nullptr;
    if (!shader || !shader->hasFn(MFn::kLambert)) return {0.4f, 0.4f, 0.4f};
    const AttrDef* color = scene.findAttr(shader, "c");
    double diffuse = scene.number(shader, scene.findAttr(shader, "dc"));
    std::array<float, 3> out{};
    for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(scene.number(shader, color->children[i]) * diffuse);
    return out;
}

struct Lights {
    int count = 0;
    GLint type[kMaxLights] = {};
    float color[kMaxLights][3] = {}, vector[kMaxLights][3] = {}, spot[kMaxLights][3] = {}, cone[kMaxLights][3] = {};
    float ambient[3] = {0, 0, 0};
};

void normalize(double v[3]) {
    double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (l > 0)
        for (int i = 0; i < 3; ++i) v[i] /= l;
}

// The scene's lights; Maya's default light (a white headlight along the view) when the
// scene has none.
Lights lights(const FrameState& frame) {
    Scene& scene = Scene::get();
    Lights out;
    bool any = false;
    for (Node* n : scene.liveNodes()) {
        if (!n->hasFn(MFn::kLight)) continue;
        for (const Path& path : scene.allPaths(n)) {
            if (!scene.isVisible(path)) continue;
            any = true;
            auto value = [&](const char* name) { return scene.number(n, scene.findAttr(n, name)); };
            const AttrDef* cl = scene.findAttr(n, "cl");
            double intensity = value("in");
            double color[3];
            for (int i = 0; i < 3; ++i) color[i] = scene.number(n, cl->children[i]) * intensity;
            if (n->hasFn(MFn::kAmbientLight)) {
                for (int i = 0; i < 3; ++i) out.ambient[i] += static_cast<float>(color[i]);
                continue;
            }
            if (out.count == kMaxLights) continue;
            MMatrix world = scene.worldMatrix(path);
            int k = out.count++;
            // Lights shine down their local -Z axis.
            double back[3] = {world.matrix[2][0], world.matrix[2][1], world.matrix[2][2]};
            normalize(back);
            for (int i = 0; i < 3; ++i) out.color[k][i] = static_cast<float>(color[i]);
            if (n->hasFn(MFn::kDirectionalLight)) {
                out.type[k] = 0;
                for (int i = 0; i < 3; ++i) out.vector[k][i] = static_cast<float>(back[i]);
                continue;
            }
            out.type[k] = n->hasFn(MFn::kSpotLight) ? 2 : 1;
            for (int i = 0; i < 3; ++i) {
                out.vector[k][i] = static_cast<float>(world.matrix[3][i]);
                out.spot[k][i] = static_cast<float>(-back[i]);
            }
            if (out.type[k] == 2) {
                double half = value("ca") / 2, penumbra = value("pa");
                double inner = penumbra < 0 ? half + penumbra : half, outer = penumbra > 0 ? half + penumbra : half;
                out.cone[k][0] = static_cast<float>(std::cos(inner));
                out.cone[k][1] = static_cast<float>(std::cos(outer));
                out.cone[k][2] = static_cast<float>(value("dro"));
            }
        }
    }
    if (!any) {
        double back[3] = {frame.view.viewInverse.matrix[2][0], frame.view.viewInverse.matrix[2][1],
                          frame.view.viewInverse.matrix[2][2]};
        normalize(back);
        out.count = 1;
        out.type[0] = 0;
        for (int i = 0; i < 3; ++i) {
            out.color[0][i] = 1;
            out.vector[0][i] = static_cast<float>(back[i]);
        }
    }
    return out;
}

// --- Passes -----------------------------------------------------------------------------

void drawShaded(const FrameState& frame) {
    Programs& p = programs();
    glUseProgram(p.shaded);
    float viewProjection[16];
    toFloats(frame.view.view * frame.view.projection, viewProjection);
    glUniformMatrix4fv(p.viewProjection, 1, GL_FALSE, viewProjection);
    Lights l = lights(frame);
    glUniform3fv(p.ambient, 1, l.ambient);
    glUniform1i(p.lightCount, l.count);
    glUniform1iv(p.lightType, kMaxLights, l.type);
    glUniform3fv(p.lightColor, kMaxLights, &l.color[0][0]);
    glUniform3fv(p.lightVector, kMaxLights, &l.vector[0][0]);
    glUniform3fv(p.spotDirection, kMaxLights, &l.spot[0][0]);
    glUniform3fv(p.spotCone, kMaxLights, &l.cone[0][0]);
    for (const Surface& s : surfaces(frame.exclusions)) {
        const GpuMesh& g = upload(s.shape->mesh);
        float world[16], normal[9];
        toFloats(s.world, world);
        // Normals go through the inverse transpose of the world matrix.
        MMatrix inverse = inverseMatrix(s.world);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) normal[r * 3 + c] = static_cast<float>(inverse.matrix[c][r]);
        glUniformMatrix4fv(p.world, 1, GL_FALSE, world);
        glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normal);
        glBindVertexArray(g.vao);
        const Membership* m = s.instance < static_cast<int>(s.shape->members.size()) ? &s.shape->members[s.instance]
                                                                                      : nullptr;
        size_t faces = g.faceFirst.size() - 1;
        if (!m || m->faceSets.size() != faces) {
            auto color = diffuseOf(m ? m->whole : nullptr);
            glUniform3fv(p.diffuse, 1, color.data());
            glDrawArrays(GL_TRIANGLES, 0, g.faceFirst.back());
            continue;
        }
        // Per-face shading: one draw per run of faces in the same set.
        for (size_t f = 0; f < faces;) {
            size_t end = f;
            while (end < faces && m->faceSets[end] == m->faceSets[f]) ++end;
            auto color = diffuseOf(m->faceSets[f]);
            glUniform3fv(p.diffuse, 1, color.data());
            glDrawArrays(GL_TRIANGLES, g.faceFirst[f], g.faceFirst[end] - g.faceFirst[f]);
            f = end;
        }
    }
}

void drawLines(const std::vector<float>& points, const MMatrix& worldViewProjection, const float color[3],
               float bias) {
    Programs& p = programs();
    glUseProgram(p.line);
    float m[16];
    toFloats(worldViewProjection, m);
    glUniformMatrix4fv(p.lineMatrix, 1, GL_FALSE, m);
    glUniform1f(p.lineBias, bias);
    glUniform3fv(p.lineColor, 1, color);
    glBindVertexArray(p.lineVao);
    glBindBuffer(GL_ARRAY_BUFFER, p.lineVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * sizeof(float)), points.data(),
                 GL_STREAM_DRAW);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(points.size() / 3));
}

// Interface lines sit a little in front of the surfaces they are drawn on.
constexpr float kLineBias = 2e-6f;

constexpr float kGridColor[3] = {0.53f, 0.53f, 0.53f};
constexpr float kGridAxisColor[3] = {0, 0, 0};
constexpr int kGridSize = 12; // units from the origin to the edge, one line per unit

// The ground grid: the XZ plane in perspective views; an orthographic view gets the
// plane facing it (XY from the front, YZ from the side).
void drawGrid(const FrameState& frame) {
    int a = 0, b = 2; // grid axes
    if (frame.view.orthographic) {
        const double* back = frame.view.viewInverse.matrix[2];
        int facing = 0;
        for (int i = 1; i < 3; ++i)
            if (std::fabs(back[i]) > std::fabs(back[facing])) facing = i;
        a = facing == 0 ? 1 : 0;
        b = facing == 2 ? 1 : 2;
    }
    std::vector<float> lines, axes;
    auto line = [&](std::vector<float>& out, int fixedAxis, int along, double at) {
        for (double end : {-kGridSize, kGridSize}) {
            float p[3] = {0, 0, 0};
            p[fixedAxis] = static_cast<float>(at);
            p[along] = static_cast<float>(end);
            out.insert(out.end(), p, p + 3);
        }
    };
    for (int i = -kGridSize; i <= kGridSize; ++i) {
        line(i == 0 ? axes : lines, a, b, i);
        line(i == 0 ? axes : lines, b, a, i);
    }
    MMatrix viewProjection = frame.view.view * frame.view.projection;
    drawLines(lines, viewProjection, kGridColor, 0);
    drawLines(axes, viewProjection, kGridAxisColor, 0);
}

constexpr float kLeadColor[3] = {0.26f, 1.0f, 0.64f}; // the last selected object
constexpr float kActiveColor[3] = {1, 1, 1};

struct Selected {
    Path path;
    bool lead = false;
};

std::vector<Selected> selection() {
    std::vector<Selected> out;
    const auto& items = Bridge::items(host::activeSelection());
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].isDag || !Bridge::liveNode(items[i].node)) continue;
        out.push_back({Bridge::path(items[i].path), false});
    }
    if (!out.empty()) out.back().lead = true;
    return out;
}

void shapesBelow(const Path& path, std::vector<Path>& out) {
    if (path.back()->mesh) out.push_back(path);
    for (Node* c : path.back()->children) {
        Path p = path;
        p.push_back(c);
        shapesBelow(p, out);
    }
}

void drawSelection(const FrameState& frame) {
    Scene& scene = Scene::get();
    Programs& p = programs();
    MMatrix viewProjection = frame.view.view * frame.view.projection;
    for (const Selected& s : selection()) {
        std::vector<Path> shapes;
        shapesBelow(s.path, shapes);
        for (const Path& path : shapes) {
            if (!drawable(path.back(), path, frame.exclusions)) continue;
            const GpuMesh& g = upload(path.back()->mesh);
            glUseProgram(p.line);
            float m[16];
            toFloats(scene.worldMatrix(path) * viewProjection, m);
            glUniformMatrix4fv(p.lineMatrix, 1, GL_FALSE, m);
            glUniform1f(p.lineBias, kLineBias);
            glUniform3fv(p.lineColor, 1, s.lead ? kLeadColor : kActiveColor);
            glBindVertexArray(g.edgeVao);
            glDrawArrays(GL_LINES, 0, g.edgeVertices);
        }
    }
}

// Fraction of the viewport's height the manipulator's arms span.
constexpr double kManipulatorSize = 0.12;

// The move manipulator of the lead selected transform: its world axes, red, green, blue.
void drawManipulator(const FrameState& frame) {
    auto selected = selection();
    if (selected.empty()) return;
    Path path = selected.back().path;
    while (!path.empty() && !path.back()->hasFn(MFn::kTransform)) path.pop_back();
    if (path.empty()) return;
    MMatrix world = Scene::get().worldMatrix(path);
    double origin[3] = {world.matrix[3][0], world.matrix[3][1], world.matrix[3][2]}, eye[3];
    transformPoint(frame.view.view, origin, eye);
    // A constant size on screen: scaled by the depth in perspective views.
    double depth = frame.view.orthographic ? 1 : std::max(-eye[2], 1e-6);
    double length = kManipulatorSize * 2 * depth / frame.view.projection.matrix[1][1];
    static const float colors[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    MMatrix viewProjection = frame.view.view * frame.view.projection;
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<float> arm;
        for (int end = 0; end < 2; ++end)
            for (int i = 0; i < 3; ++i) arm.push_back(static_cast<float>(origin[i] + (i == axis ? end * length : 0)));
        drawLines(arm, viewProjection, colors[axis], kLineBias);
    }
}

} // namespace

void drawScene(const FrameState& frame, unsigned int filter) {
    if (filter == MSceneRender::kNoSceneFilterOverride) filter = MSceneRender::kRenderAllItems;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, frame.width, frame.height);
    if ((filter & MSceneRender::kRenderPreSceneUIItems) && !(frame.exclusions & MFrameContext::kExcludeGrid))
        drawGrid(frame);
    if (filter & MSceneRender::kRenderOpaqueShadedItems) drawShaded(frame);
    if (filter & MSceneRender::kRenderPostSceneUIItems) {
        drawSelection(frame);
        if (!(frame.exclusions & MFrameContext::kExcludeManipulators)) drawManipulator(frame);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
    glDisable(GL_DEPTH_TEST);
}

void releaseUnusedMeshes() {
    auto& cache = meshCache();
    for (auto it = cache.begin(); it != cache.end();) {
        if (it->second.source.expired()) {
            release(it->second);
            it = cache.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace mayahost::draw
