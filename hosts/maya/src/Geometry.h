#pragma once
// Polygon primitives as Maya builds them, and the tessellation of a NURBS plane.

#include "Scene.h"

namespace mayahost::geometry {

std::shared_ptr<Mesh> cube(double width, double height, double depth);
std::shared_ptr<Mesh> sphere(double radius, int subdivisionsAxis, int subdivisionsHeight);
std::shared_ptr<Mesh> plane(double width, double height, int subdivisionsX, int subdivisionsY);
// A flat NURBS plane facing +Y tessellated into quads; its UVs are the surface parameters,
// kept as one set with the empty name.
std::shared_ptr<Mesh> nurbsPlane(double width, double lengthRatio, int patchesU, int patchesV);
// Per face-vertex normals: each face's own normal (hard edges).
void faceNormals(Mesh& mesh);

} // namespace mayahost::geometry
