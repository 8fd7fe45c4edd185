#pragma once
// Loading of packages from the content folders (see Content.cpp).
#include "UObject/UObjectGlobals.h"

namespace UE4Host {
UPackage* LoadContentPackage(const FString& LongPackageName);
bool IsLoadingContentPackage(const FString& LongPackageName);
}
