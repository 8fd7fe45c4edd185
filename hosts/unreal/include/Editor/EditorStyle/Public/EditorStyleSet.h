#pragma once
#include "CoreMinimal.h"

class EDITORSTYLE_API FEditorStyle {
public:
    static const FName& GetStyleSetName();
};
