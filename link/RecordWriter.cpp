#include "RecordWriter.h"

#include "Headers.h"
#include "RelLink.h"

namespace kvt {

RecordWriter::RecordWriter(SharedRegion& request) : region_(request), cursor_(kFirstRecordOffset)
{
    reinterpret_cast<RequestHeader*>(region_.view)->newCount = 0;
}

std::uint32_t RecordWriter::newCount() const { return reinterpret_cast<const RequestHeader*>(region_.view)->newCount; }

Optional<std::uint32_t> RecordWriter::appendRecord(std::uint32_t size, std::uint64_t identity, bool countAsNew)
{
    std::uint32_t offset = region_.used;
    if (region_.extend(std::uint64_t(offset) + size) == nullptr) {
        complete_ = false;
        return none;
    }
    RecordHeader* header = as<RecordHeader>(offset);
    header->identity = 0;
    header->next = 0;
    storeLink(at(cursor_), at(offset));
    cursor_ = offset + offsetof(RecordHeader, next);
    if (countAsNew)
        ++reinterpret_cast<RequestHeader*>(region_.view)->newCount;
    header->identity = identity;
    return offset;
}

Optional<std::uint32_t> RecordWriter::appendTransform(TransformForm form, std::uint64_t identity, bool countAsNew)
{
    std::uint32_t size = form == TransformForm::Short                ? kShortRecordSize
                         : form == TransformForm::Long               ? sizeof(TransformRecord)
                                                                     : sizeof(TransformRecordWithMaterials);
    auto offset = appendRecord(size, identity, countAsNew);
    if (!offset)
        return offset;
    setFlags(*offset, RecordFlags::kind, 0);
    if (form != TransformForm::Short)
        as<TransformRecord>(*offset)->shapeRef = 0;
    if (form == TransformForm::LongWithMaterials)
        as<TransformRecordWithMaterials>(*offset)->materials = 0;
    return offset;
}

Optional<std::uint32_t> RecordWriter::appendShape(RecordKind kind, bool deleted, std::uint64_t identity,
                                                        bool countAsNew)
{
    auto offset = appendRecord(deleted ? kShortRecordSize : longRecordSize(kind), identity, countAsNew);
    if (!offset || deleted)
        return offset;
    setFlags(*offset, RecordFlags::kind, static_cast<std::uint8_t>(kind));
    if (kind == RecordKind::Mesh) {
        MeshRecord* mesh = as<MeshRecord>(*offset);
        mesh->vertices = 0;
        mesh->indices = 0;
        mesh->sections = 0;
    }
    return offset;
}

void RecordWriter::setFlags(std::uint32_t record, std::uint8_t mask, std::uint8_t value)
{
    std::uint8_t& flags = as<RecordHeader>(record)->flags;
    flags = static_cast<std::uint8_t>((flags & ~mask) | (value & mask));
}

Optional<std::uint32_t> RecordWriter::appendArray(std::uint32_t linkField, std::uint64_t bytes)
{
    std::uint32_t offset = region_.used;
    if (region_.extend(std::uint64_t(offset) + bytes) == nullptr) {
        complete_ = false;
        return none;
    }
    storeLink(at(linkField), at(offset));
    return offset;
}

bool RecordWriter::appendMaterialNames(std::uint32_t record, const std::vector<Optional<std::u16string>>& names)
{
    as<TransformRecordWithMaterials>(record)->materialCount = static_cast<std::int32_t>(names.size());
    auto table = appendArray(record + offsetof(TransformRecordWithMaterials, materials),
                             names.size() * sizeof(RelLink));
    if (!table)
        return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::uint32_t entry = *table + static_cast<std::uint32_t>(i * sizeof(RelLink));
        if (!names[i]) {
            storeLink(at(entry), nullptr);
            continue;
        }
        const std::u16string& name = *names[i];
        auto text = appendArray(entry, (name.size() + 1) * sizeof(char16_t));
        if (!text)
            return false;
        std::memcpy(at(*text), name.data(), name.size() * sizeof(char16_t));
        std::memset(at(*text) + name.size() * sizeof(char16_t), 0, sizeof(char16_t));
    }
    return true;
}

} // namespace kvt
