#pragma once
// A readable account of one frame in the two regions: both headers, the record chain as
// the validating reader sees it, and the reply's blocks.

#include "link/ByteView.h"

#include <string>

namespace kvtinspect {

// `request` and `response` are the views as mapped (each already remapped to the size
// its header announces).
std::string describeFrame(kvt::ByteView request, kvt::ByteView response);

std::string flagNames(std::uint8_t flags);

} // namespace kvtinspect
