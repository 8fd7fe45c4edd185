#pragma once
// Allocation policies of the engine's containers. The stand-in's TArray keeps its elements
// on the heap whatever the policy; a fixed allocator still refuses to grow past its size.
#include "HAL/Platform.h"

class FDefaultAllocator {
public:
    enum { NumInlineElements = 0 };
    enum { MaxElements = 0x7fffffff };
};

template <uint32 NumInlineElements_, typename SecondaryAllocator = FDefaultAllocator>
class TInlineAllocator {
public:
    enum { NumInlineElements = NumInlineElements_ };
    enum { MaxElements = 0x7fffffff };
};

template <uint32 NumInlineElements_>
class TFixedAllocator {
public:
    enum { NumInlineElements = NumInlineElements_ };
    enum { MaxElements = NumInlineElements_ };
};
