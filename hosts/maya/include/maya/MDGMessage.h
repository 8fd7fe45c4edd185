#pragma once
#include <maya/MMessage.h>
#include <maya/MString.h>

#define kDefaultNodeType "dependNode"

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MDGMessage : public MMessage {
public:
    static MCallbackId addNodeAddedCallback(MMessage::MNodeFunction func, const MString& nodeType = kDefaultNodeType,
                                            void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeRemovedCallback(MMessage::MNodeFunction func, const MString& nodeType = kDefaultNodeType,
                                              void* clientData = NULL, MStatus* ReturnStatus = NULL);
    // Runs before a connection is made or broken.
    static MCallbackId addPreConnectionCallback(MMessage::MPlugFunction func, void* clientData = NULL,
                                                MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE
