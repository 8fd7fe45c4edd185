#include "RecordReader.h"

#include "Headers.h"
#include "RelLink.h"

#include <cstddef>

namespace kvt {
namespace {

class ChainReader {
public:
    explicit ChainReader(ByteView view) : view_(view) {}

    RequestRecords read()
    {
        RequestRecords result;
        if (!view_.contains(0, sizeof(RequestHeader)))
            return fail(result, 0, "the request header does not fit the view");
        const auto newCount = view_.load<std::uint32_t>(offsetof(RequestHeader, newCount));

        std::uint64_t linkField = kFirstRecordOffset;
        std::uint64_t earliest = sizeof(RequestHeader); // records only ever follow what came before
        std::uint32_t newRecords = 0;
        while (view_.load<RelLink>(linkField) != 0) {
            auto at = followLink(view_, linkField, kShortRecordSize);
            if (!at)
                return fail(result, std::uint32_t(linkField), "the link to the next record leaves the view");
            if (*at < earliest)
                return fail(result, std::uint32_t(linkField),
                            "the link to the next record points back into earlier data: the chain would not end");
            Record record;
            if (auto error = readRecord(*at, record))
                return fail(result, *at, *error);
            if (record.isNew() && !record.deleted())
                ++newRecords;
            earliest = std::uint64_t(*at) + record.size;
            linkField = *at + offsetof(RecordHeader, next);
            result.records.push_back(std::move(record));
        }
        if (newRecords != newCount)
            return fail(result, offsetof(RequestHeader, newCount),
                        "newCount is " + std::to_string(newCount) + " but " + std::to_string(newRecords) +
                            " records are new");
        result.newCount = newCount;
        return result;
    }

private:
    static RequestRecords& fail(RequestRecords& result, std::uint32_t offset, std::string message)
    {
        result.records.clear();
        result.error = RecordError{offset, std::move(message)};
        return result;
    }

    // Returns an error message, or nothing when the record is sound.
    Optional<std::string> readRecord(std::uint32_t at, Record& record)
    {
        record.offset = at;
        record.identity = view_.load<std::uint64_t>(at + offsetof(RecordHeader, identity));
        record.flags = view_.load<std::uint8_t>(at + offsetof(RecordHeader, flags));
        record.kind = static_cast<RecordKind>(record.flags & RecordFlags::kind);
        record.size = kShortRecordSize;
        if (record.deleted())
            return none;
        std::uint32_t size = longRecordSize(record.kind);
        if (size == 0)
            return "unknown record kind " + std::to_string(int(record.kind));
        // A record without data carries its flags alone (a visibility change, say), for
        // shapes as for transforms.
        if (!(record.flags & RecordFlags::hasData))
            return none;
        if (!view_.contains(at, size))
            return "the " + recordKindName(record.kind) + " record runs past the view";
        record.size = size;
        switch (record.kind) {
        case RecordKind::Transform: return readTransform(at, record);
        case RecordKind::Mesh: return readMesh(at, record);
        case RecordKind::SpotLight: std::memcpy(&record.spot, view_.data + at, sizeof record.spot); break;
        default: std::memcpy(&record.light, view_.data + at, sizeof record.light); break;
        }
        return none;
    }

    Optional<std::string> readTransform(std::uint32_t at, Record& record)
    {
        std::memcpy(&record.transform, view_.data + at, sizeof record.transform);
        if (record.transform.hasMaterials == 0)
            return none;
        if (record.transform.hasMaterials != 1)
            return "hasMaterials is " + std::to_string(record.transform.hasMaterials) + ", neither 0 nor 1";
        if (!view_.contains(at, sizeof(TransformRecordWithMaterials)))
            return std::string("the transform record with materials runs past the view");
        record.size = sizeof(TransformRecordWithMaterials);
        auto count = view_.load<std::int32_t>(at + offsetof(TransformRecordWithMaterials, materialCount));
        if (count < 0)
            return "negative materialCount " + std::to_string(count);
        std::uint64_t field = at + offsetof(TransformRecordWithMaterials, materials);
        if (count == 0)
            return none;
        auto table = followLink(view_, field, std::uint64_t(count) * sizeof(RelLink));
        if (!table)
            return "the material table (" + std::to_string(count) + " entries) lies outside the view";
        record.materials.reserve(std::size_t(count));
        for (std::int32_t i = 0; i < count; ++i) {
            std::uint64_t entry = *table + std::uint64_t(i) * sizeof(RelLink);
            if (view_.load<RelLink>(entry) == 0) {
                record.materials.emplace_back();
                continue;
            }
            auto text = followLink(view_, entry, sizeof(char16_t));
            Optional<std::u16string> name;
            if (text)
                name = view_.string16(*text);
            if (!name)
                return "material name " + std::to_string(i) + " is not terminated inside the view";
            // Names never share bytes; a request that makes us read more than its view is forged.
            stringBytes_ += (name->size() + 1) * sizeof(char16_t);
            if (stringBytes_ > view_.size)
                return std::string("material names overlap");
            record.materials.push_back(std::move(*name));
        }
        return none;
    }

    Optional<std::string> readMesh(std::uint32_t at, Record& record)
    {
        MeshRecord& mesh = record.mesh;
        std::memcpy(&mesh, view_.data + at, sizeof mesh);
        if (mesh.sectionCount < 0 || mesh.vertexCount < 0 || mesh.indexCount < 0)
            return std::string("negative mesh counts");
        if (mesh.indexCount % 3 != 0)
            return "indexCount " + std::to_string(mesh.indexCount) + " is not a whole number of triangles";

        auto array = [&](std::size_t field, std::int32_t count, std::size_t element,
                         const std::uint8_t*& out) -> bool {
            if (count == 0)
                return true;
            auto target = followLink(view_, at + field, std::uint64_t(count) * element);
            if (!target)
                return false;
            out = view_.data + *target;
            return true;
        };
        if (!array(offsetof(MeshRecord, vertices), mesh.vertexCount, sizeof(FKvtMeshVertex), record.vertices))
            return "the mesh vertices (" + std::to_string(mesh.vertexCount) + ") lie outside the view";
        if (!array(offsetof(MeshRecord, indices), mesh.indexCount, sizeof(std::uint32_t), record.indices))
            return "the mesh indices (" + std::to_string(mesh.indexCount) + ") lie outside the view";
        if (!array(offsetof(MeshRecord, sections), mesh.sectionCount, sizeof(FKvtMeshSection), record.sections))
            return "the mesh sections (" + std::to_string(mesh.sectionCount) + ") lie outside the view";

        for (std::int32_t i = 0; i < mesh.indexCount; ++i)
            if (record.index(std::uint32_t(i)) >= std::uint32_t(mesh.vertexCount))
                return "index " + std::to_string(i) + " names vertex " + std::to_string(record.index(std::uint32_t(i))) +
                       " of " + std::to_string(mesh.vertexCount);
        for (std::int32_t i = 0; i < mesh.sectionCount; ++i) {
            FKvtMeshSection s = record.section(std::uint32_t(i));
            if (s.firstIndex < 0 || s.triangleCount < 0 ||
                std::int64_t(s.firstIndex) + 3 * std::int64_t(s.triangleCount) > mesh.indexCount)
                return "section " + std::to_string(i) + " lies outside the indices";
        }
        return none;
    }

    ByteView view_;
    std::uint64_t stringBytes_ = 0;
};

} // namespace

RequestRecords readRecords(ByteView request) { return ChainReader(request).read(); }

std::string recordKindName(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Transform: return "transform";
    case RecordKind::Mesh: return "mesh";
    case RecordKind::AmbientLight: return "ambient light";
    case RecordKind::DirectionalLight: return "directional light";
    case RecordKind::SpotLight: return "spot light";
    case RecordKind::PointLight: return "point light";
    }
    return "kind " + std::to_string(int(kind));
}

} // namespace kvt
