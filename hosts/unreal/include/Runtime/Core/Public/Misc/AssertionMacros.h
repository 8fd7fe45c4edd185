#pragma once
// Engine assertions: check/checkf stop the program with the failed expression; ensure reports
// and goes on, returning the condition.
#include "HAL/Platform.h"

struct FDebug {
    [[noreturn]] static CORE_API void AssertFailed(const char* Expr, const char* File, int Line, const char* Message = nullptr);
    static CORE_API bool EnsureFailed(const char* Expr, const char* File, int Line);
};

#define check(expr) do { if (!(expr)) FDebug::AssertFailed(#expr, __FILE__, __LINE__); } while (0)
#define checkf(expr, ...) do { if (!(expr)) FDebug::AssertFailed(#expr, __FILE__, __LINE__); } while (0)
#define checkSlow(expr) check(expr)
#define checkNoEntry() FDebug::AssertFailed("Enclosing block should never be called", __FILE__, __LINE__)
#define verify(expr) check(expr)
#define ensure(expr) ((expr) || FDebug::EnsureFailed(#expr, __FILE__, __LINE__))
#define ensureMsgf(expr, ...) ensure(expr)
