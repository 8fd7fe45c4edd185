#pragma once
// Appends object records to the request arena and chains them. Every record, and every
// array a record points to, is allocated at the arena's end; the slot that links to the
// next record is kept as an offset and resolved again after each allocation, because
// an allocation may remap the view at another address. Fields the format leaves
// unwritten keep whatever bytes an earlier frame left there.

#include "Records.h"
#include "SharedRegion.h"

#include <cstdint>
#include "Optional.h"
#include <string>
#include <vector>

namespace kvt {

enum class TransformForm { Short, Long, LongWithMaterials };

class RecordWriter {
public:
    // The request header lies at offset 0; its `newCount` is set to 0 here.
    explicit RecordWriter(SharedRegion& request);

    // A transform record: `kind` cleared, `identity` and `next` set, and in the long forms
    // `shapeRef` (and `materials`) zeroed. Counted in `newCount` when countAsNew.
    // Returns the record's offset, or nothing when the arena cannot grow.
    Optional<std::uint32_t> appendTransform(TransformForm form, std::uint64_t identity, bool countAsNew);

    // A shape record: the kind's long form with `kind` set (mesh links zeroed), or, for a
    // deleted shape, the 16-byte header alone with its kind bits left as they were.
    Optional<std::uint32_t> appendShape(RecordKind kind, bool deleted, std::uint64_t identity, bool countAsNew);

    // Sets the flag bits under `mask` to `value`; the other bits keep their bytes.
    void setFlags(std::uint32_t record, std::uint8_t mask, std::uint8_t value);

    // Allocates `bytes` at the arena's end and stores its link into the field at
    // `linkField` (a region offset). Returns the array's offset.
    Optional<std::uint32_t> appendArray(std::uint32_t linkField, std::uint64_t bytes);

    // The material table of a 112-byte transform record: `materialCount`, then an array of
    // links to NUL-terminated UTF-16 names; a missing name is a zero link.
    bool appendMaterialNames(std::uint32_t record, const std::vector<Optional<std::u16string>>& names);

    std::uint8_t* at(std::uint32_t offset) { return region_.view + offset; }
    template <class T> T* as(std::uint32_t offset) { return reinterpret_cast<T*>(at(offset)); }

    std::uint32_t newCount() const;

    // False once anything could not be written (an allocation failed here, or the caller
    // said so): the request then misses data and must not be sent as it is.
    bool complete() const { return complete_; }
    void markIncomplete() { complete_ = false; }

private:
    Optional<std::uint32_t> appendRecord(std::uint32_t size, std::uint64_t identity, bool countAsNew);

    SharedRegion& region_;
    std::uint32_t cursor_; // offset of the link slot to fill next
    bool complete_ = true;
};

} // namespace kvt
