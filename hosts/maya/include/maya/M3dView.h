#pragma once
#include <maya/MStatus.h>

// A 3D view (model panel). Redraw requests are recorded by the host's viewport.
class OPENMAYA_EXPORT M3dView {
public:
    M3dView() = default;
    static M3dView active3dView(MStatus* status = nullptr);
    static unsigned int numberOf3dViews();
    MStatus refresh(bool all = false, bool force = false);
    MStatus refresh(bool all, bool force, bool offscreen);
    int portWidth(MStatus* status = nullptr) const;
    int portHeight(MStatus* status = nullptr) const;

private:
    int fIndex = 0;
};
