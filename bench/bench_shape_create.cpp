// The cost of BMPregionInXP::Create on a 344 x 422 skin. The calculator's
// timer calls it every 150 ms while the calculator is active, nearly always
// with nothing changed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "BMPregionInXP.h"
#include "PictureBox.h"
#include "QtShapePlatform.h"

namespace {

using quintora::BMPregionInXP;
using quintora::PictureBox;

// A calculator-like skin: white around a rounded body, with white keys.
QImage Skin(int scale, QColor body) {
  QImage image(344 * scale, 422 * scale, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(scale, scale);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(body);
  painter.drawRoundedRect(QRectF(4, 4, 336, 414), 40, 40);
  painter.setBrush(Qt::white);
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 4; ++column)
      painter.drawEllipse(QRectF(30 + column * 75, 140 + row * 52, 50, 40));
  return image;
}

void Settle() {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The calculator's arrangement: a frameless window skinned from a picture box
// with a 2-pixel border, shown and skinned once.
struct SkinnedWindow {
  SkinnedWindow() : window(nullptr, Qt::Window | Qt::FramelessWindowHint), box(&window) {
    box.setGeometry(291, 435, 353, 428);
    box.setBorderWidth(2);
    box.setPicture(Skin(1, QColor(0x30, 0x40, 0x60)), Skin(2, QColor(0x30, 0x40, 0x60)));
    window.resize(348, 602);
    region.Window(&window);
    region.BMPicture(&box);
    region.Transparencycolor(0xFFFFFF);
    region.AlfaTransP(100);
    region.Create();
    region.TopMost(-1);
    window.show();
    Settle();
  }

  QWidget window;
  PictureBox box;
  BMPregionInXP region;
};

// Nothing changed since the last call.
void BM_CreateUnchanged(benchmark::State& state) {
  SkinnedWindow skinned;
  for (auto _ : state) skinned.region.Create();
}
BENCHMARK(BM_CreateUnchanged)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// One whole timer tick while the calculator is active.
void BM_TimerTickUnchanged(benchmark::State& state) {
  SkinnedWindow skinned;
  for (auto _ : state) {
    skinned.region.Window(&skinned.window);
    skinned.region.Transparencycolor(0xFFFFFF);
    skinned.region.AlfaTransP(100);
    skinned.region.Create();
    skinned.region.TopMost(-1);
  }
}
BENCHMARK(BM_TimerTickUnchanged)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// For comparison: a new picture each time, so the hole region is built anew
// (more distinct pictures than the region cache keeps).
void BM_CreateNewPicture(benchmark::State& state) {
  SkinnedWindow skinned;
  std::vector<QImage> pictures;
  for (int i = 0; i < 6; ++i) pictures.push_back(Skin(1, QColor(0x30, 0x40, 0x60 + i)));
  std::size_t next = 0;
  for (auto _ : state) {
    state.PauseTiming();
    skinned.box.setPicture(pictures[next++ % pictures.size()]);
    state.ResumeTiming();
    skinned.region.Create();
  }
}
BENCHMARK(BM_CreateNewPicture)->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  // The offscreen platform keeps masks without applying them and says so
  // at every new mask; that note would drown the results.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
    if (!message.contains("does not support setting window")) fprintf(stderr, "%s\n", qPrintable(message));
  });
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
