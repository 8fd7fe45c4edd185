// The editor's side of the comparison: the mesh and light components registered with the
// world, as the mirror module left them.

#include "SceneCompare.h"

#include "Components/DirectionalLightComponent.h"
#include "Components/PointLightComponent.h"
#include "Components/SkyLightComponent.h"
#include "Components/SpotLightComponent.h"
#include "Engine/World.h"
#include "KVTMeshComponent.h"
#include "Materials/MaterialInterface.h"
#include "UObject/SoftObjectPath.h"

namespace crossside {
namespace {

Matrix4 worldOf(const USceneComponent& component)
{
    const FMatrix m = component.GetComponentTransform().ToMatrixWithScale();
    Matrix4 out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r][c] = m.M[r][c];
    return out;
}

} // namespace

std::vector<UnrealComponentView> DescribeUnreal(UWorld* world)
{
    std::vector<UnrealComponentView> views;
    if (!world)
        return views;
    // The module's class is looked up by name: the test does not link the module, which
    // the editor loads itself.
    UClass* meshClass = FindObject<UClass>(ANY_PACKAGE, TEXT("KvtMeshComponent"));
    for (UActorComponent* registered : world->GetRegisteredComponents()) {
        UnrealComponentView view;
        if (meshClass && registered->IsA(meshClass)) {
            const auto* mesh = static_cast<const UKvtMeshComponent*>(registered);
            view.kind = kvt::RecordKind::Mesh;
            view.meshNode = reinterpret_cast<std::uint64_t>(mesh->MeshNode);
            // A mesh is drawn only while both its component and its mesh node are visible,
            // and only when the renderer has it: a component whose render state was made
            // while it was hidden is not in the scene until that state is made again.
            view.visible = mesh->bVisible && mesh->MeshNode && mesh->MeshNode->bVisible && mesh->SceneProxy;
            const UMeshComponent* slots = mesh;
            for (int32 slot = 0; slot < slots->OverrideMaterials.Num(); ++slot)
                if (const UMaterialInterface* material = slots->GetMaterial(slot))
                    view.materials.push_back(
                        std::string(TCHAR_TO_UTF8(*FSoftObjectPath(material).GetLongPackageName())));
                else
                    view.materials.push_back(std::nullopt);
        } else if (registered->IsA(USkyLightComponent::StaticClass())) {
            view.kind = kvt::RecordKind::AmbientLight;
        } else if (registered->IsA(UDirectionalLightComponent::StaticClass())) {
            view.kind = kvt::RecordKind::DirectionalLight;
        } else if (registered->IsA(USpotLightComponent::StaticClass())) { // a spot light is a point light too
            view.kind = kvt::RecordKind::SpotLight;
        } else if (registered->IsA(UPointLightComponent::StaticClass())) {
            view.kind = kvt::RecordKind::PointLight;
        } else {
            continue; // the scene capture and anything else that is no mirror of a Maya object
        }
        const auto* component = static_cast<const USceneComponent*>(registered);
        view.component = component;
        view.world = worldOf(*component);
        if (view.kind != kvt::RecordKind::Mesh) {
            const auto* light = static_cast<const ULightComponentBase*>(component);
            view.visible = light->bVisible;
            view.intensity = light->Intensity;
        }
        views.push_back(std::move(view));
    }
    return views;
}

} // namespace crossside
