// Where KAVO keeps its settings file and how COM port numbers find devices.
#pragma once

#include <QString>

namespace kavo {

// Directory of the running executable, with a trailing '/'.
QString ExecutableDir();
// Directory that holds "KAVO_ini.prf", with a trailing '/': $KAVO_SETTINGS_DIR
// when set; the executable's directory when writable; else
// $XDG_CONFIG_HOME/kavo/ (default ~/.config/kavo/), created on demand.
QString SettingsDir();
// SettingsDir() + name.
QString SettingsPath(const QString& name);

}  // namespace kavo
