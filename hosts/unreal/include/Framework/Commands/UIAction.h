#pragma once
#include "CoreMinimal.h"

DECLARE_DELEGATE(FExecuteAction)
DECLARE_DELEGATE_RetVal(bool, FCanExecuteAction)

namespace EUserInterfaceActionType { enum Type { None, Button, ToggleButton, RadioButton, Check, CollapsedButton }; }

struct FUIAction {
    FUIAction() = default;
    FUIAction(FExecuteAction InitExecuteAction, FCanExecuteAction InitCanExecuteAction = FCanExecuteAction())
        : ExecuteAction(InitExecuteAction), CanExecuteAction(InitCanExecuteAction) {}
    // Unbound "can execute" means yes.
    bool CanExecute() const { return !CanExecuteAction.IsBound() || CanExecuteAction.Execute(); }
    bool Execute() const {
        if (!CanExecute()) return false;
        return ExecuteAction.ExecuteIfBound();
    }
    bool IsBound() const { return ExecuteAction.IsBound(); }

    FExecuteAction ExecuteAction;
    FCanExecuteAction CanExecuteAction;
};

class FUICommandList;
