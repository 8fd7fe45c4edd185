#pragma once
#include <maya/MMessage.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Named events; the stand-in raises "timeChanged" only (the current time changed, by a
// currentTime command or a playback frame).
class OPENMAYA_EXPORT MEventMessage : public MMessage {
public:
    static MCallbackId addEventCallback(const MString& eventName, MMessage::MBasicFunction func,
                                        void* clientData = NULL, MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE
