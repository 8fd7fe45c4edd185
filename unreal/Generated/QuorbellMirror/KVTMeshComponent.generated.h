// What the header tool generates for KVTMeshComponent.h (the engine writes it at build
// time; kept here for builds without the header tool).
#include "UObject/ObjectMacros.h"
#ifdef QUORBELLMIRROR_KVTMeshComponent_generated_h
#error "KVTMeshComponent.generated.h already included, missing '#pragma once' in KVTMeshComponent.h"
#endif
#define QUORBELLMIRROR_KVTMeshComponent_generated_h

#ifndef QUORBELLMIRROR_API
#define QUORBELLMIRROR_API DLLEXPORT
#endif

#define QuorbellMirror_Source_QuorbellMirror_Private_KVTMeshComponent_h_13_PROLOG
#define QuorbellMirror_Source_QuorbellMirror_Private_KVTMeshComponent_h_15_GENERATED_BODY \
public: \
    static void StaticRegisterNativesUKvtMeshComponent(); \
    friend QUORBELLMIRROR_API class UClass* Z_Construct_UClass_UKvtMeshComponent(); \
    DECLARE_CLASS(UKvtMeshComponent, UMeshComponent, COMPILED_IN_FLAGS(0), CASTCLASS_None, TEXT("/Script/QuorbellMirror"), NO_API) \
    DECLARE_SERIALIZER(UKvtMeshComponent) \
    DEFINE_DEFAULT_OBJECT_INITIALIZER_CONSTRUCTOR_CALL(UKvtMeshComponent) \
private:

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID QuorbellMirror_Source_QuorbellMirror_Private_KVTMeshComponent_h
