#pragma once
#include "Scene.h"

#include <string>
#include <vector>

namespace mayahost {
// Imports an OBJ file: one mesh (with its transform) per group, UVs and normals kept.
// Returns the new transforms; `error` is set when the file cannot be read.
std::vector<Node*> importObj(const std::string& path, std::string& error);
}
