#pragma once
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Function-set types. Only the entries this host uses, with Maya 2018's values.
class MFn {
public:
    enum Type {
        kInvalid = 0,
        kBase = 1,
        kNamedObject = 2,
        kDependencyNode = 4,
        kDagNode = 107,
        kTransform = 110,
        kWorld = 247,
        kShape = 248,
        kCamera = 250,
        kSurface = 293,
        kNurbsSurface = 294,
        kMesh = 296,
        kLight = 302,
        kAmbientLight = 303,
        kNonAmbientLight = 304,
        kNonExtendedLight = 307,
        kDirectionalLight = 308,
        kPointLight = 309,
        kSpotLight = 310,
        kShadingEngine = 320,
        kLambert = 363,
        kSet = 459,
        kMeshPolygonComponent = 550,
        kAttribute = 554,
        kTypedAttribute = 567,
        kData = 571,
        kStringData = 592,
        kPlugin = 593
    };
};

OPENMAYA_NAMESPACE_CLOSE
