// The program's fixed names, written once.
#pragma once

namespace kavo {

// Window and message-box caption.
inline constexpr const char* ProgramCaption = "KAVO v2.1";
// The unit's model name: its answer to "U?" and the name in status texts.
inline constexpr const char* UnitModelName = "KA-V";
// The AppStream id: the desktop entry's name (without .desktop), which the
// window gives as its desktop file name (the Wayland app id).
inline constexpr const char* DesktopId = "example.c_seed_9c58cb7e.kavo";
// The settings file beside the executable.
inline constexpr const char* SettingsFileName = "KAVO_ini.prf";

}  // namespace kavo
