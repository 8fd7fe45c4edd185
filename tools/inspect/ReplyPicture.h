#pragma once
// The picture of the current reply as PNG files a user can open: the colour block as it
// will appear in Maya, and the depth block as a grey ramp.

#include "link/ByteView.h"

#include <string>

namespace kvtinspect {

// Writes `dir`/colour.png and `dir`/depth.png (top row first; depth 0, the near plane,
// white, and 1, the far plane, black) from the reply in `response` to the request in
// `request`. Returns false with `message` saying why when there is no picture to write
// (the reply is outstanding, no picture was wanted, or the reply is malformed) or a file
// cannot be written; on success `message` names the files.
bool writeReplyPicture(kvt::ByteView request, kvt::ByteView response, const std::string& dir, std::string& message);

} // namespace kvtinspect
