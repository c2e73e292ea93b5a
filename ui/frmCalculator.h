#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include <QCursor>
#include <QTimer>
#include <QWidget>

#include "BMPregionInXP.h"
#include "Calculator.h"
#include "Layout.h"
#include "QtShapePlatform.h"
#include "WindowEffects.h"

class QFrame;
class QKeyEvent;
class QPushButton;

namespace quintora {

class Panel;
class PictureBox;
class SkinLabel;

// The calculator window: a skin picture with transparent labels over its
// keys, hidden push buttons that hold the keyboard focus, a message panel
// and an activity timer. It owns the calculator engine and carries out the
// engine's window effects.
class frmCalculator : public QWidget, private WindowEffects {
  Q_OBJECT

 public:
  explicit frmCalculator(std::shared_ptr<ShapePlatform> platform = DefaultShapePlatform());
  ~frmCalculator() override;

  void Form_Load();

  Calculator& engine() { return engine_; }
  const QTimer& timer() const { return Timer1; }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // Building the controls of the layout.
  void BuildLabels();
  void BuildMessagePanel();
  void BuildButtons();
  void RequireControls() const;
  SkinLabel* AddLabel(QWidget* parent, const layout::Label& entry);
  const QCursor& HandCursor();
  BMPregionInXP& Skin();
  void RequestWindowIcon();

  // Placement on the screens.
  void WatchScreens();
  void KeepOnScreen();
  void RefuseLargerStates();
  void BackToOwnPlace();
  void AdoptSettledPlace();

  // The window's own handlers.
  void Form_MouseDown(std::int16_t Button);
  void Form_MouseMove();
  void InitSkinLabels();
  void LbMin_Click();
  void LbCerrar_Click();
  void LbTeskold_Click();
  void Image1_Click();
  void TeclaNumero_MouseMove(std::int16_t Index);
  void TeclaOpera_MouseMove(std::int16_t Index);
  void TeclaMemoria_MouseMove(std::int16_t Index);
  void LbDecimal_MouseMove();
  void LbCancel_MouseMove();
  void LbCancelaEntrada_MouseMove();
  void LbCerrar_MouseMove();
  void LbMin_MouseMove();
  void lblMemoFlag_MouseMove();
  void Timer1_Timer();

  // Keyboard preview: every key reaches the window's handlers first and goes
  // no further.
  void PreviewKey(QKeyEvent* event);
  void TypeText(const QString& text);

  // Runs an engine handler and shows the captions it left.
  template <typename Handler>
  void RunEngine(Handler handler) {
    handler(engine_);
    ShowState();
  }
  void ShowState();

  // WindowEffects.
  std::string Caption(ControlRef control) const override;
  void SetFocus(ControlRef control) override;
  void ShowMessage(const std::string& caption, std::optional<int> font_points) override;
  void SetTimerEnabled(bool enabled) override;
  bool MessageShown() const override;
  void CloseMessage() override;
  void ShowAbout() override;
  void ShowMessageBox(const std::string& text) override;
  void SetClipboardText(const std::string& text) override;
  QWidget* ControlWidget(ControlRef control) const;

  Calculator engine_{*this};
  std::shared_ptr<ShapePlatform> platform_;
  std::unique_ptr<BMPregionInXP> SkinRegion;

  std::array<SkinLabel*, 10> TeclaNumero{};
  std::array<SkinLabel*, 5> TeclaOpera{};
  std::array<SkinLabel*, 4> TeclaMemoria{};
  SkinLabel* LbDecimal = nullptr;
  SkinLabel* LbCancel = nullptr;
  SkinLabel* LbCancelaEntrada = nullptr;
  SkinLabel* Readout = nullptr;
  SkinLabel* lblMemoFlag = nullptr;
  SkinLabel* LbMin = nullptr;
  SkinLabel* LbCerrar = nullptr;
  SkinLabel* LbTeskold = nullptr;

  Panel* PicMsg = nullptr;
  SkinLabel* LbMensaje = nullptr;
  SkinLabel* Label1 = nullptr;
  std::array<QFrame*, 3> Shape1{};
  SkinLabel* Image1 = nullptr;

  std::array<QPushButton*, 10> NumKey{};
  std::array<QPushButton*, 5> Operator{};
  QPushButton* Decimal = nullptr;
  QPushButton* CopyButton = nullptr;
  PictureBox* picBackground = nullptr;
  std::optional<QCursor> handCursor_;
  bool iconRequested_ = false;

  QTimer Timer1;
  // Runs for a moment after a refused maximise or full screen.
  QTimer refusal_;
  // Runs for a moment after a move the program did not make.
  QTimer moveSettling_;
};

}  // namespace quintora
