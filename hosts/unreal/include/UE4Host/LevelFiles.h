#pragma once
// Stand-in only: File > Save Current Level and File > Open Level of the editor program. A
// level file is text: a first line "Level <name>", then one line "Actor <class> <name>" per
// actor of the world; transient actors (RF_Transient) are not saved, as the engine never
// saves them.
#include "CoreMinimal.h"

class UWorld;

namespace UE4Host {

// Writes World's actors to File; false (with an error logged) when it cannot be written.
ENGINE_API bool SaveLevel(UWorld* World, const FString& File);
// Replaces the editor world with a new one holding the actors File lists; null (the editor
// world left as it was) when the file cannot be read or is not a level. Actors of a class
// that is not loaded are skipped with a warning.
ENGINE_API UWorld* OpenLevel(const FString& File);

} // namespace UE4Host
