#pragma once
// The render hardware interface: definitions, resources and their creation.
#include "RHIDefinitions.h"
#include "RHIResources.h"
#include "DynamicRHI.h"

// True once RHIInit has made the device.
extern RHI_API bool GIsRHIInitialized;
// The feature level the RHI renders at.
extern RHI_API ERHIFeatureLevel::Type GMaxRHIFeatureLevel;
