#pragma once
#include "Editor/EditorEngine.h"

extern UNREALED_API UEditorEngine* GEditor;
