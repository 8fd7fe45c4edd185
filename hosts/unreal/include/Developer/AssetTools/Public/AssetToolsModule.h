#pragma once
#include "Modules/ModuleManager.h"
#include "IAssetTools.h"

class ASSETTOOLS_API FAssetToolsModule : public IModuleInterface {
public:
    void StartupModule() override;
    void ShutdownModule() override;
    virtual IAssetTools& Get() const { return *AssetTools; }
    static FAssetToolsModule& GetModule() { return FModuleManager::LoadModuleChecked<FAssetToolsModule>(TEXT("AssetTools")); }

private:
    IAssetTools* AssetTools = nullptr;
};
