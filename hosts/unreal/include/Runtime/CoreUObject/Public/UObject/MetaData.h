#pragma once
#include "UObject/Object.h"
#include <map>

// Key-value metadata of the objects in a package (class tooltips, categories …).
class COREUOBJECT_API UMetaData : public UObject {
    UE4HOST_DECLARE_CLASS(UMetaData, UObject, CLASS_Native | CLASS_Intrinsic, TEXT("/Script/CoreUObject"), COREUOBJECT_API)
public:
    UMetaData(const FObjectInitializer& X) : UObject(X) {}
    void SetValue(const UObject* Object, const TCHAR* Key, const TCHAR* Value);
    const FString& GetValue(const UObject* Object, const TCHAR* Key);
    bool HasValue(const UObject* Object, const TCHAR* Key);

private:
    std::map<std::pair<const UObject*, int32>, FString> Values;
};
