#pragma once
#include <maya/MMessage.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MNodeMessage : public MMessage {
public:
    static MCallbackId addNodeDirtyCallback(MObject& node, MMessage::MNodeFunction func, void* clientData = NULL,
                                            MStatus* ReturnStatus = NULL);
    // Runs for every plug of the node that an edit dirties, with that plug.
    static MCallbackId addNodeDirtyPlugCallback(MObject& node, MMessage::MNodePlugFunction func,
                                                void* clientData = NULL, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE
