#pragma once
// Per-frame information of a Viewport 2.0 render: matrices, viewport size, the
// object types the panel hides.
#include <maya/MMatrix.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

namespace mayahost { struct FrameState; }

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MHWRender
{

class OPENMAYARENDER_EXPORT MFrameContext
{
public:
    //! Matrices that can be accessed
    enum MatrixType {
        kWorldMtx,
        kWorldTransposeMtx,
        kWorldInverseMtx,
        kWorldTranspInverseMtx,
        kViewMtx,
        kViewTransposeMtx,
        kViewInverseMtx,
        kViewTranspInverseMtx,
        kProjectionMtx,
        kProjectionTranposeMtx,
        kProjectionInverseMtx,
        kProjectionTranspInverseMtx,
        kViewProjMtx,
        kViewProjTranposeMtx,
        kViewProjInverseMtx,
        kViewProjTranspInverseMtx,
        kWorldViewMtx,
        kWorldViewTransposeMtx,
        kWorldViewInverseMtx,
        kWorldViewTranspInverseMtx,
        kWorldViewProjMtx,
        kWorldViewProjTransposeMtx,
        kWorldViewProjInverseMtx,
        kWorldViewProjTranspInverseMtx
    };
    virtual MMatrix getMatrix(MFrameContext::MatrixType mtype, MStatus* ReturnStatus = NULL) const;

    virtual MStatus getViewportDimensions(int& originX, int& originY, int& width, int& height) const;

    //! Bit flags of the object types excluded from display in the viewport.
    static const MUint64 kExcludeNone = MUint64(0);
    static const MUint64 kExcludeNurbsCurves = MUint64(1) << (0);
    static const MUint64 kExcludeNurbsSurfaces = MUint64(1) << (1);
    static const MUint64 kExcludeMeshes = MUint64(1) << (2);
    static const MUint64 kExcludePlanes = MUint64(1) << (3);
    static const MUint64 kExcludeLights = MUint64(1) << (4);
    static const MUint64 kExcludeCameras = MUint64(1) << (5);
    static const MUint64 kExcludeJoints = MUint64(1) << (6);
    static const MUint64 kExcludeIkHandles = MUint64(1) << (7);
    static const MUint64 kExcludeDeformers = MUint64(1) << (8);
    static const MUint64 kExcludeDynamics = MUint64(1) << (9);
    static const MUint64 kExcludeParticleInstancers = MUint64(1) << (10);
    static const MUint64 kExcludeLocators = MUint64(1) << (11);
    static const MUint64 kExcludeDimensions = MUint64(1) << (12);
    static const MUint64 kExcludeSelectHandles = MUint64(1) << (13);
    static const MUint64 kExcludePivots = MUint64(1) << (14);
    static const MUint64 kExcludeTextures = MUint64(1) << (15);
    static const MUint64 kExcludeGrid = MUint64(1) << (16);
    static const MUint64 kExcludeCVs = MUint64(1) << (17);
    static const MUint64 kExcludeHulls = MUint64(1) << (18);
    static const MUint64 kExcludeStrokes = MUint64(1) << (19);
    static const MUint64 kExcludeSubdivSurfaces = MUint64(1) << (20);
    static const MUint64 kExcludeFluids = MUint64(1) << (21);
    static const MUint64 kExcludeFollicles = MUint64(1) << (22);
    static const MUint64 kExcludeHairSystems = MUint64(1) << (23);
    static const MUint64 kExcludeImagePlane = MUint64(1) << (24);
    static const MUint64 kExcludeNCloths = MUint64(1) << (25);
    static const MUint64 kExcludeNRigids = MUint64(1) << (26);
    static const MUint64 kExcludeDynamicConstraints = MUint64(1) << (27);
    static const MUint64 kExcludeManipulators = MUint64(1) << (28);
    static const MUint64 kExcludeNParticles = MUint64(1) << (29);
    static const MUint64 kExcludeMotionTrails = MUint64(1) << (30);
    static const MUint64 kExcludeHoldOuts = MUint64(1) << (31);
    static const MUint64 kExcludeAll = ~MUint64(0);

    MUint64 objectTypeExclusions() const;

protected:
    MFrameContext();
    virtual ~MFrameContext();

private:
    MFrameContext(const MFrameContext&);
    MFrameContext& operator=(const MFrameContext&);
    friend struct ::mayahost::Bridge;
    const ::mayahost::FrameState* fState;
};

} // namespace MHWRender

OPENMAYA_NAMESPACE_CLOSE
