#pragma once
// The frame context as seen while drawing: what a user render operation is given.
#include <maya/MFrameContext.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MHWRender
{

class OPENMAYARENDER_EXPORT MDrawContext : public MFrameContext
{
protected:
    MDrawContext();
    virtual ~MDrawContext();

private:
    friend struct ::mayahost::Bridge;
};

} // namespace MHWRender

OPENMAYA_NAMESPACE_CLOSE
