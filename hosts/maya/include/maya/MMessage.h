#pragma once
#include <maya/MStatus.h>

//! Type used to hold callback identifiers.
typedef MUintPtrSz MCallbackId;

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Callbacks are delivered synchronously on the main thread by the edits themselves.
class OPENMAYA_EXPORT MMessage {
public:
    typedef void (*MBasicFunction)(void* clientData);
    typedef void (*MElapsedTimeFunction)(float elapsedTime, float lastTime, void* clientData);
    typedef void (*MNodeFunction)(MObject& node, void* clientData);
    typedef void (*MPlugFunction)(MPlug& srcPlug, MPlug& destPlug, bool made, void* clientData);
    typedef void (*MNodePlugFunction)(MObject& node, MPlug& plug, void* clientData);
    typedef void (*MParentChildFunction)(MDagPath& child, MDagPath& parent, void* clientData);

    static MStatus removeCallback(MCallbackId id);
};

OPENMAYA_NAMESPACE_CLOSE
