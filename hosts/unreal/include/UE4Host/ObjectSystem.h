#pragma once
// Stand-in only (the editor program and tests use it; modules never do): the object
// system's hooks for module loading and shutdown.
#include "UObject/UObjectGlobals.h"

namespace UE4Host {
// Classes registered while this is set belong to the module (set around dlopen).
COREUOBJECT_API void SetLoadingModule(FName ModuleName);
// Before a module's library is closed: objects of its classes that are not rooted are
// marked pending kill and collected, while their code is still there.
COREUOBJECT_API void ReleaseModuleObjects(FName ModuleName);
// After the library is closed: objects of its classes that survived (a module that kept
// them rooted) can no longer be destroyed; they are taken out of the object system and
// kept in memory. Returns how many there were. The module's classes are unhashed so that
// a reload registers fresh ones.
COREUOBJECT_API int32 AbandonModuleObjects(FName ModuleName);
// Frees every object (program exit).
COREUOBJECT_API void DestroyAllObjects();
}
