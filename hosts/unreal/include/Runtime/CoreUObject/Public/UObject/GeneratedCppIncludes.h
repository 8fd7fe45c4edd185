#pragma once
// What every file the header tool writes includes first.
#include "UObject/Object.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/Class.h"
#include "UObject/MetaData.h"
