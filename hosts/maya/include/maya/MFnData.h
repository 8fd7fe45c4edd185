#pragma once
#include <maya/MFnBase.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Base of the data function sets.
class OPENMAYA_EXPORT MFnData : public MFnBase {
public:
    MFn::Type type() const override { return MFn::kData; }
    MFnData() {}
    MFnData(MObject& object, MStatus* ReturnStatus = NULL);

    //! Types of dependency graph data
    enum Type {
        kInvalid,
        kNumeric,
        kPlugin,
        kPluginGeometry,
        kString,
        kMatrix,
        kStringArray,
        kDoubleArray,
        kFloatArray,
        kIntArray,
        kPointArray,
        kVectorArray,
        kMatrixArray,
        kComponentList,
        kMesh,
        kLattice,
        kNurbsCurve,
        kNurbsSurface,
        kSphere,
        kDynArrayAttrs,
        kDynSweptGeometry,
        kSubdSurface,
        kNObject,
        kNId,
        kAny,
        kLast
    };

    MFnData(const MObject& object, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE
