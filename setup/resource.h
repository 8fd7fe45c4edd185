#pragma once
// Resource identifiers shared by setup.rc and the program.

#define IDI_SETUP_ICON 101
