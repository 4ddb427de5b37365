// Where KAVO keeps its settings file and how COM port numbers find devices.
#pragma once

#include <QString>

namespace kavo {

// Directory of the running executable, with a trailing '/'.
QString ExecutableDir();
// Directory that holds "KAVO_ini.prf", with a trailing '/': $KAVO_SETTINGS_DIR
// when set; else SettingsDirFor(ExecutableDir()).
QString SettingsDir();
// The settings directory for a program in exeDir: exeDir itself when it is
// writable and not a system install (below /usr/, /bin/ or /sbin/, where
// even root must not leave files beside the program); else
// $XDG_CONFIG_HOME/kavo/ (default ~/.config/kavo/), created on demand.
QString SettingsDirFor(const QString& exeDir);
// SettingsDir() + name.
QString SettingsPath(const QString& name);

// True when `a` and `b` name one file: the same canonical path (for a file
// not yet there, its folder's), or the same device and inode (hard links).
bool SameFile(const QString& a, const QString& b);

}  // namespace kavo
