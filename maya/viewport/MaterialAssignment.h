#pragma once
// A material chosen in Unreal, assigned in Maya to the selected objects through a shading
// engine tagged with its name (an existing one, or a new lambert's).

#include <string>

// Longest shader name the assignment command holds (bytes, without the terminator).
constexpr std::size_t kMaxShaderName = 2048 - 22;

// Runs from the idle timer after the frame whose reply named the material (never while
// Viewport 2.0 draws: it creates nodes and changes the selection). While its assign
// command runs, a shading engine Maya creates takes `name` as its tag.
void assignMaterialToSelection(const std::u16string& name);
