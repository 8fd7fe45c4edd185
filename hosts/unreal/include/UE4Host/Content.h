#pragma once
// Stand-in only: the assets of the mounted content folders (what the content browser
// lists). Asset files and their format are described in hosts/unreal/README.md.
#include "AssetData.h"

namespace UE4Host {
// Every "*.uasset" file below every mount point, sorted by package name.
ENGINE_API TArray<FAssetData> ListContentAssets();
}
