#pragma once
// Every plug-in carries the API version it was built against; the host reads it when it
// loads the library. Define MNoVersionString in all but one of a plug-in's sources.
#include <maya/MTypes.h>

#ifndef MNoVersionString
#define _versionString1(_version) _versionString2(_version)
#define _versionString2(_version) PLUGIN_EXPORT char MApiVersion[] = #_version
extern "C" {
_versionString1(MAYA_API_VERSION);
}
#undef _versionString1
#undef _versionString2
#endif
