// COM port numbers as the user knows them, mapped to the device paths of this
// system.
#pragma once

#include <QString>

namespace kavo {

// The device path of COM n, looked up in this order: the environment variable
// KAVO_COM<n> when it is set and not empty; the entry ports/COM<n> in the
// settings directory when it exists (a link, like a Wine dosdevices entry;
// a dangling link is still taken, so that a missing device reports as such);
// else /dev/ttyS<n-1>. n below 1 has no device: the result is empty.
QString ComPortPath(int n);

}  // namespace kavo
