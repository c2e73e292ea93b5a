// Quintora: a skinned desktop calculator.

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "Fonts.h"
#include "frmCalculator.h"

namespace {

// X11 and Wayland only: Windows and macOS always have their display.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
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
#endif

// --help and --version answer without a display, so they are looked for on
// the raw arguments before QApplication; a failed parse (Qt's own options,
// unknown ones) is left to process() once the application exists. The core
// application only gives the usage line the program's name; both exit.
void AnswerWithoutDisplay(QCommandLineParser& parser, int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (!parser.parse(arguments) || !(parser.isSet("version") || parser.isSet("help"))) return;
  QCoreApplication core(argc, argv);
  parser.process(core);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName("Quintora");
  QCoreApplication::setApplicationVersion(QUINTORA_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "A small desktop calculator: one borderless window painted as a calculator.");
  parser.addHelpOption();
  parser.addVersionOption();
  AnswerWithoutDisplay(parser, argc, argv);

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
  if (!HasEnv("QT_QPA_PLATFORM") && !HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY")) {
    std::fputs("quintora: no graphical display (DISPLAY is not set); start it from a desktop session\n",
               stderr);
    return 1;
  }
  ChoosePlatform();
#endif
  QApplication app(argc, argv);
  // Qt's own options (-platform, -style ...) are gone from app's arguments.
  parser.process(app);
  // Docks and task switchers find the desktop entry, and with it the name
  // and icon, through this id.
  QGuiApplication::setDesktopFileName("org.example.quintora");
  quintora::InstallFontSubstitutes();

  quintora::frmCalculator form;
  form.Form_Load();
  form.show();
  return QApplication::exec();
}
