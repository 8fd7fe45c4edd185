#pragma once
#include "CoreMinimal.h"

struct FSlateIcon {
    FSlateIcon() = default;
    FSlateIcon(const FName& InStyleSetName, const FName& InStyleName) : StyleSetName(InStyleSetName), StyleName(InStyleName), bIsSet(true) {}
    const FName& GetStyleSetName() const { return StyleSetName; }
    const FName& GetStyleName() const { return StyleName; }
    bool IsSet() const { return bIsSet; }

private:
    FName StyleSetName;
    FName StyleName;
    bool bIsSet = false;
};
