#pragma once
// FMath and the engine's small-number constants.
#include "HAL/Platform.h"
#include <cmath>

#undef PI
#define PI (3.1415926535897932f)
#define SMALL_NUMBER (1.e-8f)
#define KINDA_SMALL_NUMBER (1.e-4f)
#define BIG_NUMBER (3.4e+38f)
#define THRESH_QUAT_NORMALIZED (0.01f)

struct FMath {
    template <class T> static T Abs(T A) { return A >= T(0) ? A : -A; }
    template <class T> static T Min(T A, T B) { return A <= B ? A : B; }
    template <class T> static T Max(T A, T B) { return A >= B ? A : B; }
    template <class T> static T Max3(T A, T B, T C) { return Max(Max(A, B), C); }
    template <class T> static T Clamp(T X, T Lo, T Hi) { return X < Lo ? Lo : X < Hi ? X : Hi; }
    template <class T> static T Square(T A) { return A * A; }
    static float Sqrt(float V) { return std::sqrt(V); }
    static float InvSqrt(float V) { return 1.0f / std::sqrt(V); }
    static float Sin(float V) { return std::sin(V); }
    static float Cos(float V) { return std::cos(V); }
    static float Acos(float V) { return std::acos(V); }
    static float Atan2(float Y, float X) { return std::atan2(Y, X); }
    static float Pow(float A, float B) { return std::pow(A, B); }
    static int32 FloorToInt(float V) { return int32(std::floor(V)); }
    static int32 RoundToInt(float V) { return FloorToInt(V + 0.5f); }
    static bool IsNearlyEqual(float A, float B, float Tolerance = SMALL_NUMBER) { return Abs(A - B) <= Tolerance; }
    static bool IsNearlyZero(float V, float Tolerance = SMALL_NUMBER) { return Abs(V) <= Tolerance; }
    static float DegreesToRadians(float Deg) { return Deg * (PI / 180.f); }
    static float RadiansToDegrees(float Rad) { return Rad * (180.f / PI); }
};
