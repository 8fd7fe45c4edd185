#include "ObjImport.h"

#include "Geometry.h"

#include <tiny_obj_loader.h>

#include <map>

namespace mayahost {

std::vector<Node*> importObj(const std::string& path, std::string& error) {
    tinyobj::ObjReaderConfig config;
    config.triangulate = false; // Maya keeps the polygons; the extractor triangulates
    config.mtl_search_path = "";
    tinyobj::ObjReader reader;
    if (!reader.ParseFromFile(path, config)) {
        error = "Could not read file: " + path + (reader.Error().empty() ? "" : " (" + reader.Error() + ")");
        return {};
    }
    const auto& attrib = reader.GetAttrib();
    std::vector<Node*> made;
    Scene& scene = Scene::get();
    for (const auto& shape : reader.GetShapes()) {
        const auto& m = shape.mesh;
        if (m.num_face_vertices.empty()) continue;
        auto mesh = std::make_shared<Mesh>();
        std::map<int, int> pointOf, uvOf;
        bool allNormals = true, anyUV = false;
        size_t at = 0;
        bool bad = false;
        for (unsigned char count : m.num_face_vertices) {
            std::vector<int> face, uvs;
            std::vector<Vec3> normals;
            for (unsigned k = 0; k < count; ++k, ++at) {
                const tinyobj::index_t& idx = m.indices[at];
                if (idx.vertex_index < 0 || 3 * static_cast<size_t>(idx.vertex_index) + 2 >= attrib.vertices.size()) {
                    bad = true;
                    continue;
                }
                auto [it, fresh] = pointOf.try_emplace(idx.vertex_index, static_cast<int>(mesh->points.size()));
                if (fresh)
                    mesh->points.push_back({attrib.vertices[3 * idx.vertex_index], attrib.vertices[3 * idx.vertex_index + 1],
                                            attrib.vertices[3 * idx.vertex_index + 2]});
                face.push_back(it->second);
                if (idx.normal_index >= 0 && 3 * static_cast<size_t>(idx.normal_index) + 2 < attrib.normals.size()) {
                    normals.push_back({attrib.normals[3 * idx.normal_index], attrib.normals[3 * idx.normal_index + 1],
                                       attrib.normals[3 * idx.normal_index + 2]});
                } else {
                    allNormals = false;
                    normals.push_back({0, 0, 0});
                }
                if (idx.texcoord_index >= 0 && 2 * static_cast<size_t>(idx.texcoord_index) + 1 < attrib.texcoords.size()) {
                    auto [u, freshUV] = uvOf.try_emplace(idx.texcoord_index, static_cast<int>(mesh->uvs.size()));
                    if (freshUV)
                        mesh->uvs.push_back({attrib.texcoords[2 * idx.texcoord_index],
                                             attrib.texcoords[2 * idx.texcoord_index + 1]});
                    uvs.push_back(u->second);
                    anyUV = true;
                } else {
                    uvs.push_back(-1);
                }
            }
            if (face.size() >= 3) {
                mesh->faces.push_back(face);
                mesh->normals.push_back(normals);
                mesh->uvIds.push_back(uvs);
            }
        }
        if (bad) {
            error = "Bad vertex index in " + path;
            return made;
        }
        if (mesh->faces.empty()) continue;
        if (!allNormals) geometry::faceNormals(*mesh);
        if (anyUV) {
            mesh->uvSet = "map1";
            mesh->hasUVs = true;
        } else {
            mesh->uvIds.clear();
        }
        std::string name = shape.name.empty() ? "polySurface#" : shape.name;
        Node* t = scene.createNode("transform", name);
        Node* s = scene.createNode("mesh", t->name + "Shape", t, [&](Node* n) { n->mesh = mesh; });
        scene.assign(scene.find("initialShadingGroup"), s, 0, {});
        made.push_back(t);
    }
    return made;
}

} // namespace mayahost
