#pragma once
#include "Engine/World.h"
