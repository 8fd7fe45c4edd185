#pragma once
#include <maya/MMessage.h>

class OPENMAYA_EXPORT MDGMessage : public MMessage {
public:
    static MCallbackId addNodeAddedCallback(MMessage::MNodeFunction func, const MString& nodeType = "dependNode",
                                            void* clientData = nullptr, MStatus* status = nullptr);
    static MCallbackId addNodeRemovedCallback(MMessage::MNodeFunction func, const MString& nodeType = "dependNode",
                                              void* clientData = nullptr, MStatus* status = nullptr);
    // Runs before a connection is made or broken.
    static MCallbackId addPreConnectionCallback(MMessage::MConnFunction func, void* clientData = nullptr,
                                                MStatus* status = nullptr);
};
