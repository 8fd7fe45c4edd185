#pragma once
// The engine's show flags: what a view family draws. The stand-in's renderer reads Wireframe.
#include "CoreMinimal.h"

enum EShowFlagInitMode { ESFIM_Game, ESFIM_Editor, ESFIM_All0 };

struct ENGINE_API FEngineShowFlags {
    uint32 Wireframe : 1;
    uint32 Editor : 1;
    uint32 Game : 1;
    uint32 Lighting : 1;

    FEngineShowFlags(EShowFlagInitMode InitMode) : Wireframe(0), Editor(InitMode == ESFIM_Editor), Game(InitMode != ESFIM_Editor && InitMode != ESFIM_All0), Lighting(InitMode != ESFIM_All0) {}
    void SetWireframe(bool bVisible) { Wireframe = bVisible ? 1 : 0; }
    void SetEditor(bool bVisible) { Editor = bVisible ? 1 : 0; }
    void SetGame(bool bVisible) { Game = bVisible ? 1 : 0; }
    void SetLighting(bool bVisible) { Lighting = bVisible ? 1 : 0; }
};
