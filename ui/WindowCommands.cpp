#include <QApplication>
#include <QFrame>
#include <QMouseEvent>

#include "Messages.h"
#include "Panel.h"
#include "PictureBox.h"
#include "SkinLabel.h"
#include "frmCalculator.h"

namespace quintora {
namespace {

constexpr ColourRef kWhite = 0xFFFFFF;
constexpr unsigned kCerrarRest = 0xC00000;  // dark red
constexpr unsigned kMinRest = 0x0000C0;     // dark blue

}  // namespace

void frmCalculator::Form_Load() {
  engine_.TimerArmed = kTrue;
  BMPregionInXP& skin = Skin();
  skin.BMPicture(picBackground);
  skin.Window(this);
  skin.Transparencycolor(kWhite);
  skin.AlfaTransP(100);
  skin.Create();
  std::int16_t on_top = kTrue;
  skin.TopMost(on_top);
  engine_.ResetStatus();
  ShowState();
  InitSkinLabels();
}

// Every key label back at rest: no caption, so only the painted keys show,
// and the close and minimise marks in their resting colours.
void frmCalculator::InitSkinLabels() {
  for (SkinLabel* label : TeclaNumero) label->setText(QString());
  for (SkinLabel* label : TeclaOpera) label->setText(QString());
  for (SkinLabel* label : TeclaMemoria) label->setText(QString());
  LbDecimal->setText(QString());
  LbCancel->setText(QString());
  LbCancelaEntrada->setText(QString());
  LbCerrar->setForeColor(QColor::fromRgb(kCerrarRest));
  LbMin->setForeColor(QColor::fromRgb(kMinRest));
}

void frmCalculator::mousePressEvent(QMouseEvent* event) {
  static constexpr std::pair<Qt::MouseButton, std::int16_t> kButtons[] = {
      {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
  for (const auto& [button, code] : kButtons) {
    if (event->button() == button) Form_MouseDown(code);
  }
}

void frmCalculator::Form_MouseDown(std::int16_t Button) {
  if (Button == 1) Skin().MoveForm();
}

void frmCalculator::LbMin_Click() { showMinimized(); }

void frmCalculator::LbCerrar_Click() { QCoreApplication::exit(0); }

// The about text, with the panel's bars and "Producto Peruano". The window
// is repainted before the panel comes up.
void frmCalculator::LbTeskold_Click() {
  engine_.TimerArmed = kFalse;
  Timer1.stop();
  repaint();
  ShowMessage(messages::kAbout, messages::kAboutFontPoints);
  for (QFrame* bar : Shape1) bar->show();
  Label1->show();
}

void frmCalculator::Image1_Click() {
  PicMsg->hide();
  for (QFrame* bar : Shape1) bar->hide();
  Label1->hide();
  engine_.TimerArmed = kTrue;
}

}  // namespace quintora
