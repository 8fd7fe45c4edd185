#pragma once
// The camera and projection rows of a request, rewritten from Maya's matrices into the
// responder's conventions: its axes are Maya's with Y and Z exchanged, its view space
// looks along +z (Maya's looks along -z), and its depth is reversed in 0...1.

#include "link/Headers.h"

#include <maya/MMatrix.h>

// The largest 24-bit depth value the responder samples.
constexpr double kDepthSteps = 16777215.0;

// cameraMatrix from the camera-to-world matrix: rows forward, right, up, position.
void writeCamera(kvt::RequestHeader& header, const MMatrix& cameraToWorld);

// projection from Maya's projection, and, where the projection needs them, the factors
// that turn the responder's 24-bit depth back into Maya's window depth.
void writeProjection(kvt::RequestHeader& header, const MMatrix& projection);
