#pragma once
#include "CoreUObject.h"
#include "Engine/Engine.h"
#include "GameFramework/Actor.h"
#include "Components/MeshComponent.h"
