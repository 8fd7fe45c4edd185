#pragma once
// UE_LOG: "Category: Verbosity: message" lines on standard output (errors and warnings
// on standard error).
#include "Containers/UnrealString.h"

namespace ELogVerbosity { enum Type : uint8 { NoLogging, Fatal, Error, Warning, Display, Log, Verbose, VeryVerbose, All = VeryVerbose }; }

struct FLogCategoryBase {
    const TCHAR* Name;
    explicit FLogCategoryBase(const TCHAR* InName) : Name(InName) {}
};
CORE_API void StandInLogLine(const TCHAR* Category, ELogVerbosity::Type Verbosity, const FString& Message);

#define DECLARE_LOG_CATEGORY_EXTERN(CategoryName, DefaultVerbosity, CompileTimeVerbosity) extern FLogCategoryBase CategoryName;
#define DEFINE_LOG_CATEGORY(CategoryName) FLogCategoryBase CategoryName(TEXT(#CategoryName));
#define DEFINE_LOG_CATEGORY_STATIC(CategoryName, DefaultVerbosity, CompileTimeVerbosity) static FLogCategoryBase CategoryName(TEXT(#CategoryName));
#define UE_LOG(CategoryName, Verbosity, Format, ...) \
    StandInLogLine(CategoryName.Name, ELogVerbosity::Verbosity, FString::Printf(Format, ##__VA_ARGS__))

DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All)
