#pragma once
// Reads the record chain of a request that came from the other process. The whole
// chain is checked against the request view before anything is handed on: every record,
// body, array and string lies inside the view, counts fit without overflow, indices name
// existing vertices, and the chain ends. A malformed request yields an error naming the
// offending record's offset and no records at all, so nothing half-applied follows.

#include "ByteView.h"
#include "Records.h"

#include <cstdint>
#include "Optional.h"
#include <string>
#include <utility>
#include <vector>

namespace kvt {

struct Record {
    std::uint32_t offset = 0; // of the record in the request view
    std::uint32_t size = 0;   // 16 or the long size
    std::uint64_t identity = 0;
    std::uint8_t flags = 0;
    RecordKind kind = RecordKind::Transform; // meaningless in a deleted record

    bool isNew() const { return flags & RecordFlags::isNew; }
    bool deleted() const { return flags & RecordFlags::deleted; }
    bool hasData() const { return !deleted() && (flags & RecordFlags::hasData); }
    bool visibilityValid() const { return !deleted() && (flags & RecordFlags::visibilityValid); }
    bool visible() const { return flags & RecordFlags::visible; }

    // Bodies, copied out of the view (long forms only).
    TransformRecord transform{};
    MeshRecord mesh{};
    LightRecord light{};
    SpotLightRecord spot{};

    // 112-byte transforms: one entry per material slot; nothing where the slot has no name.
    std::vector<Optional<std::u16string>> materials;

    // Mesh arrays as they lie in the view (valid while the view is); checked for size.
    const std::uint8_t* vertices = nullptr; // mesh.vertexCount × FKvtMeshVertex
    const std::uint8_t* indices = nullptr;  // mesh.indexCount × u32
    const std::uint8_t* sections = nullptr; // mesh.sectionCount × FKvtMeshSection

    FKvtMeshVertex vertex(std::uint32_t i) const { return loadAt<FKvtMeshVertex>(vertices, i); }
    std::uint32_t index(std::uint32_t i) const { return loadAt<std::uint32_t>(indices, i); }
    FKvtMeshSection section(std::uint32_t i) const { return loadAt<FKvtMeshSection>(sections, i); }

private:
    template <class T> static T loadAt(const std::uint8_t* base, std::uint32_t i)
    {
        T value;
        std::memcpy(&value, base + std::size_t(i) * sizeof(T), sizeof(T));
        return value;
    }
};

struct RecordError {
    std::uint32_t offset = 0; // of the offending record (or link field)
    std::string message;

    // Visual Studio 2015 takes no braced list for a struct with default member initialisers.
    RecordError() = default;
    RecordError(std::uint32_t at, std::string text) : offset(at), message(std::move(text)) {}
};

struct RequestRecords {
    std::vector<Record> records;
    // The header's newCount as read once and checked against the new records: act on this,
    // never on the header read again.
    std::uint32_t newCount = 0;
    Optional<RecordError> error;
    bool ok() const { return !error; }
};

// Walks the chain from the request header's `firstRecord`.
RequestRecords readRecords(ByteView request);

// "transform", "mesh", …; "kind N" for a kind that does not exist.
std::string recordKindName(RecordKind kind);

} // namespace kvt
