// Feeds arbitrary bytes to the request's record reader as if they were a request view.
// The reader must refuse what it cannot read and never touch a byte outside the view.

#include "link/RecordReader.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact-size heap copy, so that AddressSanitizer sees any read past the view.
    std::vector<std::uint8_t> view(data, data + size);
    auto result = kvt::readRecords(kvt::ByteView{view.data(), static_cast<std::uint32_t>(view.size())});
    if (result.ok()) {
        // Touch every array the reader vouched for.
        std::uint64_t sum = 0;
        for (const kvt::Record& r : result.records) {
            if (r.kind == kvt::RecordKind::Mesh && r.hasData()) {
                for (std::int32_t i = 0; i < r.mesh.vertexCount; ++i)
                    sum += r.vertex(std::uint32_t(i)).colour[0];
                for (std::int32_t i = 0; i < r.mesh.indexCount; ++i)
                    sum += r.index(std::uint32_t(i));
                for (std::int32_t i = 0; i < r.mesh.sectionCount; ++i)
                    sum += std::uint32_t(r.section(std::uint32_t(i)).triangleCount);
            }
        }
        volatile std::uint64_t sink = sum;
        (void)sink;
    }
    return 0;
}
