#pragma once
// Shader-core switches the renderer and scene proxies consult.
#include "CoreMinimal.h"

/** Returns true if debug viewmodes (wireframe among them) are allowed: always, in the editor. */
extern SHADERCORE_API bool AllowDebugViewmodes();
