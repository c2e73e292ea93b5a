// bench_empty_window: the yardstick for the start-up, memory and idle
// figures of bench/run.sh. A frameless top-level QWidget of the calculator's
// size with one QLabel, nothing else.
//   bench_empty_window [--timer MS]   with --timer, an empty slot every MS ms
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int timerMs = 0;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--timer") == 0) timerMs = std::atoi(argv[i + 1]);

  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setWindowTitle("Empty");
  window.resize(353, 428);
  QLabel label("0.", &window);
  label.setGeometry(43, 66, 267, 25);

  QTimer timer;
  if (timerMs > 0) {
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(timerMs);
  }
  window.show();
  return QApplication::exec();
}
