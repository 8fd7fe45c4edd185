#pragma once
#include "UE4Host/Scene.h"
