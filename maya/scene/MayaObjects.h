#pragma once
// The Maya-side mirror objects: one MayaShape per mirrored shape node, one
// MayaSceneObject per DAG path that ends at such a shape (an instance).

#include "DList.h"

#include <maya/MMessage.h>
#include <maya/MDagPath.h>
#include <maya/MObjectHandle.h>

#include <cstdint>
#include "link/Optional.h"
#include <vector>

#include "link/Records.h"

namespace kvt {
class RecordWriter;
}

// Root of the mirror objects: the Maya callbacks registered for the object, removed
// with it, and the handle the Unreal side assigned (0 while there is none).
class MayaBase {
public:
    virtual ~MayaBase();
    void keepCallback(MCallbackId id) { callbacks.push_back(id); }

    std::vector<MCallbackId> callbacks;
    std::uint64_t remoteHandle = 0;

    // The identity sent on the wire: the remote handle, or our own address while there is none.
    std::uint64_t identity() const
    {
        return remoteHandle ? remoteHandle : static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(this));
    }
};

using ShapeTableNode = DListNode<class MayaShape, kMayaTag>;
using ShapeListNode = DListNode<class MayaShape, 1>;

class MayaShape : public MayaBase, public ShapeTableNode, public ShapeListNode {
public:
    ~MayaShape() override;
    // Viewport object-type bit of the shape's kind.
    virtual int typeBit() const { return 0; }
    // Registers the shape's node-dirty callback.
    virtual void watch(MObject& node);
    // Appends the shape's record to the request. `changedTypeBits` are the viewport
    // type bits whose visibility changed in this request.
    virtual void writeRecord(kvt::RecordWriter& writer, std::uint64_t changedTypeBits) = 0;

    std::uint8_t visibilityDirty = 1;
    std::uint8_t deleted = 0;
    MObjectHandle node;

    // Writes the record header and the visibility bits shared by every shape record.
    // Returns the record's offset, or nothing when no body follows: the shape is deleted
    // (the caller then destroys it) or the arena cannot grow.
    kvt::Optional<std::uint32_t> writeHeader(kvt::RecordWriter& writer, kvt::RecordKind kind,
                                              std::uint64_t changedTypeBits);
};

class MayaModel : public MayaShape {
public:
    int typeBit() const override { return 4; }
    void writeRecord(kvt::RecordWriter& writer, std::uint64_t changedTypeBits) override;
};

// NURBS surfaces are sent as the polygons Maya tessellates them into.
class MayaNurbsSurface : public MayaModel {
public:
    int typeBit() const override { return 2; }
};

class MayaLight : public MayaShape {
public:
    int typeBit() const override { return 16; }
};

class MayaAmbientLight : public MayaLight {
public:
    void writeRecord(kvt::RecordWriter& writer, std::uint64_t changedTypeBits) override;
};
class MayaDirectionalLight : public MayaLight {
public:
    void writeRecord(kvt::RecordWriter& writer, std::uint64_t changedTypeBits) override;
};
class MayaPointLight : public MayaLight {
public:
    void writeRecord(kvt::RecordWriter& writer, std::uint64_t changedTypeBits) override;
};
class MayaSpotLight : public MayaLight {
public:
    void writeRecord(kvt::RecordWriter& writer, std::uint64_t changedTypeBits) override;
};

using InstanceTableNode = DListNode<class MayaSceneObject, 0>;
using InstanceListNode = DListNode<class MayaSceneObject, 1>;

class MayaSceneObject : public MayaBase, public InstanceTableNode, public InstanceListNode {
public:
    ~MayaSceneObject() override;
    // Appends the instance's transform record to the request.
    void writeRecord(kvt::RecordWriter& writer);

    std::uint8_t rotateAsLight = 0;
    std::uint8_t matrixDirty = 1;
    std::uint8_t visibilityDirty = 1;
    std::uint8_t deleted = 0;
    std::uint8_t materialsDirty = 1;
    MayaShape* shape = nullptr; // not owned
    MDagPath path;
};
