#pragma once
// Constants every module sees: infinity, the unit axes, the identity and the
// colours (RGBA, four floats each).

#include <limits>

#include "dynamics/Matrix4.h"
#include "dynamics/Vector.h"

inline constexpr float kInfinity = std::numeric_limits<float>::infinity();
inline constexpr CVector kZeroVector{0.0f, 0.0f, 0.0f};
inline constexpr CVector kInfinityVector{kInfinity, kInfinity, kInfinity};
inline constexpr CVector kOrigin{0.0f, 0.0f, 0.0f};
inline constexpr CVector kAxisX{1.0f, 0.0f, 0.0f};
inline constexpr CVector kAxisY{0.0f, 1.0f, 0.0f};
inline constexpr CVector kAxisZ{0.0f, 0.0f, 1.0f};
inline constexpr CMatrix4 kIdentity{};

// Single-precision pi and 2 pi, as every formula of the dynamics uses them.
inline constexpr float kPi = 3.1415927f;
inline constexpr float kTwoPi = 6.2831855f;

inline constexpr float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
inline constexpr float kRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};
inline constexpr float kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};
inline constexpr float kBlue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
inline constexpr float kCyan[4] = {0.0f, 1.0f, 1.0f, 1.0f};
inline constexpr float kMagenta[4] = {1.0f, 0.0f, 1.0f, 1.0f};
inline constexpr float kYellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
inline constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr float kGrey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
