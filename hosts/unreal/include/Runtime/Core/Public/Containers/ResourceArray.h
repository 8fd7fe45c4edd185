#pragma once
// The interface through which the RHI reads the initial contents of a buffer it creates.
#include "HAL/Platform.h"

class FResourceArrayInterface {
public:
    virtual ~FResourceArrayInterface() {}
    virtual const void* GetResourceData() const = 0;
    virtual uint32 GetResourceDataSize() const = 0;
    // Called after the RHI has copied the data.
    virtual void Discard() = 0;
    virtual bool IsStatic() const = 0;
    virtual bool GetAllowCPUAccess() const = 0;
    virtual void SetAllowCPUAccess(bool bInNeedsCPUAccess) = 0;
};
