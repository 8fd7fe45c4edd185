// The instance and light nodes and the registry. Mesh nodes live with their component in
// KVTMeshComponent.cpp.
#include "MirrorNodes.h"
#include "KVTMeshComponent.h"
#include "KVTTicker.h"
#include "Utf16String.h"

#include "Components/DirectionalLightComponent.h"
#include "Components/PointLightComponent.h"
#include "Components/SkyLightComponent.h"
#include "Components/SpotLightComponent.h"
#include "Materials/MaterialInterface.h"
#include "RenderingThread.h"
#include "UObject/Package.h"
#include "UObject/SoftObjectPath.h"

// ---- FMirrorNode ----------------------------------------------------------------------

FMirrorNode::FMirrorNode(uint64 InIdentity, kvt::RecordKind InKind) : Identity(InIdentity), Kind(InKind) {
    RegistryLink.Node = this;
}

FMirrorNode::~FMirrorNode() { LeaveRegistry(); }

void FMirrorNode::LeaveRegistry() {
    if (Registry) Registry->Remove(*this);
    Registry = nullptr;
}

// ---- FMirrorInstanceNode ----------------------------------------------------------------

FMirrorInstanceNode::FMirrorInstanceNode(uint64 InIdentity) : FMirrorNode(InIdentity, kvt::RecordKind::Transform) {
    ShapeLink.Instance = this;
}

FMirrorInstanceNode::~FMirrorInstanceNode() {
    SetComponent(nullptr);
    ShapeLink.Unlink();
}

void FMirrorInstanceNode::Destroy() { delete this; }

void FMirrorInstanceNode::SetComponent(USceneComponent* NewComponent) {
    if (NewComponent == Component) return;
    if (Component) {
        if (Component->IsRegistered()) Component->UnregisterComponent();
        Component->RemoveFromRoot();
    }
    Component = NewComponent;
    if (Component) {
        Component->AddToRoot();
        Component->RegisterComponentWithWorld(FKVTTicker::Get().GetWorld());
    }
}

void FMirrorInstanceNode::OnWorldChanged(UWorld* World) {
    if (!Component) return;
    if (Component->IsRegistered()) Component->UnregisterComponent();
    if (World) Component->RegisterComponentWithWorld(World);
}

void FMirrorInstanceNode::Update(const kvt::Record& Record) {
    if (Record.hasData()) {
        const kvt::TransformRecord& Body = Record.transform;
        if (Record.isNew() && Registry) {
            // Shapes come before instances in a request, so a new shape is found here.
            FMirrorNode* Shape = Body.shapeRefIsAddress ? Registry->Find(Body.shapeRef) : Registry->FromHandle(Body.shapeRef);
            if (Shape && Shape->IsShape()) Shape->AttachInstance(*this);
        }
        FMatrix Matrix;
        for (int32 Row = 0; Row < 4; ++Row)
            for (int32 Column = 0; Column < 4; ++Column) Matrix.M[Row][Column] = Body.worldMatrix[Row * 4 + Column];
        if (Component) Component->SetWorldTransform(FTransform(Matrix));
        if (Body.hasMaterials) ApplyMaterials(Record);
    }
    if (Record.visibilityValid()) ApplyVisibility();
}

void FMirrorInstanceNode::ApplyVisibility() {
    if (!Component) return;
    const bool bShow = bVisible && bShapeVisible;
    if (bool(Component->bVisible) == bShow) return;
    Component->bVisible = bShow ? 1 : 0;
    // The engine adds a primitive or light to the scene only when it is visible as its render
    // state is made: a component hidden then, and made again while hidden (a new material, a
    // new instance), would never show. Made again now, it joins or leaves the scene.
    if (Component->IsRegistered()) Component->MarkRenderStateDirty();
}

void FMirrorInstanceNode::ApplyMaterials(const kvt::Record& Record) {
    UKvtMeshComponent* Mesh = nullptr;
    if (Component && Component->IsA(UKvtMeshComponent::StaticClass())) Mesh = static_cast<UKvtMeshComponent*>(Component);
    if (!Mesh) return; // materials of a light's instance mean nothing here
    for (int32 Slot = 0; Slot < int32(Record.materials.size()); ++Slot) {
        const auto& Name = Record.materials[size_t(Slot)];
        FSoftObjectPath Path(Name ? Utf16ToFString(*Name) : FString());
        UMaterialInterface* Material = Cast<UMaterialInterface>(Path.TryLoad());
        if (!Material) continue; // the slot keeps what it had
        Mesh->SetMaterial(Slot, Material);
        Mesh->RecreateRenderState_Concurrent();
    }
}

// ---- light nodes ----------------------------------------------------------------------

FMirrorLightNode::~FMirrorLightNode() { Instances.Unlink(); }

void FMirrorLightNode::AttachInstance(FMirrorInstanceNode& Instance) {
    USceneComponent* Component = NewLightComponent();
    Instance.SetComponent(Component);
    ApplyTo(*Component);
    Instance.bShapeVisible = bVisible;
    Instance.ApplyVisibility();
    Instance.ShapeLink.Unlink();
    Instance.ShapeLink.InsertAfter(Instances);
}

void FMirrorLightNode::Update(const kvt::Record& Record) {
    if (Record.hasData()) {
        // Packed bodies: read each field by value.
        const bool bSpot = Kind == kvt::RecordKind::SpotLight;
        float C[4];
        for (int32 I = 0; I < 4; ++I) C[I] = bSpot ? Record.spot.color[I] : Record.light.color[I];
        Color = FLinearColor(C[0], C[1], C[2], C[3]);
        Intensity = bSpot ? Record.spot.intensity : Record.light.intensity;
        if (bSpot) {
            InnerConeAngle = Record.spot.innerConeAngle;
            OuterConeAngle = Record.spot.outerConeAngle;
        }
    }
    for (FMirrorLink* Link = Instances.Next; Link != &Instances; Link = Link->Next) {
        FMirrorInstanceNode* Instance = static_cast<FMirrorInstanceNode::FShapeLink*>(Link)->Instance;
        if (USceneComponent* Component = Instance->GetComponent()) ApplyTo(*Component);
        Instance->bShapeVisible = bVisible;
        Instance->ApplyVisibility();
    }
}

void FMirrorLightNode::Destroy() {
    LeaveRegistry();
    // The instances keep their components; only the list loses its head, here on the game
    // thread that walks it.
    Instances.Unlink();
    FMirrorLightNode* Node = this;
    ENQUEUE_RENDER_COMMAND(Release)([Node](FRHICommandListImmediate&) { delete Node; });
}

void FMirrorLightNode::ApplyTo(USceneComponent& Component) const {
    ULightComponent& Light = static_cast<ULightComponent&>(Component);
    Light.SetLightColor(Color, true);
    Light.SetIntensity(Intensity);
}

USceneComponent* FMirrorSkyLightNode::NewLightComponent() const { return NewObject<USkyLightComponent>(GetTransientPackage()); }

void FMirrorSkyLightNode::ApplyTo(USceneComponent& Component) const {
    USkyLightComponent& Sky = static_cast<USkyLightComponent&>(Component);
    Sky.SetLightColor(Color);
    Sky.SetIntensity(Intensity);
}

USceneComponent* FMirrorDirectionalLightNode::NewLightComponent() const {
    return NewObject<UDirectionalLightComponent>(GetTransientPackage());
}

USceneComponent* FMirrorPointLightNode::NewLightComponent() const { return NewObject<UPointLightComponent>(GetTransientPackage()); }

USceneComponent* FMirrorSpotLightNode::NewLightComponent() const { return NewObject<USpotLightComponent>(GetTransientPackage()); }

void FMirrorSpotLightNode::ApplyTo(USceneComponent& Component) const {
    FMirrorLightNode::ApplyTo(Component);
    USpotLightComponent& Spot = static_cast<USpotLightComponent&>(Component);
    Spot.SetInnerConeAngle(InnerConeAngle);
    Spot.SetOuterConeAngle(OuterConeAngle);
}

// ---- registry ---------------------------------------------------------------------------

FMirrorRegistry::FMirrorRegistry() {
    for (uint32 Bucket = 1; Bucket < NumBuckets; ++Bucket) Buckets[Bucket].InsertAfter(Buckets[Bucket - 1]);
}

void FMirrorRegistry::Add(FMirrorNode& Node) {
    Node.Registry = this;
    Node.RegistryLink.InsertAfter(Buckets[Node.Identity & (NumBuckets - 1)]);
    Live.insert(reinterpret_cast<uint64>(&Node));
}

void FMirrorRegistry::Remove(FMirrorNode& Node) {
    Node.RegistryLink.Unlink();
    Live.erase(reinterpret_cast<uint64>(&Node));
}

FMirrorNode* FMirrorRegistry::Find(uint64 Identity) const {
    const FMirrorLink* Head = &Buckets[Identity & (NumBuckets - 1)];
    for (const FMirrorLink* Link = Head->Next; Link != Head; Link = Link->Next) {
        FMirrorNode* Node = static_cast<const FMirrorNode::FRegistryLink*>(Link)->Node;
        if (!Node) break; // the next bucket's head
        if (Node->Identity == Identity) return Node;
    }
    return nullptr;
}

FMirrorNode* FMirrorRegistry::FromHandle(uint64 Handle) const {
    return Live.count(Handle) ? reinterpret_cast<FMirrorNode*>(Handle) : nullptr;
}

void FMirrorRegistry::DestroyAll() {
    ForEach([](FMirrorNode& Node) { Node.Destroy(); });
}

FMirrorNode* NewMirrorNode(kvt::RecordKind Kind, uint64 Identity) {
    switch (Kind) {
    case kvt::RecordKind::Transform: return new FMirrorInstanceNode(Identity);
    case kvt::RecordKind::Mesh: return new FMirrorMeshNode(Identity);
    case kvt::RecordKind::AmbientLight: return new FMirrorSkyLightNode(Identity);
    case kvt::RecordKind::DirectionalLight: return new FMirrorDirectionalLightNode(Identity);
    case kvt::RecordKind::SpotLight: return new FMirrorSpotLightNode(Identity);
    case kvt::RecordKind::PointLight: return new FMirrorPointLightNode(Identity);
    }
    return nullptr;
}
