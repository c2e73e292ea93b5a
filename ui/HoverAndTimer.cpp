#include <QMouseEvent>

#include "Captions.h"
#include "Conversions.h"
#include "SkinLabel.h"
#include "frmCalculator.h"

namespace quintora {
namespace {

constexpr unsigned kCerrarLit = 0xFF0000;  // bright red
constexpr unsigned kMinLit = 0x00FFFF;     // cyan

}  // namespace

void frmCalculator::TeclaNumero_MouseMove(std::int16_t Index) {
  TeclaNumero[Index]->setText(QString::number(Index));
}

void frmCalculator::TeclaOpera_MouseMove(std::int16_t Index) {
  if (Index >= 0 && Index < 5) TeclaOpera[Index]->setText(kOperatorLabelCaptions[Index]);
}

void frmCalculator::TeclaMemoria_MouseMove(std::int16_t Index) {
  if (Index >= 0 && Index < 4) TeclaMemoria[Index]->setText(kMemoryLabelCaptions[Index]);
}

void frmCalculator::LbDecimal_MouseMove() { LbDecimal->setText("."); }
void frmCalculator::LbCancel_MouseMove() { LbCancel->setText("C"); }
void frmCalculator::LbCancelaEntrada_MouseMove() { LbCancelaEntrada->setText("CE"); }
void frmCalculator::LbCerrar_MouseMove() { LbCerrar->setForeColor(QColor::fromRgb(kCerrarLit)); }
void frmCalculator::LbMin_MouseMove() { LbMin->setForeColor(QColor::fromRgb(kMinLit)); }

// The hint always shows the memory as it is now.
void frmCalculator::lblMemoFlag_MouseMove() {
  lblMemoFlag->setToolTip(
      QString::fromStdString("Valor almacenado = " + SlotText(engine_.MemoryValue)));
}

void frmCalculator::mouseMoveEvent(QMouseEvent* /*event*/) { Form_MouseMove(); }

// A move over the bare skin puts every key back to rest and, unless a
// message is up, wakes the activity timer.
void frmCalculator::Form_MouseMove() {
  InitSkinLabels();
  if (IsTrue(engine_.TimerArmed) && !Timer1.isActive()) Timer1.start();
}

// While the calculator is the active application the skin is re-applied at
// full opacity; once another one is active it turns translucent and the
// timer stops until the pointer comes back over the body.
void frmCalculator::Timer1_Timer() {
  BMPregionInXP& skin = Skin();
  skin.Window(this);
  skin.Transparencycolor(0xFFFFFF);
  if (platform_->IsProgramActive()) {
    skin.AlfaTransP(100);
  } else {
    skin.AlfaTransP(40);
    Timer1.stop();
  }
  skin.Create();
  std::int16_t on_top = kTrue;
  skin.TopMost(on_top);
}

}  // namespace quintora
