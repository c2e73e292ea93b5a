// The activity timer with a recording platform: translucent and stopped
// while another application is active, opaque again after a move over the
// body, and left alone while a message is up.

#include <QTest>

#include "RecordingPlatform.h"
#include "frmCalculator.h"

using quintora::frmCalculator;
using quintora::test::RecordingPlatform;

class ActivityTest : public QObject {
  Q_OBJECT

  std::shared_ptr<RecordingPlatform> platform;
  std::unique_ptr<frmCalculator> form;

  int LastAlpha() const {
    for (auto call = platform->calls.rbegin(); call != platform->calls.rend(); ++call) {
      if (call->role == "SetLayeredAttributes") return call->alpha;
    }
    return -1;
  }
  // The pointer's moves reach the window as the platform reports them, so
  // that every platform plugin delivers each one at once.
  void MoveTo(const QWidget* w, QPoint p) { QTest::mouseMove(form->windowHandle(), w->mapTo(form.get(), p)); }
  void MoveOverBody() { MoveTo(form.get(), QPoint(20, 150)); }

 private slots:
  void init() {
    platform = std::make_shared<RecordingPlatform>();
    form = std::make_unique<frmCalculator>(platform);
    form->Form_Load();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }
  void cleanup() { form.reset(); }

  void startsOpaqueOnTopWithTheWhiteKey() {
    QCOMPARE(LastAlpha(), 255);
    const auto& calls = platform->calls;
    const auto key = std::find_if(calls.begin(), calls.end(), [](const auto& c) {
      return c.role == "SetLayeredAttributes";
    });
    QCOMPARE(key->argument, std::uint64_t{0xFFFFFF});
    QCOMPARE(calls.back().role, std::string("SetTopMost"));
    QCOMPARE(calls.back().argument, std::uint64_t{1});
  }

  void eachTickReappliesTheWhiteKeyOnTop() {
    platform->calls.clear();
    QTRY_VERIFY(!platform->calls.empty() && platform->calls.back().role == "SetTopMost");
    const auto& calls = platform->calls;
    const auto key = std::find_if(calls.begin(), calls.end(), [](const auto& c) {
      return c.role == "SetLayeredAttributes";
    });
    QVERIFY(key != calls.end());
    QCOMPARE(key->argument, std::uint64_t{0xFFFFFF});
    QCOMPARE(key->alpha, 255);
    QCOMPARE(calls.back().argument, std::uint64_t{1});
  }

  void anotherActiveApplicationMakesItTranslucentUntilTheBodyIsCrossed() {
    platform->active = false;
    QTRY_VERIFY(!form->timer().isActive());
    QCOMPARE(LastAlpha(), 102);

    MoveTo(form->findChild<QWidget*>("TeclaNumero(7)"), QPoint(4, 4));
    QVERIFY2(!form->timer().isActive(), "moves over key labels do not wake the timer");

    platform->active = true;
    MoveOverBody();
    QVERIFY(form->timer().isActive());
    QTRY_COMPARE(LastAlpha(), 255);
    QVERIFY(form->timer().isActive());
  }

  void aMessageFreezesTheOpacity() {
    QTest::mouseClick(form->findChild<QWidget*>("LbTeskold"), Qt::LeftButton);
    platform->active = false;
    const std::size_t calls = platform->calls.size();
    MoveOverBody();
    QTest::qWait(400);
    QCOMPARE(platform->calls.size(), calls);
    QCOMPARE(LastAlpha(), 255);
  }

  void aLeftPressOnTheBodyStartsTheDragOtherButtonsDoNot() {
    platform->calls.clear();
    QTest::mousePress(form.get(), Qt::RightButton, {}, QPoint(20, 150));
    QTest::mousePress(form.get(), Qt::MiddleButton, {}, QPoint(20, 150));
    QTest::mousePress(form->findChild<QWidget*>("TeclaNumero(7)"), Qt::LeftButton);
    for (const auto& call : platform->calls) QVERIFY(call.role != "StartBodyDrag");
    QTest::mousePress(form.get(), Qt::LeftButton, {}, QPoint(20, 150));
    QCOMPARE(platform->Roles().back(), std::string("StartBodyDrag"));
  }
};

QTEST_MAIN(ActivityTest)
#include "activity_test.moc"
