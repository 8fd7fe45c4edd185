#pragma once
#include "Engine/Engine.h"

class UNREALED_API UEditorEngine : public UEngine {
    UE4HOST_DECLARE_CLASS(UEditorEngine, UEngine, CLASS_Native, TEXT("/Script/UnrealEd"), UNREALED_API)
public:
    UEditorEngine(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

    // Creates the editor world context with a new, empty level.
    void Init() override;
    void Tick(float DeltaSeconds, bool bIdleMode) override;
    FWorldContext& GetEditorWorldContext(bool bEnsureIsGWorld = false);
    // File > New Level: a new, empty world replaces the editor world; the old one is
    // destroyed and collected.
    UWorld* NewMap();
};
