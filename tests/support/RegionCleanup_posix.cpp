#include "RegionCleanup.h"

#include <sys/mman.h>

namespace testsupport {

void RegionCleanup::removeNow()
{
    for (const std::string& name : names_)
        shm_unlink(("/" + name).c_str());
}

} // namespace testsupport
