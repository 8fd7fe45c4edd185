#pragma once
#include <maya/MMessage.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MSceneMessage : public MMessage {
public:
    // Events to which messages can be attached: the first entries of Maya's list, with
    // their values.
    enum Message {
        kSceneUpdate,
        kBeforeNew,
        kAfterNew,
        kBeforeImport,
        kAfterImport,
        kBeforeOpen,
        kAfterOpen
    };
    static MCallbackId addCallback(Message msg, MMessage::MBasicFunction func, void* clientData = NULL,
                                   MStatus* ReturnStatus = NULL);
};

OPENMAYA_NAMESPACE_CLOSE
