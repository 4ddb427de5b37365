// Where KAVO keeps its settings file and how COM port numbers find devices.
#pragma once

#include <QString>

namespace kavo {

// Directory of the running executable, with a trailing '/'.
QString ExecutableDir();
// Directory that holds "KAVO_ini.prf", with a trailing '/': $KAVO_SETTINGS_DIR
// when set; else SettingsDirFor(ExecutableDir()). Reading creates nothing.
QString SettingsDir();
// Creates SettingsDir() for a file to be written there; false when it cannot.
bool MakeSettingsDir();
// The settings directory for a program in exeDir: exeDir itself when it is
// writable and not a system install (below /usr/, /bin/ or /sbin/, where
// even root must not leave files beside the program); else
// $XDG_CONFIG_HOME/kavo/ (~/.config/kavo/ when that is unset or not an
// absolute path), created when `create` says so.
QString SettingsDirFor(const QString& exeDir, bool create = true);
// SettingsDir() + name.
QString SettingsPath(const QString& name);

// True when `a` and `b` name one file: the same canonical path (for a file
// not yet there, its folder's), or the same device and inode (hard links).
bool SameFile(const QString& a, const QString& b);

}  // namespace kavo
