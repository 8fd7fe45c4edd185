#pragma once
// What a menu was built with, in order: the editor's console shows and runs its entries,
// and tests read them. The engine draws a menu instead; modules never see this.
#include "Framework/MultiBox/MultiBoxBuilder.h"

namespace UE4Host {

struct FMenuContents {
    // Entries and separators (bSeparator) with their label, tool tip, icon and action.
    static const auto& Entries(const FMenuBuilder& Menu) { return Menu.Entries; }
};

} // namespace UE4Host
