#include "RegionCleanup.h"

namespace testsupport {

// A mapping goes with its last handle, and a killed process's handles close with it.
void RegionCleanup::removeNow() {}

} // namespace testsupport
