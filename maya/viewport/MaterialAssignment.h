#pragma once
// A material chosen in Unreal, assigned in Maya to the selected objects through a shading
// engine tagged with its name (an existing one, or a new lambert's).

#include <string>

namespace kvt {
class SharedRegion;
}

// Longest shader name the assignment command holds (bytes, without the terminator).
constexpr std::size_t kMaxShaderName = 2048 - 22;

// `response` is the reply's region; its `assignMaterial` stays set while the command runs
// (a new shading engine takes its tag from it) and is cleared afterwards.
void assignMaterialToSelection(const std::u16string& name, kvt::SharedRegion& response);
