#pragma once
// Builds a menu: sections, separators and entries with label, tool tip, icon and action.
#include "Framework/Commands/UIAction.h"
#include "Misc/Attribute.h"
#include "Textures/SlateIcon.h"

class FExtender;

class SLATE_API FMenuBuilder {
public:
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

    FMenuBuilder(const bool bInShouldCloseWindowAfterMenuSelection, TSharedPtr<const FUICommandList> InCommandList,
                 TSharedPtr<FExtender> InExtender = TSharedPtr<FExtender>(), const bool bInCloseSelfOnly = false)
        : bShouldCloseWindowAfterMenuSelection(bInShouldCloseWindowAfterMenuSelection) {
        (void)InCommandList; (void)InExtender; (void)bInCloseSelfOnly;
    }

    void AddMenuEntry(const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip, const FSlateIcon& InIcon, const FUIAction& UIAction,
                      FName InExtensionHook = NAME_None,
                      const EUserInterfaceActionType::Type UserInterfaceActionType = EUserInterfaceActionType::Button,
                      FName InTutorialHighlightName = NAME_None);
    void BeginSection(FName InExtensionHook, const TAttribute<FText>& InHeadingText = TAttribute<FText>());
    void EndSection();
    void AddMenuSeparator(FName InExtensionHook = NAME_None);

    // What was built, in order (the editor's console shows and runs it).
    const TArray<FEntry>& GetEntries() const { return Entries; }
    bool ShouldCloseWindowAfterMenuSelection() const { return bShouldCloseWindowAfterMenuSelection; }

private:
    TArray<FEntry> Entries;
    FName CurrentSection;
    bool bShouldCloseWindowAfterMenuSelection;
};
