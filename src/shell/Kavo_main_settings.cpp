// Main window: reading the settings file on the first idle pass and writing
// it on every close request.
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

#include "data/Kavo_file.h"
#include "messages/Ka_message.h"
#include "platform/Names.h"
#include "platform/Paths.h"
#include "shell/Kavo_main.h"

namespace kavo {

void TFormMain::LoadSettings(const QString& name) {
  const QString path = SettingsPath(name);
  if (fileHandler->ReadSettings(path, &settings, &view)) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1280, 1024);
    int top = view.top > area.height() ? 100 : view.top;
    int left = view.left > area.width() ? 100 : view.left;
    int width = view.width > area.width() ? area.width() - 100 : view.width;
    int height = view.height > area.height() ? area.height() - 100 : view.height;
    // A window off every screen (left or above it, or on a screen no longer
    // attached) could not be reached; one partly on a screen stays put.
    bool onScreen = false;
    for (const QScreen* s : QGuiApplication::screens())
      onScreen = onScreen || s->geometry().intersects(QRect(left, top, width, height));
    if (!onScreen) top = left = 100;
    // Applying one value resizes the window; the resize handler must not
    // copy the half-applied geometry back over the stored one meanwhile.
    geometryApplying = 1;
    move(left, top);
    resize(width, height);
    geometryApplying = 0;

    ResetGraphScale(view.band);
    ComboBox2->setCurrentIndex(view.band - 1);
    MenuGraph_R_only->setChecked(view.fronly != 0);
    MenuGraph_Wide->setChecked(view.fwide != 0);
    MenuGraph_Ave->setChecked(view.fave3 != 0);
    MenuSet_Warning->setChecked(view.fwarning != 0);
    mSelectValueArrays();
    return;
  }
  // No file, unreadable or rejected: defaults, written at once.
  SetDefaults(settings);
  mWriteSettings(path);
}

void TFormMain::SaveSettings() { mWriteSettings(SettingsPath(QString::fromLatin1(SettingsFileName))); }

// The window's place and size as they are now.
void TFormMain::RecordGeometry() {
  view.top = pos().y();
  view.left = pos().x();
  view.width = width();
  view.height = height();
}

// The view record from the window, then the file.
void TFormMain::mWriteSettings(const QString& path) {
  RecordGeometry();
  view.band = ComboBox2->currentIndex() + 1;
  view.fronly = MenuGraph_R_only->isChecked();
  view.fwide = MenuGraph_Wide->isChecked();
  view.fave3 = MenuGraph_Ave->isChecked();
  view.fwarning = MenuSet_Warning->isChecked();
  if (!fileHandler->WriteSettings(path, &settings, &view)) msgCatalog->ShowIniSaveError();
}

}  // namespace kavo
