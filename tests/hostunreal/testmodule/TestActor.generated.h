// What the header tool generates for TestActor.h (kept by hand here).
#include "UObject/ObjectMacros.h"
#ifdef HOSTTESTMODULE_TestActor_generated_h
#error "TestActor.generated.h already included, missing '#pragma once' in TestActor.h"
#endif
#define HOSTTESTMODULE_TestActor_generated_h

#define HOSTTESTMODULE_API DLLEXPORT

#define HostTestModule_TestActor_h_8_PROLOG
#define HostTestModule_TestActor_h_10_GENERATED_BODY \
public: \
    static void StaticRegisterNativesATestActor(); \
    friend HOSTTESTMODULE_API class UClass* Z_Construct_UClass_ATestActor(); \
    DECLARE_CLASS(ATestActor, AActor, COMPILED_IN_FLAGS(0), CASTCLASS_None, TEXT("/Script/HostTestModule"), NO_API) \
    DECLARE_SERIALIZER(ATestActor) \
    DEFINE_DEFAULT_CONSTRUCTOR_CALL(ATestActor) \
private:

#undef CURRENT_FILE_ID
#define CURRENT_FILE_ID HostTestModule_TestActor_h
