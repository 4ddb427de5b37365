// TSerialPortDriver: KAVO's only access to a serial port. It owns one port,
// sets its line parameters, moves bytes with millisecond deadlines, purges
// the queues, reads the modem lines and drives DTR and RTS.
//
// Reception is synchronous: a read waits in the caller's thread until the
// wanted count has arrived or its deadline has passed. Waiting happens in
// poll(), so a waiting reader costs next to no CPU. While connected a polling
// timer ticks every PollingDelay ms to keep the event loop awake; it never
// takes a byte from the port. So there are no receive events: whoever wants
// bytes reads them.
//
// Every failure is a false result, a short count or a neutral value; nothing
// throws and nothing is logged.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "link/SysCall.h"

namespace kavo {

enum TBaudRate {
  brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
  br19200, br38400, br56000, br57600, br115200, br128000, br256000
};

enum TPortNumber {
  pnCustom, pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8,
  pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16
};

enum TDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl { sfNONE, sfXONXOFF };
enum TPacketMode { pmDiscard, pmPass };
enum TLineStatus { lsCTS, lsDSR, lsRING, lsCD };

// A set of TLineStatus: bit 0 = lsCTS ... bit 3 = lsCD.
using TLineStatusSet = uint8_t;
constexpr TLineStatusSet LineBit(TLineStatus s) { return TLineStatusSet(1u << s); }

// Bits per second of a rate; 0 for brCustom.
uint32_t BaudRateOf(TBaudRate rate);
// Milliseconds that `size` bytes take at `rate` with 10 bits per byte,
// rounded to the nearest integer; 0 for brCustom.
uint32_t DelayForRX(TBaudRate rate, uint32_t size);
// Monotonic millisecond clock that all deadlines are measured with.
uint32_t GetTickCount();

class TSerialPortDriver : public QObject {
  Q_OBJECT

 public:
  explicit TSerialPortDriver(QObject* owner = nullptr);
  ~TSerialPortDriver() override;

  TSerialPortDriver(const TSerialPortDriver&) = delete;
  TSerialPortDriver& operator=(const TSerialPortDriver&) = delete;

  // Connection.
  bool Connect();
  // Why the last Connect failed; None after one that succeeded.
  OpenFailure LastOpenFailure() const { return openFailure_; }
  bool Disconnect();
  bool Connected() const { return handle_ >= 0; }
  // The open descriptor, -1 when not connected.
  int Handle() const { return handle_; }
  // Takes over a descriptor opened elsewhere: -2 forgets the current one
  // without closing it, -1 disconnects, anything else is adopted.
  void SetHandle(int handle);
  bool ApplyCOMSettings();

  // Properties.
  TPortNumber Port() const { return port_; }
  const QString& PortName() const { return portName_; }
  TBaudRate BaudRate() const { return baudRate_; }
  uint32_t BaudRateValue() const { return baudRateValue_; }
  TDataBits DataBits() const { return dataBits_; }
  TStopBits StopBits() const { return stopBits_; }
  TParity Parity() const { return parity_; }
  THwFlowControl HwFlow() const { return hwFlow_; }
  TSwFlowControl SwFlow() const { return swFlow_; }
  uint32_t InBufSize() const { return inBufSize_; }
  uint32_t OutBufSize() const { return outBufSize_; }
  int16_t PacketSize() const { return packetSize_; }
  int32_t PacketTimeout() const { return packetTimeout_; }
  TPacketMode PacketMode() const { return packetMode_; }
  uint16_t PollingDelay() const { return pollingDelay_; }
  bool EnableDTROnOpen() const { return enableDTROnOpen_; }
  uint16_t OutputTimeout() const { return outputTimeout_; }
  uint32_t InputTimeout() const { return inputTimeout_; }
  bool CheckLineStatus() const { return checkLineStatus_; }

  // COM n takes the path of ComPortPath(n); pnCustom keeps PortName.
  // Both port setters are ignored while connected.
  void SetPort(TPortNumber port);
  void SetPortName(const QString& name);
  // Line settings apply at once while connected.
  void SetBaudRate(TBaudRate rate);
  void SetBaudRateValue(uint32_t value);
  void SetDataBits(TDataBits bits);
  void SetStopBits(TStopBits bits);
  void SetParity(TParity parity);
  void SetHwFlowControl(THwFlowControl flow);
  void SetSwFlowControl(TSwFlowControl flow);
  // Buffer sizes are clamped to 128..8192 and ignored while connected.
  void SetInBufSize(uint32_t size);
  void SetOutBufSize(uint32_t size);
  void SetPacketSize(int16_t size);
  void SetPacketTimeout(int32_t timeout);
  void SetPacketMode(TPacketMode mode) { packetMode_ = mode; }
  void SetPollingDelay(uint16_t delay);
  void SetEnableDTROnOpen(bool on) { enableDTROnOpen_ = on; }
  void SetOutputTimeout(uint16_t ms) { outputTimeout_ = ms; }
  void SetInputTimeout(uint32_t ms) { inputTimeout_ = ms; }
  void SetCheckLineStatus(bool on) { checkLineStatus_ = on; }

  // Transfer.
  bool FlushBuffers(bool inBuf, bool outBuf);
  uint32_t CountRX();
  uint16_t OutFreeSpace();
  uint32_t SendDataEx(const void* data, uint32_t count, uint32_t timeout);
  uint32_t SendData(const void* data, uint32_t count);
  bool SendByte(uint8_t value);
  bool SendChar(char value);
  bool SendString(const QByteArray& text);
  bool SendZString(const char* text);
  uint32_t ReadData(void* buffer, uint32_t count);
  uint32_t ReadData_inTime(void* buffer, uint32_t count, uint32_t timeout);
  uint32_t ReadData2(void* buffer, uint32_t count, uint32_t timeout);
  // Everything waiting now, but never more than InBufSize bytes: the buffer
  // must hold InBufSize bytes. The second form never writes past `capacity`.
  uint32_t ReadData_All(void* buffer);
  uint32_t ReadData_All(void* buffer, uint32_t capacity);
  bool ReadByte(uint8_t& value);
  bool ReadChar(char& value);

  // Modem lines and polling.
  TLineStatusSet GetLineStatus();
  bool ToggleDTR(bool on);
  bool ToggleRTS(bool on);
  void PausePolling() { ++pollingPause_; }
  void ContinuePolling() { --pollingPause_; }
  bool IsPolling() const { return pollingPause_ < 1; }
  // The open device has gone away (adapter pulled, line hung up).
  bool DeviceGone();
  // Whether the polling timer runs (it does exactly while connected).
  bool PollingTimerActive() const { return pollTimer_.isActive(); }

 private:
  bool ModemBits(unsigned long request, int bits);
  void StartPolling();
  void StopPolling();
  void ReleaseHandle();

  int handle_ = -1;
  OpenFailure openFailure_ = OpenFailure::None;
  bool locked_ = false;  // flock and TIOCEXCL taken by Connect
  TPortNumber port_ = pnCOM1;
  QString portName_;
  TBaudRate baudRate_ = br9600;
  uint32_t baudRateValue_ = 9600;
  TDataBits dataBits_ = db8BITS;
  TStopBits stopBits_ = sb1BITS;
  TParity parity_ = ptNONE;
  THwFlowControl hwFlow_ = hfNONERTSON;
  TSwFlowControl swFlow_ = sfNONE;
  uint32_t inBufSize_ = 2048;
  uint32_t outBufSize_ = 2048;
  int16_t packetSize_ = -1;
  int32_t packetTimeout_ = -1;
  TPacketMode packetMode_ = pmDiscard;
  uint16_t pollingDelay_ = 100;
  bool enableDTROnOpen_ = true;
  uint16_t outputTimeout_ = 500;
  uint32_t inputTimeout_ = 100;
  bool checkLineStatus_ = false;

  std::vector<uint8_t> inBuf_;     // the receive buffer of InBufSize bytes
  int64_t packetStart_ = -1;       // start of an incomplete packet, -1 = none
  int pollingPause_ = 1;
  QTimer pollTimer_;
};

}  // namespace kavo
