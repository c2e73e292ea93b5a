// Quintora: a skinned desktop calculator.

#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "Fonts.h"
#include "frmCalculator.h"

namespace {

bool HasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// The window needs X11's shaping, opacity and stacking: on a Wayland desktop
// it runs through XWayland unless the user chose a platform.
void ChoosePlatform() {
  if (!HasEnv("QT_QPA_PLATFORM") && HasEnv("WAYLAND_DISPLAY") && HasEnv("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasEnv("QT_QPA_PLATFORM") && !HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY")) {
    std::fputs("quintora: no graphical display (DISPLAY is not set); start it from a desktop session\n",
               stderr);
    return 1;
  }
  ChoosePlatform();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quintora");
  // Docks and task switchers find the desktop entry, and with it the name
  // and icon, through this id.
  QGuiApplication::setDesktopFileName("org.example.Quintora");
  quintora::InstallFontSubstitutes();

  quintora::frmCalculator form;
  form.Form_Load();
  form.show();
  return QApplication::exec();
}
