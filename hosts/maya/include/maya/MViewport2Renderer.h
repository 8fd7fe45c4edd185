#pragma once
// Viewport 2.0: the renderer, render overrides and the operations they are made of.
#include <maya/MColor.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

// The draw API enumeration is not a class: it stays in the global MHWRender, where
// plug-ins name it (MHWRender::kOpenGL).
namespace MHWRender
{

//! Draw API identifiers
enum DrawAPI
{
    kNone = 0,
    kOpenGL = 1 << 0,
    kDirectX11 = 1 << 1,
    kOpenGLCoreProfile = 1 << 2,
    kAllDevices = kOpenGL | kDirectX11 | kOpenGLCoreProfile
};

inline MHWRender::DrawAPI operator|(MHWRender::DrawAPI a, MHWRender::DrawAPI b)
{
    return static_cast<MHWRender::DrawAPI>(static_cast<unsigned int>(a) | static_cast<unsigned int>(b));
}

} // namespace MHWRender

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MHWRender
{

class OPENMAYARENDER_EXPORT MRenderOperation
{
public:
    virtual ~MRenderOperation();

    virtual const MString& name() const;

    enum MRenderOperationType
    {
        kClear,
        kSceneRender,
        kQuadRender,
        kUserDefined,
        kHUDRender,
        kPresentTarget
    };

    MRenderOperationType operationType() const;

protected:
    MRenderOperation(const MString& name);
    MRenderOperation();

    MRenderOperationType mOperationType;
    MString mName;
};

class OPENMAYARENDER_EXPORT MUserRenderOperation : public MRenderOperation
{
public:
    MUserRenderOperation(const MString& name);
    virtual ~MUserRenderOperation();

    virtual MStatus execute(const MDrawContext& drawContext) = 0;
};

class OPENMAYARENDER_EXPORT MPresentTarget : public MRenderOperation
{
public:
    MPresentTarget(const MString& name);
    virtual ~MPresentTarget();
};

class OPENMAYARENDER_EXPORT MClearOperation : public MRenderOperation
{
public:
    enum ClearMask
    {
        kClearNone = 0,
        kClearColor = 1,
        kClearDepth = 1 << 1,
        kClearStencil = 1 << 2,
        kClearAll = ~0
    };

    unsigned int mask() const;
    const float* clearColor() const;
    int clearStencil() const;
    float clearDepth() const;

    void setMask(unsigned int mask);
    void setClearColor(float value[4]);
    void setClearStencil(int value);
    void setClearDepth(float value);

protected:
    unsigned int mClearMask;
    float mClearColor[4];
    int mClearStencil;
    float mClearDepth;

private:
    MClearOperation(const MString& name);
    virtual ~MClearOperation();
    MClearOperation();

    friend class MSceneRender;
};

class OPENMAYARENDER_EXPORT MSceneRender : public MRenderOperation
{
public:
    MSceneRender(const MString& name);
    virtual ~MSceneRender();

    enum MSceneFilterOption
    {
        kNoSceneFilterOverride = 0,
        kRenderPreSceneUIItems = 1 << (0),
        kRenderOpaqueShadedItems = 1 << (1),
        kRenderTransparentShadedItems = 1 << (2),
        kRenderShadedItems = (kRenderOpaqueShadedItems | kRenderTransparentShadedItems),
        kRenderPostSceneUIItems = 1 << (3),
        kRenderUIItems = (kRenderPreSceneUIItems | kRenderPostSceneUIItems),
        kRenderNonShadedItems = kRenderUIItems,
        kRenderAllItems = ~0
    };
    virtual MSceneFilterOption renderFilterOverride();

    virtual MClearOperation& clearOperation();

protected:
    MClearOperation mClearOperation;
};

class OPENMAYARENDER_EXPORT MRenderOverride
{
public:
    MRenderOverride(const MString& name);
    virtual ~MRenderOverride();

    virtual ::MHWRender::DrawAPI supportedDrawAPIs() const;

    // Not pure: the defaults iterate the override's own operation list, which this host
    // does not offer, so they iterate nothing.
    virtual bool startOperationIterator();
    virtual MRenderOperation* renderOperation();
    virtual bool nextRenderOperation();

    const MString& name() const;

    virtual MString uiName() const;

    virtual MStatus setup(const MString& destination);
    virtual MStatus cleanup();

    const MFrameContext* getFrameContext() const;

    MString mName;

private:
    MRenderOverride();
};

class OPENMAYARENDER_EXPORT MRenderer
{
public:
    static MRenderer* theRenderer(bool initializeRenderer = true);

    ::MHWRender::DrawAPI drawAPI() const;
    bool drawAPIIsOpenGL() const;

    MStatus registerOverride(const MRenderOverride* roverride);
    MStatus deregisterOverride(const MRenderOverride* roverride);
    const MRenderOverride* findRenderOverride(const MString& name);

    MColor clearColor() const;

private:
    MRenderer();
    ~MRenderer();
    MRenderer(const MRenderer& other);
    MRenderer& operator=(const MRenderer& rhs);
};

} // namespace MHWRender

OPENMAYA_NAMESPACE_CLOSE
