#pragma once
// Application-wide events. OnPreExit is broadcast when the editor begins to exit, while the
// engine (objects, render thread, RHI) is still alive; the object system, the render thread
// and the RHI go after it, and the modules' ShutdownModule runs only after all of them.
#include "CoreMinimal.h"

class CORE_API FCoreDelegates {
public:
    static FSimpleMulticastDelegate OnPreExit;
};
