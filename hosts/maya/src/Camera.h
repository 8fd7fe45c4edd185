#pragma once
// Cameras as a model panel looks through them: view and projection matrices in Maya's
// row-vector convention, the projection OpenGL-style (clip z from -1 to 1).

#include "Scene.h"

#include <maya/MMatrix.h>

#include <string>

namespace mayahost::camera {

struct View {
    Path path;             // to the camera shape
    MMatrix viewInverse;   // the camera's world matrix
    MMatrix view;          // world to camera space
    MMatrix projection;
    bool orthographic = false;
};

// The camera shape named, or the one below the transform named; null if none.
Node* shapeOf(const std::string& name);

// Maya's projection for a camera shape drawn into width x height pixels: the film back
// fitted to the viewport as the shape's filmFit says, shifted by the film offset.
MMatrix projection(const Node* shape, int width, int height);

// The view through a camera (transform or shape name) into width x height pixels.
bool view(const std::string& camera, int width, int height, View& out);

} // namespace mayahost::camera
