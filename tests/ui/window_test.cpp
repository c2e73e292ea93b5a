// Widget tests of the calculator window on the offscreen platform: the
// control table, start-up, hover feedback, the message panel, the keyboard
// routing and the copy command.

#include <QAccessible>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <private/qlocale_p.h>

#include "AnnouncementRecorder.h"
#include "Fonts.h"
#include "FormWindow.h"
#include "Messages.h"
#include "frmCalculator.h"

using quintora::frmCalculator;

namespace {

QColor TextColour(const QWidget* w) { return w->palette().color(QPalette::WindowText); }

// While it lives, QLocale::system() is the given locale, whatever the
// environment says.
class SystemLocale final : public QSystemLocale {
 public:
  explicit SystemLocale(const QString& name) : locale_(name) {}
  QLocale fallbackLocale() const override { return locale_; }
  QVariant query(QueryType type, QVariant in) const override {
    if (type == DecimalPoint) return locale_.decimalPoint();
    if (type == GroupSeparator) return locale_.groupSeparator();
    return QSystemLocale::query(type, in);
  }

 private:
  const QLocale locale_;
};

// Sees the window's state change before the window does; given the word, it
// then moves the window as the window system would right after telling the
// state.
class StateWatcher : public QObject {
 public:
  StateWatcher(QWidget* window, bool moveAfter) : window_(window), moveAfter_(moveAfter) {
    window->installEventFilter(this);
  }
  bool sawTheState = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::WindowStateChange || sawTheState) return false;
    sawTheState = true;
    if (moveAfter_)
      QMetaObject::invokeMethod(window_, [w = window_] { w->windowHandle()->setPosition(5, 5); }, Qt::QueuedConnection);
    return false;
  }

 private:
  QWidget* window_;
  bool moveAfter_;
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<frmCalculator> form;

  template <typename T = QLabel>
  T* Control(const QString& name) {
    auto* control = form->findChild<T*>(name);
    if (!control) qFatal("no control %s", qPrintable(name));
    return control;
  }
  QString Text(const QString& name) { return Control(name)->text(); }
  QString Readout() { return Text("Readout"); }

  // The pointer's moves reach the window as the platform reports them, so
  // that every platform plugin delivers each one at once.
  void MoveTo(const QWidget* w, QPoint p) { QTest::mouseMove(form->windowHandle(), w->mapTo(form.get(), p)); }
  void MoveTo(const QString& name, QPoint p) { MoveTo(Control<QWidget>(name), p); }

  // The pointer moves onto a control, then clicks it, as a user does.
  void Click(const QString& name) {
    QWidget* w = Control<QWidget>(name);
    MoveTo(w, w->rect().center());
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  }
  void ClickKeys(const QStringList& names) {
    for (const QString& name : names) Click(name);
  }
  void MoveOverBody() { MoveTo(form.get(), QPoint(20, 150)); }
  void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
    QTest::keyClick(target, key, mods);
  }

 private slots:
  void initTestCase() { quintora::InstallFontSubstitutes(); }

  void init() {
    form = std::make_unique<frmCalculator>();
    form->Form_Load();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
  }
  void cleanup() { form.reset(); }

  void startsShapedAtRestWithTheDisplayAtZero() {
    QCOMPARE(form->size(), QSize(353, 428));
    QCOMPARE(form->windowTitle(), QString("Quintora"));
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(Readout(), QString("0."));
    for (int i = 0; i < 10; ++i) QCOMPARE(Text(QString("TeclaNumero(%1)").arg(i)), QString());
    for (int i = 0; i < 5; ++i) QCOMPARE(Text(QString("TeclaOpera(%1)").arg(i)), QString());
    for (int i = 0; i < 4; ++i) QCOMPARE(Text(QString("TeclaMemoria(%1)").arg(i)), QString());
    QCOMPARE(TextColour(Control("LbCerrar")), QColor(0xC0, 0, 0));
    QCOMPARE(TextColour(Control("LbMin")), QColor(0, 0, 0xC0));
    QVERIFY(form->timer().isActive());
    QCOMPARE(form->timer().interval(), 150);
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("CopyButton"));  // first in the focus order
    QCOMPARE(form->engine().TimerArmed, quintora::kTrue);
  }

  void controlsFollowTheLayout() {
    QCOMPARE(Control("TeclaNumero(7)")->geometry(), QRect(31, 175, 31, 26));
    QCOMPARE(Control("TeclaNumero(0)")->geometry(), QRect(35, 303, 76, 26));
    QCOMPARE(Control("TeclaOpera(4)")->geometry(), QRect(189, 301, 77, 32));
    QCOMPARE(Control("Readout")->geometry(), QRect(43, 66, 267, 25));
    QCOMPARE(Control("Readout")->font().pixelSize(), 18);
    QVERIFY(Control("Readout")->alignment() & Qt::AlignRight);
    QVERIFY(Control("TeclaMemoria(0)")->alignment() & Qt::AlignLeft);
    QVERIFY(Control("TeclaNumero(5)")->alignment() & Qt::AlignHCenter);
    QCOMPARE(Control("TeclaOpera(0)")->font().pixelSize(), 32);
    QCOMPARE(Control("LbCancel")->toolTip(), QString("Cancela"));
    QCOMPARE(Control("TeclaMemoria(3)")->toolTip(), QString("Cancelar Memoria"));
    QCOMPARE(Control("TeclaNumero(1)")->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(Control("Readout")->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!Control("lblMemoFlag")->isVisible());
    QVERIFY(!Control<QWidget>("PicMsg")->isVisible());
    QVERIFY(Control<QWidget>("PicMsg")->geometry().top() >= 422);
    QVERIFY(!Control("Label1")->isVisibleTo(Control<QWidget>("PicMsg")));
    QVERIFY(Control("Image1")->isVisibleTo(Control<QWidget>("PicMsg")));
    for (int i = 0; i < 3; ++i) QVERIFY(!Control<QFrame>(QString("Shape1(%1)").arg(i))->isVisibleTo(form.get()));
    QCOMPARE(Control<QPushButton>("Operator(2)")->text(), QString("*"));
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
      QVERIFY2(button->geometry().top() >= 422, qPrintable(button->objectName()));
      QVERIFY(button->isVisible());
    }
  }

  void clicksOnTheSkinCompute() {
    ClickKeys({"TeclaNumero(7)", "TeclaOpera(0)", "TeclaNumero(2)", "TeclaOpera(4)"});
    QCOMPARE(Readout(), QString("9."));
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("Operator(4)"));
    ClickKeys({"TeclaMemoria(0)"});
    QVERIFY(Control("lblMemoFlag")->isVisible());
    QCOMPARE(Text("lblMemoFlag"), QString("M"));
  }

  void aPressWithoutAMoveStillEntersTheKey() {
    QWidget* five = Control<QWidget>("TeclaNumero(5)");
    QTest::mouseClick(five, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(Readout(), QString("5."));
  }

  void hoverLightsLabelsUntilThePointerCrossesTheBody() {
    MoveTo("TeclaNumero(7)", QPoint(5, 5));
    QCOMPARE(Text("TeclaNumero(7)"), QString("7"));
    MoveTo("TeclaOpera(2)", QPoint(5, 5));
    QCOMPARE(Text("TeclaOpera(2)"), QString("X"));
    MoveTo("LbCancel", QPoint(5, 5));
    QCOMPARE(Text("LbCancel"), QString("C"));
    MoveTo("LbCancelaEntrada", QPoint(5, 5));
    QCOMPARE(Text("LbCancelaEntrada"), QString("CE"));
    QCOMPARE(Text("TeclaNumero(7)"), QString("7"));
    MoveTo("LbCerrar", QPoint(2, 2));
    QCOMPARE(TextColour(Control("LbCerrar")), QColor(255, 0, 0));
    MoveTo("LbMin", QPoint(2, 2));
    QCOMPARE(TextColour(Control("LbMin")), QColor(0, 255, 255));
    MoveOverBody();
    QCOMPARE(Text("TeclaNumero(7)"), QString());
    QCOMPARE(Text("TeclaOpera(2)"), QString());
    QCOMPARE(TextColour(Control("LbCerrar")), QColor(0xC0, 0, 0));
    QCOMPARE(TextColour(Control("LbMin")), QColor(0, 0, 0xC0));
  }

  void memoryHintShowsTheCurrentMemory() {
    ClickKeys({"TeclaNumero(1)", "LbDecimal", "TeclaNumero(5)", "TeclaMemoria(0)", "TeclaMemoria(0)"});
    MoveTo("lblMemoFlag", QPoint(3, 3));
    QCOMPARE(Control("lblMemoFlag")->toolTip(), QString("Valor almacenado = 3"));
    ClickKeys({"LbCancel"});
    MoveTo("lblMemoFlag", QPoint(4, 4));
    QCOMPARE(Control("lblMemoFlag")->toolTip(), QString("Valor almacenado = 0"));
  }

  void messagePanelLifeCycle() {
    QWidget* panel = Control<QWidget>("PicMsg");
    // The first message of the run brings the panel up from below the skin.
    Type("1234567890123456");
    QVERIFY(panel->isVisible());
    QVERIFY2(!form->timer().isActive(), "a message stops the timer");
    QCOMPARE(panel->y(), 174);
    QCOMPARE(Text("LbMensaje"),
             QString("Ha llegado al límite de caracteres para esta Versión de Quintora 1.1."));
    QCOMPARE(Control("LbMensaje")->font().pixelSize(), 16);
    QVERIFY(!Control("Label1")->isVisibleTo(panel));
    Click("Image1");
    QVERIFY(!panel->isVisible());

    Click("LbTeskold");
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->y(), 174);
    QCOMPARE(Text("LbMensaje"), QString(quintora::messages::kAbout));
    QCOMPARE(Control("LbMensaje")->font().pixelSize(), 13);
    QVERIFY(Control("Label1")->isVisible());
    QVERIFY(Control<QFrame>("Shape1(1)")->isVisible());
    QVERIFY(!form->timer().isActive());
    MoveOverBody();
    QVERIFY2(!form->timer().isActive(), "a message disarms the timer");

    Click("Image1");
    QVERIFY(!panel->isVisible());
    QVERIFY(!Control("Label1")->isVisibleTo(panel));
    QVERIFY(!form->timer().isActive());
    MoveOverBody();
    QVERIFY(form->timer().isActive());

    Key(Qt::Key_Delete);
    Type("1234567890123456");
    QVERIFY(panel->isVisible());
    QCOMPARE(Control("LbMensaje")->font().pixelSize(), 13);  // the limit message keeps the last size
    QVERIFY(!Control("Label1")->isVisibleTo(panel));

    Type("/0=");
    QCOMPARE(Text("LbMensaje"), QString("Error, División entre cero"));
    QCOMPARE(Control("LbMensaje")->font().pixelSize(), 16);
  }

  void keyboardActsOncePerKey() {
    Type("7*6");
    Key(Qt::Key_Return);
    QCOMPARE(Readout(), QString("42."));
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("Operator(4)"));
    Key(Qt::Key_Space);
    Key(Qt::Key_Enter);
    QCOMPARE(Readout(), QString("42."));
    Type("x,a");
    Key(Qt::Key_5, Qt::AltModifier);
    QCOMPARE(Readout(), QString("42."));
    Type("5");
    for (Qt::KeyboardModifier mod : {Qt::ControlModifier, Qt::AltModifier}) {
      Key(Qt::Key_Backspace, mod);
      QCOMPARE(Readout(), QString("5."));
    }
    Key(Qt::Key_Escape);
    Key(Qt::Key_Tab);
    QCOMPARE(Readout(), QString("5."));
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("Operator(4)"));
  }

  // The box runs an event loop of its own; the window shows the engine's
  // display and memory flag as they are when it comes up.
  void displayIsCurrentWhileTheMessageBoxIsUp() {
    Type("5+");
    quintora::Calculator& engine = form->engine();
    engine.EntryState = "NEG";  // a signed display that is already too long
    engine.Readout = "0.00000000000000000";
    engine.lblMemoFlagVisible = true;
    QString shown;
    bool flagShown = false;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      shown = Readout();
      flagShown = Control("lblMemoFlag")->isVisible();
      if (box) box->accept();
    });
    Type(".");
    QCOMPARE(shown, QString("0.00000000000000000"));
    QVERIFY(flagShown);
  }

  // Backspace takes back a key without ending the entry as CE does; the
  // keypad's decimal key types the point whatever the layout gives it; a
  // paste enters the clipboard, or changes nothing when it cannot be read.
  void windowKeysCallTheHandlersOfTheirClicks() {
    Type("123");
    Key(Qt::Key_Backspace);
    Type("4");
    QCOMPARE(Readout(), QString("124."));
    QCOMPARE(QApplication::focusWidget(), Control<QWidget>("Operator(4)"));
    Click("LbCancelaEntrada");
    Type("5");
    QCOMPARE(Readout(), QString("5."));

    Key(Qt::Key_Comma, Qt::KeypadModifier);
    Type("5");
    QCOMPARE(Readout(), QString("5.5"));

    Key(Qt::Key_Delete);
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const QString& ignored : {QString(" \t "), QString(65, u'1')}) {
      clipboard->setText(ignored);
      Key(Qt::Key_V, Qt::ControlModifier);
      QCOMPARE(Readout(), QString("0."));
    }
    clipboard->setText(" 12.5+1= ");
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Readout(), QString("13.5"));
  }

  // A paste is read with the decimal mark of the user's locale.
  void pasteReadsTheUsersDecimalMark_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("display");
    QTest::newRow("es_ES: a decimal comma") << "es_ES" << "1,5" << "1.5";
    QTest::newRow("es_ES: thousands and a decimal comma") << "es_ES" << "1.234,5" << "1234.5";
    QTest::newRow("es_ES: thousands") << "es_ES" << "1.234.567" << "1234567.";
    QTest::newRow("es_ES: a lone point") << "es_ES" << "2.5" << "2.5";
    QTest::newRow("en_US: a comma groups") << "en_US" << "1,234.5" << "1234.5";
    QTest::newRow("en_US: no decimal comma") << "en_US" << "1,5" << "0.";
  }
  void pasteReadsTheUsersDecimalMark() {
    QFETCH(QString, locale);
    QFETCH(QString, pasted);
    QFETCH(QString, display);
    SystemLocale system(locale);
    QGuiApplication::clipboard()->setText(pasted);
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Readout(), display);
  }

  // A key that changed the display is announced by the new value in spoken
  // form; one that changed only the memory, by the memory state; a key that
  // changed nothing, not at all. What Orca then says is checked by
  // tests/x11/orca_check.py. On Windows no UI Automation client runs under
  // wine, so these checks of what Qt receives are the best available there:
  // whether Narrator speaks the notifications stays to be heard on Windows.
  void keysAnnounceWhatTheyChanged_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("digits and a fraction") << "7+2.5=" << QStringList{"Readout: 7", "Readout: 2", "Readout: 2,5", "Readout: 9,5"};
    QTest::newRow("an exponent") << "1/10000000=" << QStringList{"Readout: 1", "Readout: 10", "Readout: 100", "Readout: 1000",
        "Readout: 10000", "Readout: 100000", "Readout: 1000000", "Readout: 10000000", "Readout: 1 por diez elevado a menos 7"};
    QTest::newRow("memory keys") << "5\x10\x10\x0c\x12" << QStringList{"Readout: 5", "Readout: En memoria 5",
        "Readout: En memoria 10", "Readout: Memoria vacía", "Readout: 0"};
  }
  void keysAnnounceWhatTheyChanged() {
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    quintora::test::AnnouncementRecorder recorder;
    static const QMap<QChar, int> kMemoryKeys = {{u'\x10', Qt::Key_P}, {u'\x0c', Qt::Key_L}, {u'\x12', Qt::Key_R}};
    for (QChar ch : typed) {
      if (kMemoryKeys.contains(ch))
        Key(Qt::Key(kMemoryKeys[ch]), Qt::ControlModifier);
      else
        Type(ch);
    }
    QCOMPARE(recorder.announced(), expected);
  }

  // Each message is announced as it comes up, also one that replaces another
  // on the panel; the point's overflow box is an alert that says its text.
  void messagesAreAnnounced() {
    quintora::test::AnnouncementRecorder recorder;
    Type("1234567890123456");
    Type("/0=");
    Key(Qt::Key_Delete);
    Type("5*");
    form->engine().FirstOperand = 1e308;
    Type("10=");
    Key(Qt::Key_Escape);
    Key(Qt::Key_F1);
    QString boxSays;
    QTimer::singleShot(0, this, [&] {
      QWidget* box = QApplication::activeModalWidget();
      QAccessibleInterface* alert = box ? QAccessible::queryAccessibleInterface(box) : nullptr;
      if (alert && alert->role() == QAccessible::AlertMessage) boxSays = alert->text(QAccessible::Value);
      if (box) box->close();
    });
    Key(Qt::Key_Delete);
    Type("5+");
    form->engine().EntryState = "NEG";  // a signed display that is already too long
    form->engine().Readout = "0.00000000000000000";
    Type(".");
    QCOMPARE(recorder.announced().filter("PicMsg"), QStringList({
        "PicMsg: Ha llegado al límite de caracteres para esta Versión de Quintora 1.1.",
        "PicMsg: Error, División entre cero", "PicMsg: Error, Desbordamiento",
        QString("PicMsg: ") + quintora::messages::kAbout}));
    QVERIFY2(boxSays.contains("Maximum digits") && boxSays.contains("Result overflowed"), qPrintable(boxSays));
  }

  void deleteResetsWithoutASnapshot() {
    Type("5+3");
    Key(Qt::Key_Delete);
    QCOMPARE(Readout(), QString("0."));
    Click("LbCancelaEntrada");
    QCOMPARE(Readout(), QString("5."));
    Type("9");
    Key(Qt::Key_Delete, Qt::KeypadModifier);
    QCOMPARE(Readout(), QString("0."));
  }

  void copyPutsTheDisplayOnTheClipboard() {
    Type("3-5=");
    Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("-2."));
    QGuiApplication::clipboard()->clear();
    Key(Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("-2."));
    Click("LbCancelaEntrada");
    QCOMPARE(Readout(), QString("5."));
  }

  void theWindowHasOneSize() {
    const QSize size = form->size();
    QCOMPARE(form->minimumSize(), size);
    QCOMPARE(form->maximumSize(), size);
    form->showMaximized();
    QTRY_VERIFY(!form->isMaximized());
    form->showFullScreen();
    QTRY_VERIFY(!form->isFullScreen());
    QCOMPARE(form->size(), size);
  }

  // A window system that maximises or fills the screen with the window moves
  // it on the way: the offscreen platform to the screen's corner before it
  // tells the new state, as some X11 window managers do, and, posted when
  // the state arrives, to another place after it, as Windows does. The
  // refused state leaves the window where the body drag put it.
  void refusedStatesLeaveTheWindowWhereItWasDragged_data() {
    QTest::addColumn<Qt::WindowState>("state");
    QTest::addColumn<bool>("movedAfterTheState");
    QTest::newRow("maximised") << Qt::WindowMaximized << false;
    QTest::newRow("maximised, moved after") << Qt::WindowMaximized << true;
    // On Windows only the program itself could make its window full screen.
    if (QGuiApplication::platformName() == "windows") return;
    QTest::newRow("full screen") << Qt::WindowFullScreen << false;
    QTest::newRow("full screen, moved after") << Qt::WindowFullScreen << true;
  }
  void refusedStatesLeaveTheWindowWhereItWasDragged() {
    QFETCH(Qt::WindowState, state);
    QFETCH(bool, movedAfterTheState);
    const QPoint body(20, 150), start = form->pos();
    QCursor::setPos(form->mapToGlobal(body));
    QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, body);
    QTest::mouseMove(form->windowHandle(), body + QPoint(71, 51));
    QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, body);
    const QPoint dragged = start + QPoint(71, 51);
    QTRY_COMPARE(form->pos(), dragged);

    StateWatcher windowSystem(form.get(), movedAfterTheState);
    form->windowHandle()->setWindowStates(state);
    QTRY_VERIFY(windowSystem.sawTheState && form->windowState() == Qt::WindowNoState);
    QTest::qWait(100);  // for any move still to come
    QCOMPARE(form->pos(), dragged);
    QCOMPARE(form->size(), QSize(353, 428));
  }

  // A move the program did not make (a window manager's keyboard move,
  // another program that places windows) is where a refused maximise leaves
  // the window, once the move has settled.
  void aRefusedMaximiseLeavesTheWindowWhereAnotherProgramMovedIt() {
    const QPoint moved = form->pos() + QPoint(37, 23);
    form->windowHandle()->setFramePosition(moved);
    QTRY_COMPARE(form->pos(), moved);
    QTRY_VERIFY(quintora::OwnPlace(form.get()) == moved);

    StateWatcher windowSystem(form.get(), true);
    form->windowHandle()->setWindowStates(Qt::WindowMaximized);
    QTRY_VERIFY(windowSystem.sawTheState && form->windowState() == Qt::WindowNoState);
    QTest::qWait(100);  // for any move still to come
    QCOMPARE(form->pos(), moved);
  }

  void minimiseKeepsTheState() {
    Type("12+");
    Click("LbMin");
    QVERIFY(form->isMinimized());
    form->showNormal();
    QCOMPARE(Readout(), QString("12."));
    QCOMPARE(form->engine().PendingOperator, std::string("+"));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
