// Quintora: a skinned desktop calculator.

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "Fonts.h"
#include "QtShapePlatform.h"
#include "frmCalculator.h"

namespace {

// Reads the options: Qt's own are gone from the application's arguments by
// now; an unknown one ends the program with Qt's message and status 1, and
// so does an argument, since the program takes none. --help and --version
// answer and exit 0.
void ProcessArguments(QCommandLineParser& parser, const QCoreApplication& app) {
  parser.process(app);
  if (!parser.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "quintora: the program takes no arguments ('%s' given); see --help\n",
                 qPrintable(parser.positionalArguments().first()));
    std::exit(EXIT_FAILURE);
  }
}

// X11 and Wayland only: Windows and macOS always have their display.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
bool HasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// The platform plugins Qt would try: -platform's, else QT_QPA_PLATFORM's
// list, else X11.
QStringList RequestedPlatforms(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string_view(argv[i]) == "-platform") return {QString::fromLocal8Bit(argv[i + 1])};
  const QString listed = qEnvironmentVariable("QT_QPA_PLATFORM");
  return listed.isEmpty() ? QStringList{"xcb"} : listed.split(u';', Qt::SkipEmptyParts);
}

// Whether every platform Qt would try needs a display server that is not
// there: X11 and Wayland do, offscreen and the like do not.
bool DisplayMissing(int argc, char** argv) {
  if (HasEnv("DISPLAY") || HasEnv("WAYLAND_DISPLAY")) return false;
  for (const QString& platform : RequestedPlatforms(argc, argv))
    if (!platform.startsWith("xcb") && !platform.startsWith("wayland")) return false;
  return true;
}

// Without a display the arguments are read as they would be with one, on
// the offscreen platform, so --help, --version and mistakes are answered
// the same way; anything else is told there is no display.
int AnswerWithoutDisplay(QCommandLineParser& parser, int argc, char** argv) {
  std::vector<char*> offscreen(argv, argv + argc);
  static char kOffscreen[] = "offscreen";
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string_view(argv[i]) == "-platform") offscreen[i + 1] = kOffscreen;
  qputenv("QT_QPA_PLATFORM", kOffscreen);
  int count = argc;
  QGuiApplication app(count, offscreen.data());
  ProcessArguments(parser, app);
  std::fputs("quintora: no graphical display (DISPLAY is not set); start it from a desktop session\n", stderr);
  return EXIT_FAILURE;
}

// Unless the user chose a platform, the window runs on X11 wherever there is
// an X server, XWayland included, since there it stays above other windows;
// on Wayland itself only where there is no X server.
void ChoosePlatform(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "-platform") return;
  if (HasEnv("QT_QPA_PLATFORM")) return;
  qputenv("QT_QPA_PLATFORM", HasEnv("DISPLAY") ? "xcb" : "wayland");
}

// Said once, at start, on Wayland.
constexpr char kWaylandNotice[] =
    "quintora: on Wayland a program can neither keep its window above others nor choose where it goes.\n"
    "  To keep the calculator on top: on GNOME, press Alt+Space and choose \"Always on Top\";\n"
    "  on KDE Plasma, add a window rule for it with \"Keep above other windows\"\n"
    "  (System Settings, Window Management, Window Rules).\n"
    "  Through XWayland, the default where an X server runs, it stays on top by itself.\n";
#endif

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName("Quintora");
  QCoreApplication::setApplicationVersion(QUINTORA_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "A small desktop calculator: one borderless window painted as a calculator.");
  parser.addHelpOption();
  parser.addVersionOption();

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
  if (DisplayMissing(argc, argv)) return AnswerWithoutDisplay(parser, argc, argv);
  ChoosePlatform(argc, argv);
#endif
  QApplication app(argc, argv);
  ProcessArguments(parser, app);
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
  if (quintora::RunningWindowSystem() == quintora::WindowSystem::Wayland) std::fputs(kWaylandNotice, stderr);
#endif
  // Docks and task switchers find the desktop entry, and with it the name
  // and icon, through this id.
  QGuiApplication::setDesktopFileName(QUINTORA_APP_ID);
  quintora::InstallFontSubstitutes();

  quintora::frmCalculator form;
  form.Form_Load();
  form.show();
  // The window goes to the display server at once; while the server and a
  // window manager map it, the fonts of its first frame are loaded.
  quintora::FlushWindowSystem();
  quintora::LoadShownFonts(form);
  return QApplication::exec();
}
