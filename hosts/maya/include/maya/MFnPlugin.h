#pragma once
#include <maya/MFnBase.h>
#include <maya/MString.h>

// The plug-in's own API version, read by the host when it loads the library.
#ifndef _MApiVersion
#define _MApiVersion
extern "C" __attribute__((visibility("default"))) const char MApiVersion[] = "20180000";
#endif

class OPENMAYA_EXPORT MFnPlugin : public MFnBase {
public:
    MFnPlugin() = default;
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* status = nullptr);
    MFn::Type type() const override { return MFn::kPlugin; }
    MString vendor(MStatus* status = nullptr) const;
    MString version(MStatus* status = nullptr) const;
    MString apiVersion(MStatus* status = nullptr) const;
    MString name(MStatus* status = nullptr) const;
    MString loadPath(MStatus* status = nullptr) const;
};
