#pragma once
#include <maya/MMessage.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTimerMessage : public MMessage {
public:
    // Runs from the idle loop every `period` seconds.
    static MCallbackId addTimerCallback(float period, MMessage::MElapsedTimeFunction func, void* clientData = NULL,
                                        MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE
