#pragma once
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// A 3D view (model panel). Redraw requests are recorded by the host's viewport.
class OPENMAYAUI_EXPORT M3dView {
public:
    M3dView() = default;
    virtual ~M3dView() = default;
    static M3dView active3dView(MStatus* ReturnStatus = NULL);
    static unsigned int numberOf3dViews();
    static MStatus get3dView(const unsigned int index, M3dView& view);
    // The render override drawing this view, empty when Maya's own renderer does.
    MString renderOverrideName(MStatus* ReturnStatus = NULL) const;
    int portWidth(MStatus* ReturnStatus = NULL);
    int portHeight(MStatus* ReturnStatus = NULL);
    MStatus refresh(bool all = false, bool force = false);
    MStatus refresh(bool all, bool force, bool offscreen);

private:
    int fIndex = 0;
};

OPENMAYA_NAMESPACE_CLOSE
