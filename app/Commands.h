#pragma once
// The identifiers of the menu and accelerator commands, as WM_COMMAND-style
// events carry them.

inline constexpr int kCommandAbout = 40001;
inline constexpr int kCommandPause = 40002;
inline constexpr int kCommandSingleStep = 40003;
inline constexpr int kCommandExit = 40004;
inline constexpr int kCommandEnvironmentMapping = 40010;
inline constexpr int kCommandShadowNone = 40012;
inline constexpr int kCommandFollow = 40013;
inline constexpr int kCommandNextScene = 40014;
inline constexpr int kCommandPreviousScene = 40015;
inline constexpr int kCommandResetScene = 40016;
inline constexpr int kCommandFakeShadow = 40017;
inline constexpr int kCommandTrueShadow = 40018;
// The Options > Contacts radio items: the contact model of the next step.
inline constexpr int kCommandContactsClassic = 40030;
inline constexpr int kCommandContactsStable = 40031;
