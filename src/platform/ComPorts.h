// COM port numbers as the user knows them, mapped to the device paths of this
// system.
#pragma once

#include <QString>
#include <vector>

namespace kavo {

// The device path of COM n, looked up in this order: the environment variable
// KAVO_COM<n> when it is set and not empty; the entry ports/COM<n> in the
// settings directory when it exists (a link, like a Wine dosdevices entry;
// a dangling link is still taken, so that a missing device reports as such);
// else /dev/ttyS<n-1>. n below 1 has no device: the result is empty.
QString ComPortPath(int n);

// The entry ports/COM<n> in the settings directory (whether it exists or not).
QString ComPortLinkPath(int n);

// What COM n opens today, for showing it to the user.
struct ComPortTarget {
  enum class Source { None, Environment, Link, Default };
  enum class State {
    Ready,      // a character device we may read and write
    Missing,    // nothing there (or a link to nothing)
    NoAccess,   // there, but not readable and writable for us
    NotSerial,  // there, but not a character device
    NoUart,     // a ttyS node without a serial chip behind it
  };
  Source source = Source::None;
  // The device as the user named it: the environment value, the link's own
  // target (e.g. a /dev/serial/by-id name), or /dev/ttyS<n-1>.
  QString device;
  State state = State::Missing;
};
// sysTtyRoot is where the kernel lists tty devices (/sys/class/tty).
ComPortTarget DescribeComPort(int n, const QString& sysTtyRoot = QStringLiteral("/sys/class/tty"));

// The state of one device path (links followed).
ComPortTarget::State DeviceState(const QString& path,
                                 const QString& sysTtyRoot = QStringLiteral("/sys/class/tty"));

// The device behind `path` (links followed to the node) and the name of the
// group that owns it, for telling the user whose permission is missing;
// both empty when there is no such device.
struct DeviceOwner {
  QString device;
  QString group;
};
DeviceOwner OwnerOf(const QString& path);

struct SerialDevice {
  QString path;   // what a mapping link points to
  QString label;  // what the user reads in the list
};
// The serial devices present under devRoot: serial/by-id/* first (their
// readable names, with the node they stand for), then ttyUSB*, ttyACM* that no
// by-id name stands for, then ttyS* that have a serial chip. Sorted
// naturally within each group (ttyS2 before ttyS10).
std::vector<SerialDevice> ListSerialDevices(const QString& devRoot = QStringLiteral("/dev"),
                                            const QString& sysTtyRoot = QStringLiteral("/sys/class/tty"));

// Points ports/COM<n> at target, replacing what was there in one rename, so
// that a reader sees either the old link or the new one. False with a reason
// in `error` when n is not 1..256 or the link cannot be written.
bool MapComPort(int n, const QString& target, QString* error = nullptr);

}  // namespace kavo
