// What the header tool generates for KVTTicker.h (the engine writes it at build time;
// kept here for builds without the header tool).
#include "UObject/ObjectMacros.h"
#ifdef QUORBELLMIRROR_KVTTicker_generated_h
#error "KVTTicker.generated.h already included, missing '#pragma once' in KVTTicker.h"
#endif
#define QUORBELLMIRROR_KVTTicker_generated_h

#ifndef QUORBELLMIRROR_API
#define QUORBELLMIRROR_API DLLEXPORT
#endif

#define QuorbellMirror_Source_QuorbellMirror_Private_KVTTicker_h_20_PROLOG
#define QuorbellMirror_Source_QuorbellMirror_Private_KVTTicker_h_22_GENERATED_BODY \
public: \
    static void StaticRegisterNativesAKvtActor(); \
    friend QUORBELLMIRROR_API class UClass* Z_Construct_UClass_AKvtActor(); \
    DECLARE_CLASS(AKvtActor, AActor, COMPILED_IN_FLAGS(0), CASTCLASS_None, TEXT("/Script/QuorbellMirror"), NO_API) \
    DECLARE_SERIALIZER(AKvtActor) \
    DEFINE_DEFAULT_OBJECT_INITIALIZER_CONSTRUCTOR_CALL(AKvtActor) \
private:

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID QuorbellMirror_Source_QuorbellMirror_Private_KVTTicker_h
