#pragma once
// Include in exactly one source file of a benchmark program that links the plug-in.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>

// The host's geometry extractor, timed apart from the plug-in's conversion: the plug-in
// calls these six functions of the Maya stand-in through the dynamic linker, so the
// definitions in the program come first; each forwards to the stand-in's and adds its time
// to extractorClock::ns. The stand-in calls some of them itself (populateIndexBuffer asks
// primitiveCount, populateVertexBuffer vertexCount), and those inner calls come through
// the same hooks: only the outermost call is timed, else its inner time counts twice and
// is taken off the plug-in's share.
namespace extractorClock {
std::uint64_t ns = 0;
int depth = 0;
struct Timed {
    std::chrono::steady_clock::time_point t0;
    Timed() { t0 = depth++ == 0 ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point(); }
    ~Timed()
    {
        if (--depth == 0)
            ns += std::uint64_t(
                std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0).count());
    }
};
template <class Fn> Fn next(const char* symbol)
{
    void* found = dlsym(RTLD_NEXT, symbol);
    if (!found)
        std::abort(); // the stand-in no longer has it: rebuild against its names
    return reinterpret_cast<Fn>(found);
}
} // namespace extractorClock

#define EXTRACTOR_HOOK(symbol, ret, params, args, ...)                                                              \
    extern "C" ret symbol##_hook params __asm__(#symbol);                                                          \
    extern "C" ret symbol##_hook params                                                                            \
    {                                                                                                              \
        static auto real = extractorClock::next<ret(*) __VA_ARGS__>(#symbol);                                      \
        extractorClock::Timed timed;                                                                               \
        return real args;                                                                                          \
    }
// Maya 2018's names: the classes live in Autodesk::Maya::OpenMaya20180000, and the plug-in
// constructs the extractor with MPolyGeomOptions (an int).
EXTRACTOR_HOOK(_ZN8Autodesk4Maya16OpenMaya201800009MHWRender18MGeometryExtractorC1ERKNS2_21MGeometryRequirementsERKNS1_8MDagPathEiPNS1_7MStatusE,
               void, (void* self, const void* requirements, const void* path, int options, void* status),
               (self, requirements, path, options, status), (void*, const void*, const void*, int, void*))
EXTRACTOR_HOOK(_ZN8Autodesk4Maya16OpenMaya201800009MHWRender18MGeometryExtractorD1Ev, void, (void* self), (self),
               (void*))
EXTRACTOR_HOOK(_ZNK8Autodesk4Maya16OpenMaya201800009MHWRender18MGeometryExtractor11vertexCountEv, unsigned,
               (const void* self), (self), (const void*))
EXTRACTOR_HOOK(_ZNK8Autodesk4Maya16OpenMaya201800009MHWRender18MGeometryExtractor14primitiveCountERKNS2_22MIndexBufferDescriptorE,
               unsigned, (const void* self, const void* d), (self, d), (const void*, const void*))
EXTRACTOR_HOOK(_ZNK8Autodesk4Maya16OpenMaya201800009MHWRender18MGeometryExtractor19populateIndexBufferEPvjRKNS2_22MIndexBufferDescriptorE,
               int, (const void* self, void* data, unsigned count, const void* d), (self, data, count, d),
               (const void*, void*, unsigned, const void*))
EXTRACTOR_HOOK(_ZNK8Autodesk4Maya16OpenMaya201800009MHWRender18MGeometryExtractor20populateVertexBufferEPvjRKNS2_23MVertexBufferDescriptorE,
               int, (const void* self, void* data, unsigned count, const void* d), (self, data, count, d),
               (const void*, void*, unsigned, const void*))
