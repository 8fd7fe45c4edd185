#pragma once
#include <maya/MMessage.h>

class OPENMAYA_EXPORT MSceneMessage : public MMessage {
public:
    enum Message {
        kSceneUpdate = 0,
        kBeforeNew = 1,
        kAfterNew = 2,
        kBeforeImport = 3,
        kAfterImport = 4,
        kBeforeOpen = 5,
        kAfterOpen = 6
    };
    static MCallbackId addCallback(Message message, MMessage::MBasicFunction func, void* clientData = nullptr,
                                   MStatus* status = nullptr);
};
