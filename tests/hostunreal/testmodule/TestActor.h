#pragma once
// A reflected actor class declared the way module headers declare them.
#include "CoreMinimal.h"
#include "GameFramework/Actor.h"
#include "TestActor.generated.h"

// The placeholder this module spawns into every editor world it sees.
UCLASS()
class ATestActor : public AActor {
    GENERATED_BODY()
public:
    ATestActor();
};
