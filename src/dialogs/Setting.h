// The COM port dialog: pick or type the COM number the unit is on. Under the
// list a read-only line tells which device that number opens today, and
// "割り当て…" maps the number to one of the serial devices present. The
// dialog changes the caller's number only on "設定"; it never touches the
// serial driver.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace Ui {
class TFormSetting;
}

namespace kavo {

class TFormSetting : public QDialog {
  Q_OBJECT

 public:
  explicit TFormSetting(QWidget* parent = nullptr);
  ~TFormSetting() override;

  // Fills the list with COM1 … COMmax(10, port), selects the current port and
  // keeps both references until the dialog closes. Anything but "設定" leaves
  // `cancelled` at 1 and `port` alone.
  void SetPortTarget(int32_t& port, uint8_t& cancelled);

  void Button1Click();  // "設定"
  void Button2Click();  // "取り消し"
  void MapBtnClick();   // "割り当て…"

  // Where the device list and the serial-chip check look (tests use their own).
  void SetDeviceRoots(const QString& devRoot, const QString& sysTtyRoot);

  // The device line's text for COM n, e.g. "→ /dev/ttyUSB0" or
  // "→ /dev/ttyS2 (ありません)".
  QString DeviceLineText(int n) const;

  QComboBox* ComboBox1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* MapBtn = nullptr;
  QLineEdit* DeviceLine = nullptr;

  static QString Caption() { return QStringLiteral("エラー"); }

 public slots:
  void reject() override;

 private:
  enum class Parse { Ok, NotCom, BadNumber, NotNumber };
  // The COM number the list shows: the selected entry, or the typed text.
  Parse CurrentPort(int32_t& n) const;
  // Shows the message for a failed parse; true when the number is usable.
  bool CheckedPort(int32_t& n);
  void UpdateDeviceLine();

  std::unique_ptr<Ui::TFormSetting> ui_;
  QSize designedSize_;      // the dialog as laid out, before any widening
  int designedLineWidth_ = 0;
  int32_t* port_ = nullptr;
  uint8_t* cancelled_ = nullptr;
  QString devRoot_ = QStringLiteral("/dev");
  QString sysTtyRoot_ = QStringLiteral("/sys/class/tty");
};

}  // namespace kavo
