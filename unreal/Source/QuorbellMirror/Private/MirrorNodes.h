#pragma once
// The nodes that mirror Maya objects: one per shape (mesh or light) and one per DAG
// instance, kept in a 512-bucket registry. A node's address is the remote handle Maya
// sends back for it, so the registry also keeps the set of live addresses: a handle that
// names no live node is refused instead of followed.
#include "CoreMinimal.h"
#include "link/RecordReader.h"

#include <unordered_set>

class UWorld;
class USceneComponent;
class FMirrorInstanceNode;
class FMirrorRegistry;

// Two pointers of an intrusive circular doubly linked list.
struct FMirrorLink {
    FMirrorLink* Prev = this;
    FMirrorLink* Next = this;

    FMirrorLink() = default;
    FMirrorLink(const FMirrorLink&) = delete;
    FMirrorLink& operator=(const FMirrorLink&) = delete;
    bool IsLinked() const { return Next != this; }
    void Unlink() {
        Prev->Next = Next;
        Next->Prev = Prev;
        Prev = Next = this;
    }
    void InsertAfter(FMirrorLink& Head) {
        Prev = &Head;
        Next = Head.Next;
        Head.Next->Prev = this;
        Head.Next = this;
    }
};

class FMirrorNode {
public:
    // Registry membership; bucket heads carry no node.
    struct FRegistryLink : FMirrorLink {
        FMirrorNode* Node = nullptr;
    };

    FMirrorNode(uint64 InIdentity, kvt::RecordKind InKind);
    virtual ~FMirrorNode();
    FMirrorNode(const FMirrorNode&) = delete;
    FMirrorNode& operator=(const FMirrorNode&) = delete;

    // Makes the component of a new instance of this shape; shapes only.
    virtual void AttachInstance(FMirrorInstanceNode& Instance) { (void)Instance; }
    virtual void Update(const kvt::Record& Record) = 0;
    virtual void OnWorldChanged(UWorld* World) { (void)World; }
    // Removes the node; the node must not be touched afterwards.
    virtual void Destroy() { delete this; }

    bool IsShape() const { return Kind != kvt::RecordKind::Transform; }
    // Leaves the registry (and the set of live addresses) now.
    void LeaveRegistry();

    FRegistryLink RegistryLink;
    uint8 bVisible = 1;
    uint64 Identity = 0;
    const kvt::RecordKind Kind;
    FMirrorRegistry* Registry = nullptr;
};

// One DAG instance: owns the component its shape made for it.
class FMirrorInstanceNode : public FMirrorNode {
public:
    // Membership in a light node's instance list.
    struct FShapeLink : FMirrorLink {
        FMirrorInstanceNode* Instance = nullptr;
    };

    explicit FMirrorInstanceNode(uint64 InIdentity);
    ~FMirrorInstanceNode() override;

    void Update(const kvt::Record& Record) override;
    void OnWorldChanged(UWorld* World) override;
    void Destroy() override;

    // Gives the node a component: the old one is unregistered and unrooted, the new one
    // rooted and registered with the current editor world.
    void SetComponent(USceneComponent* NewComponent);
    USceneComponent* GetComponent() const { return Component; }
    // The component shows when the instance and, for a light, the light itself are visible:
    // Maya hides a light through either its transform or its shape.
    void ApplyVisibility();

    FShapeLink ShapeLink;
    uint8 bShapeVisible = 1; // a light's own visible byte, given by the light node

private:
    void ApplyMaterials(const kvt::Record& Record);
    USceneComponent* Component = nullptr;
};

// Ambient, directional, point and spot lights: the values of the last record, applied to
// the component of every instance this light made.
class FMirrorLightNode : public FMirrorNode {
public:
    FMirrorLightNode(uint64 InIdentity, kvt::RecordKind InKind) : FMirrorNode(InIdentity, InKind) {}
    ~FMirrorLightNode() override;

    void AttachInstance(FMirrorInstanceNode& Instance) override;
    void Update(const kvt::Record& Record) override;
    void Destroy() override;

    FLinearColor Color = FLinearColor(0.f, 0.f, 0.f, 0.f);
    float Intensity = 0.f;
    float InnerConeAngle = 0.f;
    float OuterConeAngle = 0.f;
    FMirrorLink Instances; // FMirrorInstanceNode::ShapeLink of each instance made here

protected:
    virtual USceneComponent* NewLightComponent() const = 0;
    virtual void ApplyTo(USceneComponent& Component) const;
};

class FMirrorSkyLightNode final : public FMirrorLightNode {
public:
    explicit FMirrorSkyLightNode(uint64 InIdentity) : FMirrorLightNode(InIdentity, kvt::RecordKind::AmbientLight) {}
protected:
    USceneComponent* NewLightComponent() const override;
    void ApplyTo(USceneComponent& Component) const override;
};

class FMirrorDirectionalLightNode final : public FMirrorLightNode {
public:
    explicit FMirrorDirectionalLightNode(uint64 InIdentity) : FMirrorLightNode(InIdentity, kvt::RecordKind::DirectionalLight) {}
protected:
    USceneComponent* NewLightComponent() const override;
};

class FMirrorPointLightNode final : public FMirrorLightNode {
public:
    explicit FMirrorPointLightNode(uint64 InIdentity) : FMirrorLightNode(InIdentity, kvt::RecordKind::PointLight) {}
protected:
    USceneComponent* NewLightComponent() const override;
};

class FMirrorSpotLightNode final : public FMirrorLightNode {
public:
    explicit FMirrorSpotLightNode(uint64 InIdentity) : FMirrorLightNode(InIdentity, kvt::RecordKind::SpotLight) {}
protected:
    USceneComponent* NewLightComponent() const override;
    void ApplyTo(USceneComponent& Component) const override;
};

// The node registry: 512 bucket heads in one ring, a node after its bucket's head
// (newest first), and the set of addresses of the nodes in it.
class FMirrorRegistry {
public:
    static constexpr uint32 NumBuckets = 512;

    FMirrorRegistry();
    FMirrorRegistry(const FMirrorRegistry&) = delete;
    FMirrorRegistry& operator=(const FMirrorRegistry&) = delete;

    void Add(FMirrorNode& Node);
    void Remove(FMirrorNode& Node);
    // The newest node created with this identity, or null.
    FMirrorNode* Find(uint64 Identity) const;
    // The node whose address a remote handle is, or null when no live node has it.
    FMirrorNode* FromHandle(uint64 Handle) const;
    bool IsEmpty() const { return Live.empty(); }
    int32 Num() const { return int32(Live.size()); }

    // Every node in ring order; Visit may destroy the node it is given.
    template <class F> void ForEach(F&& Visit) {
        FMirrorLink* Link = Buckets[0].Next;
        while (Link != &Buckets[0]) {
            FMirrorLink* Next = Link->Next;
            if (FMirrorNode* Node = static_cast<FMirrorNode::FRegistryLink*>(Link)->Node) Visit(*Node);
            Link = Next;
        }
    }
    void DestroyAll();

private:
    FMirrorNode::FRegistryLink Buckets[NumBuckets];
    std::unordered_set<uint64> Live;
};

// Creates the node for a new record of this kind; null for a kind without nodes.
FMirrorNode* NewMirrorNode(kvt::RecordKind Kind, uint64 Identity);
