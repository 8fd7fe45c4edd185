#pragma once
#include <maya/MDagPath.h>
#include <maya/MMessage.h>

class OPENMAYA_EXPORT MDagMessage : public MMessage {
public:
    enum MatrixModifiedFlags {
        kScaleX = 1 << 0,
        kScaleY = 1 << 1,
        kScaleZ = 1 << 2,
        kShearXY = 1 << 3,
        kShearXZ = 1 << 4,
        kShearYZ = 1 << 5,
        kRotateX = 1 << 6,
        kRotateY = 1 << 7,
        kRotateZ = 1 << 8,
        kTranslateX = 1 << 9,
        kTranslateY = 1 << 10,
        kTranslateZ = 1 << 11,
        kScale = kScaleX | kScaleY | kScaleZ,
        kShear = kShearXY | kShearXZ | kShearYZ,
        kRotation = kRotateX | kRotateY | kRotateZ,
        kTranslation = kTranslateX | kTranslateY | kTranslateZ,
        kAll = 0x7FFFFFFF
    };
    typedef void (*MDagParentChangeFunction)(MDagPath& child, MDagPath& parent, void* clientData);
    typedef void (*MWorldMatrixModifiedFunction)(MObject& transformNode, MatrixModifiedFlags& modified,
                                                 void* clientData);

    static MCallbackId addChildAddedCallback(MDagParentChangeFunction func, void* clientData = nullptr,
                                             MStatus* status = nullptr);
    static MCallbackId addChildRemovedCallback(MDagParentChangeFunction func, void* clientData = nullptr,
                                               MStatus* status = nullptr);
    // Runs when the world matrix of the path changes: a transform on it (or its
    // parenting) changed.
    static MCallbackId addWorldMatrixModifiedCallback(MDagPath& target, MWorldMatrixModifiedFunction func,
                                                      void* clientData = nullptr, MStatus* status = nullptr);
};
