#pragma once
#include <maya/MMessage.h>

class OPENMAYA_EXPORT MNodeMessage : public MMessage {
public:
    // Runs for every plug of the node that an edit dirties, with that plug.
    static MCallbackId addNodeDirtyCallback(MObject& node, MMessage::MNodePlugFunction func,
                                            void* clientData = nullptr, MStatus* status = nullptr);
    static MCallbackId addNodeDirtyCallback(MObject& node, MMessage::MNodeFunction func,
                                            void* clientData = nullptr, MStatus* status = nullptr);
};
