#pragma once
// Builds a menu: sections, separators and entries with label, tool tip, icon and action.
#include "Framework/Commands/UIAction.h"
#include "Misc/Attribute.h"
#include "Textures/SlateIcon.h"

class FExtender;
namespace UE4Host { struct FMenuContents; }

class SLATE_API FMenuBuilder {
public:
    FMenuBuilder(const bool bInShouldCloseWindowAfterMenuSelection, TSharedPtr<const FUICommandList> InCommandList,
                 TSharedPtr<FExtender> InExtender = TSharedPtr<FExtender>(), const bool bCloseSelfOnly = false) {
        // The stand-in's menus are not windows: nothing to close, no commands to bind.
        (void)bInShouldCloseWindowAfterMenuSelection;
        (void)InCommandList;
        (void)InExtender;
        (void)bCloseSelfOnly;
    }

    void AddMenuEntry(const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip, const FSlateIcon& InIcon, const FUIAction& UIAction,
                      FName InExtensionHook = NAME_None,
                      const EUserInterfaceActionType::Type UserInterfaceActionType = EUserInterfaceActionType::Button,
                      FName InTutorialHighlightName = NAME_None);
    void BeginSection(FName InExtensionHook, const TAttribute<FText>& InHeadingText = TAttribute<FText>());
    void EndSection();
    void AddMenuSeparator(FName InExtensionHook = NAME_None);

private:
    // What was built, in order; the editor's console shows and runs it (UE4Host/Menus.h).
    friend struct UE4Host::FMenuContents;
    struct FEntry {
        FName Section;
        FText Label;
        FText ToolTip;
        FSlateIcon Icon;
        FUIAction Action;
        FName ExtensionHook;
        EUserInterfaceActionType::Type ActionType;
        FName TutorialHighlightName;
        bool bSeparator;
    };

    TArray<FEntry> Entries;
    FName CurrentSection;
};
