#include "MaterialAssignActions.h"
#include "KVTTicker.h"

#include "EditorStyleSet.h"
#include "Framework/MultiBox/MultiBoxBuilder.h"

#define LOCTEXT_NAMESPACE "QuorbellMirror"

void FMaterialAssignActions::GetActions(const TArray<UObject*>& InObjects, FMenuBuilder& MenuBuilder) {
    Wrapped->GetActions(InObjects, MenuBuilder);
    TArray<TWeakObjectPtr<UObject>> Objects = GetTypedWeakObjectPtrs<UObject>(InObjects);
    MenuBuilder.AddMenuEntry(LOCTEXT("AssignToMayaObject", "Assign To Maya Object"),
                             LOCTEXT("AssignToMayaObjectTip", "Assign To Maya Object"),
                             FSlateIcon(FEditorStyle::GetStyleSetName(), TEXT("ClassIcon.MaterialInstanceActor")),
                             FUIAction(FExecuteAction::CreateSP(this, &FMaterialAssignActions::AssignToMayaObject, Objects)));
}

void FMaterialAssignActions::AssignToMayaObject(TArray<TWeakObjectPtr<UObject>> Objects) {
    if (Objects.Num() != 1) return;
    UObject* Object = Objects[0].Get();
    if (!Object) return; // deleted since the menu was opened
    // The long package name: Maya's tag loads it back as a package path.
    FKVTTicker::Get().SetPendingMaterialName(Object->GetOutermost()->GetName());
}

#undef LOCTEXT_NAMESPACE
