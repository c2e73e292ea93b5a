#include "frmCalculator.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "Accessibility.h"
#include "Assets.h"
#include "Fonts.h"
#include "FormWindow.h"
#include "LayoutQt.h"
#include "Panel.h"
#include "PictureBox.h"
#include "SkinLabel.h"
#include "Spoken.h"

namespace quintora {
namespace {

QColor Rgb(unsigned rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

}  // namespace

frmCalculator::frmCalculator(std::shared_ptr<ShapePlatform> platform)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), platform_(std::move(platform)) {
  InstallAccessibility();
  setObjectName("frmCalculator");
  setWindowTitle("Quintora");
  setFont(LayoutFont(layout::kFormFont));
  setMouseTracking(true);
  resize(TwipsToPixels(layout::kFormWidth), TwipsToPixels(layout::kFormHeight));

  BuildLabels();
  BuildMessagePanel();
  BuildButtons();
  RequireControls();

  picBackground = new PictureBox(this);
  picBackground->setObjectName("picBackground");
  picBackground->setGeometry(PixelRect(layout::kPicBackground));
  // The 2x skin is decoded only if a screen with a device pixel ratio above
  // 1 asks for it.
  picBackground->setPicture(Picture(assets::SkinPicture(), &assets::SkinPicture2x));

  WatchScreens();
  refusal_.setSingleShot(true);
  refusal_.setInterval(1000);
  moveSettling_.setSingleShot(true);
  moveSettling_.setInterval(250);
  connect(&moveSettling_, &QTimer::timeout, this, [this] { AdoptSettledPlace(); });

  Timer1.setInterval(layout::kTimerInterval);
  connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  Timer1.start();
}

frmCalculator::~frmCalculator() = default;

// The window icon is handed to the window system once the first frame is
// on the screen: under X11 that means decoding all its sizes and sending
// them with the window, which would otherwise hold up the first frame. Where
// the first frame shows is the window's own place until it moves itself.
void frmCalculator::paintEvent(QPaintEvent* /*event*/) {
  if (iconRequested_) return;
  RequestWindowIcon();
  NoteFirstPlace(this);
}

void frmCalculator::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    // Started minimised there is no first frame to wait for.
    if (isMinimized() && !iconRequested_) RequestWindowIcon();
    RefuseLargerStates();
  }
  QWidget::changeEvent(event);
}

void frmCalculator::RequestWindowIcon() {
  iconRequested_ = true;
  QTimer::singleShot(0, this, [this] { setWindowIcon(assets::WindowIcon()); });
}

SkinLabel* frmCalculator::AddLabel(QWidget* parent, const layout::Label& entry) {
  auto* label = new SkinLabel(parent);
  label->setObjectName(ObjectName(entry.name, entry.index));
  // Before anything that tools may ask about: a label with a spoken name is
  // exposed as a button from the first.
  label->setAccessibleName(QString::fromUtf8(entry.spoken));
  label->setGeometry(PixelRect(entry.rect));
  label->setFont(LayoutFont(entry.font));
  label->setForeColor(Rgb(entry.colour));
  label->setAlignment(Alignment(entry.align));
  label->setText(QString::fromUtf8(entry.caption));
  label->setToolTip(QString::fromUtf8(entry.tooltip));
  if (entry.pointer == layout::Pointer::Hand) label->setCursor(HandCursor());
  if (entry.pointer == layout::Pointer::Arrow) label->setCursor(Qt::ArrowCursor);
  return label;
}

// Labels first, in their stacking order; the key labels lie above Label3,
// which overlaps the top of the + and - keys, so those keys take the whole
// of their rectangle.
void frmCalculator::BuildLabels() {
  for (const auto& entry : layout::kOtherLabels) {
    SkinLabel* label = AddLabel(this, entry);
    const std::string name = entry.name;
    if (name == "Readout") Readout = label;
    if (name == "lblMemoFlag") lblMemoFlag = label;
    if (name == "LbMin") LbMin = label;
    if (name == "LbCerrar") LbCerrar = label;
    if (name == "LbTeskold") LbTeskold = label;
  }
  lblMemoFlag->hide();
  lblMemoFlag->setAccessibleName(QString::fromStdString(SpokenMemory(engine_.MemoryValue)));
  connect(lblMemoFlag, &SkinLabel::mouseMoved, this, [this] { lblMemoFlag_MouseMove(); });
  connect(LbMin, &SkinLabel::mouseMoved, this, [this] { LbMin_MouseMove(); });
  connect(LbMin, &SkinLabel::clicked, this, [this] { LbMin_Click(); });
  connect(LbCerrar, &SkinLabel::mouseMoved, this, [this] { LbCerrar_MouseMove(); });
  connect(LbCerrar, &SkinLabel::clicked, this, [this] { LbCerrar_Click(); });
  connect(LbTeskold, &SkinLabel::clicked, this, [this] { LbTeskold_Click(); });

  for (const auto& entry : layout::kKeyLabels) {
    SkinLabel* label = AddLabel(this, entry);
    const std::string name = entry.name;
    const std::int16_t i = entry.index;
    if (name == "TeclaNumero") {
      TeclaNumero[i] = label;
      connect(label, &SkinLabel::mouseMoved, this, [this, i] { TeclaNumero_MouseMove(i); });
      connect(label, &SkinLabel::clicked, this,
              [this, i] { RunEngine([i](Calculator& c) { c.TeclaNumero_Click(i); }); });
    } else if (name == "TeclaOpera") {
      TeclaOpera[i] = label;
      connect(label, &SkinLabel::mouseMoved, this, [this, i] { TeclaOpera_MouseMove(i); });
      connect(label, &SkinLabel::clicked, this,
              [this, i] { RunEngine([i](Calculator& c) { c.TeclaOpera_Click(i); }); });
    } else if (name == "TeclaMemoria") {
      TeclaMemoria[i] = label;
      connect(label, &SkinLabel::mouseMoved, this, [this, i] { TeclaMemoria_MouseMove(i); });
      connect(label, &SkinLabel::clicked, this,
              [this, i] { RunEngine([i](Calculator& c) { c.TeclaMemoria_Click(i); }); });
    } else if (name == "LbDecimal") {
      LbDecimal = label;
      connect(label, &SkinLabel::mouseMoved, this, [this] { LbDecimal_MouseMove(); });
      connect(label, &SkinLabel::clicked, this,
              [this] { RunEngine([](Calculator& c) { c.LbDecimal_Click(); }); });
    } else if (name == "LbCancel") {
      LbCancel = label;
      connect(label, &SkinLabel::mouseMoved, this, [this] { LbCancel_MouseMove(); });
      connect(label, &SkinLabel::clicked, this,
              [this] { RunEngine([](Calculator& c) { c.LbCancel_Click(); }); });
    } else if (name == "LbCancelaEntrada") {
      LbCancelaEntrada = label;
      connect(label, &SkinLabel::mouseMoved, this, [this] { LbCancelaEntrada_MouseMove(); });
      connect(label, &SkinLabel::clicked, this,
              [this] { RunEngine([](Calculator& c) { c.LbCancelaEntrada_Click(); }); });
    }
  }
}

// The message panel lies below the skin until a message moves it up; being
// a container, it covers every label while it is shown.
void frmCalculator::BuildMessagePanel() {
  PicMsg = new Panel(this);
  PicMsg->setObjectName("PicMsg");
  PicMsg->setGeometry(PixelRect(layout::kPicMsg));
  QPalette navy = PicMsg->palette();
  navy.setColor(QPalette::Window, Rgb(layout::kNavy));
  PicMsg->setPalette(navy);
  PicMsg->hide();

  for (std::size_t k = 0; k < layout::kShape1.size(); ++k) {
    const auto& entry = layout::kShape1[k];
    auto* bar = new QFrame(PicMsg);
    bar->setObjectName(ObjectName("Shape1", entry.index));
    bar->setGeometry(PixelRect(entry.rect));
    bar->setAutoFillBackground(true);
    QPalette fill = bar->palette();
    fill.setColor(QPalette::Window, Rgb(entry.colour));
    bar->setPalette(fill);
    bar->setAttribute(Qt::WA_TransparentForMouseEvents);
    bar->hide();
    Shape1[entry.index] = bar;
  }

  LbMensaje = AddLabel(PicMsg, layout::kLbMensaje);
  LbMensaje->setWordWrap(true);
  Label1 = AddLabel(PicMsg, layout::kLabel1);
  Label1->hide();

  Image1 = new SkinLabel(PicMsg);
  Image1->setObjectName("Image1");
  Image1->setAccessibleName(QString::fromUtf8(layout::kImage1Spoken));
  Image1->setGeometry(PixelRect(layout::kImage1));
  Image1->setPixmap(assets::BackArrow(devicePixelRatio()));
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setCursor(HandCursor());
  connect(Image1, &SkinLabel::clicked, this, [this] { Image1_Click(); });
}

// The hidden push buttons, created in focus order; they lie below the skin,
// outside the part of the window that is seen.
void frmCalculator::BuildButtons() {
  QWidget* previous = nullptr;
  for (const auto& entry : layout::kButtons) {
    auto* button = new QPushButton(QString::fromUtf8(entry.caption), this);
    button->setObjectName(ObjectName(entry.name, entry.index));
    button->setGeometry(PixelRect(entry.rect));
    button->setFont(LayoutFont(entry.font));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(this);
    if (previous) setTabOrder(previous, button);
    previous = button;

    const std::string name = entry.name;
    const std::int16_t i = entry.index;
    if (name == "NumKey") {
      NumKey[i] = button;
      connect(button, &QPushButton::clicked, this,
              [this, i] { RunEngine([i](Calculator& c) { c.NumKey_Click(i); }); });
    } else if (name == "Operator") {
      Operator[i] = button;
      connect(button, &QPushButton::clicked, this,
              [this, i] { RunEngine([i](Calculator& c) { c.Operator_Click(i); }); });
    } else if (name == "Decimal") {
      Decimal = button;
      connect(button, &QPushButton::clicked, this,
              [this] { RunEngine([](Calculator& c) { c.Decimal_Click(); }); });
    } else if (name == "CopyButton") {
      CopyButton = button;
      CopyButton->setToolTip(layout::kCopyButtonTooltip);
      QPalette grey = CopyButton->palette();
      grey.setColor(QPalette::Button, Rgb(layout::kCopyButtonColour));
      CopyButton->setPalette(grey);
      connect(button, &QPushButton::clicked, this,
              [this] { RunEngine([](Calculator& c) { c.CopyButton_Click(); }); });
    }
  }
}

// The controls are picked out of the layout tables by name; one missing
// there would leave a handler without its control, so it stops here.
void frmCalculator::RequireControls() const {
  std::vector<std::pair<const QWidget*, QString>> controls = {
      {Readout, "Readout"},     {lblMemoFlag, "lblMemoFlag"}, {LbMin, "LbMin"},
      {LbCerrar, "LbCerrar"},   {LbTeskold, "LbTeskold"},     {LbDecimal, "LbDecimal"},
      {LbCancel, "LbCancel"},   {LbCancelaEntrada, "LbCancelaEntrada"},
      {PicMsg, "PicMsg"},       {LbMensaje, "LbMensaje"},     {Label1, "Label1"},
      {Image1, "Image1"},       {Decimal, "Decimal"},         {CopyButton, "CopyButton"}};
  auto add = [&controls](const auto& array, const char* name) {
    for (std::size_t i = 0; i < array.size(); ++i) controls.emplace_back(array[i], ObjectName(name, std::int16_t(i)));
  };
  add(TeclaNumero, "TeclaNumero");
  add(TeclaOpera, "TeclaOpera");
  add(TeclaMemoria, "TeclaMemoria");
  add(Shape1, "Shape1");
  add(NumKey, "NumKey");
  add(Operator, "Operator");
  for (const auto& [widget, name] : controls)
    if (!widget) qFatal("frmCalculator: the layout has no control %s", qPrintable(name));
}

// One hand pointer for every control that shows it: one picture to decode
// and one cursor for the window system.
const QCursor& frmCalculator::HandCursor() {
  if (!handCursor_) handCursor_ = assets::HandCursor(devicePixelRatio());
  return *handCursor_;
}

BMPregionInXP& frmCalculator::Skin() {
  if (!SkinRegion) SkinRegion = std::make_unique<BMPregionInXP>(platform_);
  return *SkinRegion;
}

// The display and the memory indicator show the engine's captions. A key
// that changed the display is announced by its new value; one that changed
// only the memory, by the memory state.
void frmCalculator::ShowState() {
  const QString shown = Readout->text();
  const QString memory = QString::fromStdString(SpokenMemory(engine_.MemoryValue));
  const bool memoryChanged = memory != lblMemoFlag->accessibleName();
  Readout->setText(QString::fromStdString(engine_.Readout));
  lblMemoFlag->setText(QString::fromStdString(engine_.lblMemoFlag));
  lblMemoFlag->setVisible(engine_.lblMemoFlagVisible);
  if (memoryChanged) lblMemoFlag->setAccessibleName(memory);
  if (Readout->text() != shown) {
    Announce(Readout, News::DisplayValue, QString::fromStdString(SpokenNumber(engine_.Readout)));
  } else if (memoryChanged) {
    Announce(Readout, News::MemoryState, memory);
  }
}

QWidget* frmCalculator::ControlWidget(ControlRef control) const {
  const auto i = static_cast<std::size_t>(control.index);
  switch (control.name) {
    case ControlName::NumKey: return i < NumKey.size() ? NumKey[i] : nullptr;
    case ControlName::TeclaNumero: return i < TeclaNumero.size() ? TeclaNumero[i] : nullptr;
    case ControlName::Operator: return i < Operator.size() ? Operator[i] : nullptr;
    case ControlName::TeclaOpera: return i < TeclaOpera.size() ? TeclaOpera[i] : nullptr;
    case ControlName::Decimal: return Decimal;
  }
  return nullptr;
}

std::string frmCalculator::Caption(ControlRef control) const {
  QWidget* widget = ControlWidget(control);
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text().toStdString();
  return {};
}

void frmCalculator::SetFocus(ControlRef control) {
  if (QWidget* widget = ControlWidget(control)) widget->setFocus(Qt::OtherFocusReason);
}

// Every message, the about text included, comes up this way: the panel moves
// into the skin area and shows the caption, in the given size if there is one.
void frmCalculator::ShowMessage(const std::string& caption, std::optional<int> font_points) {
  PicMsg->move(PicMsg->x(), TwipsToPixels(layout::kPicMsgShownTop));
  PicMsg->show();
  if (font_points) {
    QFont font = LbMensaje->font();
    font.setPixelSize(PointsToPixels(*font_points));
    LbMensaje->setFont(font);
  }
  LbMensaje->setText(QString::fromStdString(caption));
  Announce(PicMsg, News::Message, LbMensaje->text());
}

void frmCalculator::SetTimerEnabled(bool enabled) {
  if (enabled) {
    if (!Timer1.isActive()) Timer1.start();
  } else {
    Timer1.stop();
  }
}

bool frmCalculator::MessageShown() const { return PicMsg->isVisibleTo(this); }
void frmCalculator::CloseMessage() { Image1_Click(); }
void frmCalculator::ShowAbout() { LbTeskold_Click(); }

void frmCalculator::ShowMessageBox(const std::string& text) {
  ShowState();
  QMessageBox box(QMessageBox::NoIcon, "Quintora", QString::fromStdString(text), QMessageBox::Ok,
                  this);
  box.exec();
}

void frmCalculator::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

}  // namespace quintora
