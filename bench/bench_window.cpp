// The real calculator window at rest, on the offscreen platform.
//
// BM_BodyMouseMove1000: the pointer moving over the bare body. Every move
// puts the 22 key captions and the two mark colours back to rest, which with
// nothing lit must change nothing and repaint nothing.
// Targets: 1,000 moves under 20 ms of CPU time, and no paint event at all.
//
// BM_TimerTick: one tick of the 150 ms activity timer while the window is
// active: the whole window set-up re-applied with nothing changed.
// Target: under 10 us, so the tick stays lost in the cost of the wake-up.
//
// The program prints whether the targets are met and exits with 1 when not.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimerEvent>

#include "Fonts.h"
#include "frmCalculator.h"

namespace {

constexpr int kMoves = 1000;
constexpr double kMovesTargetMs = 20.0;
constexpr double kTickTargetUs = 10.0;

// Counts the paint events of the window and its controls.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched->isWidgetType()) ++paints;
    return false;
  }
  long paints = 0;
};

quintora::frmCalculator* form = nullptr;

void Settle(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The path of a real pointer move: a window-system mouse event, delivered
// through the window to the widget under the pointer, then whatever it
// posted (update requests included) handled.
void MoveOverBody(int k) {
  QTest::mouseMove(form->windowHandle(), QPoint(20 + (k & 1), 150));
}

void BM_BodyMouseMove1000(benchmark::State& state) {
  for (auto _ : state) {
    for (int k = 0; k < kMoves; ++k) MoveOverBody(k);
  }
}
BENCHMARK(BM_BodyMouseMove1000)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The timer's own event, as the event loop delivers it when the interval
// has passed.
void BM_TimerTick(benchmark::State& state) {
  auto& timer = const_cast<QTimer&>(form->timer());
  if (!timer.isActive()) {
    state.SkipWithError("the timer is not running");
    return;
  }
  QTimerEvent tick(timer.timerId());
  for (auto _ : state) QCoreApplication::sendEvent(&timer, &tick);
  if (!timer.isActive()) state.SkipWithError("the timer stopped: the window is not active");
}
BENCHMARK(BM_TimerTick)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// Remembers the median CPU time of every benchmark, in its unit.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.aggregate_name == "median") medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medians;
};

}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains("does not support setting window")) std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  quintora::InstallFontSubstitutes();
  quintora::frmCalculator window;
  form = &window;
  window.Form_Load();
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  window.activateWindow();
  // A key lit, then the pointer over the body: the captions are at rest.
  // This also checks that the moves reach the window's handlers.
  auto* seven = window.findChild<QLabel*>("TeclaNumero(7)");
  QTest::mouseMove(seven, QPoint(5, 5));
  const bool lit = seven->text() == "7";
  MoveOverBody(0);
  if (!lit || !seven->text().isEmpty()) {
    std::fprintf(stderr, "bench_window: the moves do not reach the window's handlers\n");
    return 1;
  }
  Settle(300);

  PaintCounter paints;
  app.installEventFilter(&paints);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  Settle(300);  // any repaint the moves or ticks asked for happens by now
  app.removeEventFilter(&paints);
  benchmark::Shutdown();

  bool met = true;
  auto check = [&](const char* name, const char* what, const char* unit, double target) {
    const auto median = reporter.medians.find(name);
    if (median == reporter.medians.end()) return;  // filtered out
    const bool ok = median->second < target;
    met = met && ok;
    std::printf("%-34s %8.2f %s CPU (median)  target < %.0f %s: %s\n", what, median->second, unit, target, unit,
                ok ? "met" : "MISSED");
  };
  check("BM_BodyMouseMove1000", "1000 body moves", "ms", kMovesTargetMs);
  check("BM_TimerTick", "one timer tick, nothing changed", "us", kTickTargetUs);
  const bool still = paints.paints == 0;
  met = met && still;
  std::printf("%-34s %8ld        target 0: %s\n", "paint events while benchmarking", paints.paints,
              still ? "met" : "MISSED");
  return met ? 0 : 1;
}
