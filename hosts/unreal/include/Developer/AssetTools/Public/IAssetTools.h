#pragma once
#include "IAssetTypeActions.h"

class FMenuBuilder;

class ASSETTOOLS_API IAssetTools {
public:
    virtual ~IAssetTools() {}
    virtual void RegisterAssetTypeActions(const TSharedRef<IAssetTypeActions>& NewActions) = 0;
    virtual void UnregisterAssetTypeActions(const TSharedRef<IAssetTypeActions>& ActionsToRemove) = 0;
    virtual void GetAssetTypeActionsList(TArray<TWeakPtr<IAssetTypeActions>>& OutAssetTypeActionsList) const = 0;
    // The actions registered for the class nearest to Class; of equals, the latest registered.
    virtual TWeakPtr<IAssetTypeActions> GetAssetTypeActionsForClass(UClass* Class) const = 0;
    // Fills the menu of a selection from the actions of the selection's common class.
    virtual bool GetAssetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder, bool bIncludeHeading = true) = 0;
};
