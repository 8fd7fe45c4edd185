#pragma once
// A menu entry's action: what it runs and whether it may run now.
#include "CoreMinimal.h"

DECLARE_DELEGATE(FExecuteAction)
DECLARE_DELEGATE_RetVal(bool, FCanExecuteAction)

namespace EUserInterfaceActionType { enum Type { None, Button, ToggleButton, RadioButton, Check, CollapsedButton }; }

enum class EUIActionRepeatMode { RepeatDisabled, RepeatEnabled };

struct SLATE_API FUIAction {
    FExecuteAction ExecuteAction;
    FCanExecuteAction CanExecuteAction;
    EUIActionRepeatMode RepeatMode;

    FUIAction() : RepeatMode(EUIActionRepeatMode::RepeatDisabled) {}
    FUIAction(FExecuteAction InitExecuteAction, EUIActionRepeatMode InitRepeatMode = EUIActionRepeatMode::RepeatDisabled)
        : ExecuteAction(InitExecuteAction), RepeatMode(InitRepeatMode) {}
    FUIAction(FExecuteAction InitExecuteAction, FCanExecuteAction InitCanExecuteAction,
              EUIActionRepeatMode InitRepeatMode = EUIActionRepeatMode::RepeatDisabled)
        : ExecuteAction(InitExecuteAction), CanExecuteAction(InitCanExecuteAction), RepeatMode(InitRepeatMode) {}

    // Unbound "can execute" means yes.
    bool CanExecute() const { return CanExecuteAction.IsBound() ? CanExecuteAction.Execute() : true; }
    bool Execute() const {
        if (CanExecute()) return ExecuteAction.ExecuteIfBound();
        return false;
    }
    bool IsBound() const { return ExecuteAction.IsBound(); }
    bool CanRepeat() const { return RepeatMode == EUIActionRepeatMode::RepeatEnabled; }
};

class FUICommandList;
