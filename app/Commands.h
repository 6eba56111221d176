#pragma once
// The identifiers of the menu and accelerator commands, as WM_COMMAND-style
// events carry them.

inline constexpr int kCommandAbout = 40001;
inline constexpr int kCommandPause = 40002;
inline constexpr int kCommandSingleStep = 40003;
inline constexpr int kCommandExit = 40004;
// File, after the items above.
inline constexpr int kCommandSaveScreenshot = 40005;
inline constexpr int kCommandEnvironmentMapping = 40010;
inline constexpr int kCommandShadowNone = 40012;
inline constexpr int kCommandFollow = 40013;
inline constexpr int kCommandNextScene = 40014;
inline constexpr int kCommandPreviousScene = 40015;
inline constexpr int kCommandResetScene = 40016;
inline constexpr int kCommandFakeShadow = 40017;
inline constexpr int kCommandTrueShadow = 40018;
// The Options > Contacts radio items: the contact model of the next step.
inline constexpr int kCommandContactsClassic = 40020;
inline constexpr int kCommandContactsStable = 40021;

// View.
inline constexpr int kCommandStatistics = 40031;
inline constexpr int kCommandContactPoints = 40032;
inline constexpr int kCommandTimeline = 40033;
inline constexpr int kCommandSpeed1of16 = 40034;
inline constexpr int kCommandSpeed1of8 = 40035;
inline constexpr int kCommandSpeed1of4 = 40036;
inline constexpr int kCommandSpeed1of2 = 40037;
inline constexpr int kCommandSpeedRealTime = 40038;
inline constexpr int kCommandSpeedSlower = 40039;
inline constexpr int kCommandSpeedFaster = 40040;

// Help.
inline constexpr int kCommandControls = 40051;

// A command's key with Shift held: the bit is or-ed into the virtual key.
inline constexpr int kKeyShift = 0x10000;
