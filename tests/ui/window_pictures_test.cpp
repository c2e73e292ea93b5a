// The pictures of the window. The program decodes the skin, the hand pointer
// and the arrow with its own small readers, and the icon without Qt's file
// engine, so that start-up loads no image-format plugin; they must come out
// exactly as Qt's readers make them of the committed files. The 2x skin is
// decoded only when a screen asks for it, and then is the committed one.

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QImageReader>
#include <QTest>

#include "Assets.h"
#include "Fonts.h"
#include "HandCursor.h"
#include "PictureBox.h"
#include "frmCalculator.h"

namespace assets = quintora::assets;

namespace {

QByteArray Committed(const QString& name) {
  QFile file(QStringLiteral(QUINTORA_RESOURCES_DIR "/") + name);
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(file.fileName()));
  return file.readAll();
}

// Qt's reader for the named format, as the program used before.
QImage QtRead(const QString& name, const char* format, int index = 0) {
  QBuffer buffer;
  buffer.setData(Committed(name));
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  if (index > 0) reader.jumpToImage(index);
  return reader.read();
}

}  // namespace

class WindowPicturesTest : public QObject {
  Q_OBJECT

 private slots:
  void skinIsWhatQtsBmpReaderMakesOfIt() {
    QCOMPARE(assets::SkinPicture().convertToFormat(QImage::Format_RGB32),
             QtRead("skin.bmp", "bmp").convertToFormat(QImage::Format_RGB32));
  }

  void handPointerIsWhatQtsIcoReaderMakesOfIt() {
    const QCursor hand = assets::HandCursor();
    QCOMPARE(hand.pixmap().toImage(), QPixmap::fromImage(QtRead("hand.cur", "ico")).toImage());
  }

  void arrowIsTheIconsThirtyTwoBitImageAsQtReadsIt() {
    QCOMPARE(assets::BackArrow().toImage(), QPixmap::fromImage(QtRead("back-arrow.ico", "ico", 1)).toImage());
  }

  void iconGivesWhatQtsOwnIconEngineGives() {
    QIcon reference;
    for (int size : {16, 32, 48, 64})
      reference.addFile(QStringLiteral(QUINTORA_RESOURCES_DIR "/icons/quintora-%1.png").arg(size), QSize(size, size));
    const QIcon icon = assets::WindowIcon();
    QCOMPARE(icon.availableSizes(), reference.availableSizes());
    for (int size : {16, 20, 32, 48, 64, 100, 128, 256, 300}) {
      const QSize asked(size, size);
      QCOMPARE(icon.actualSize(asked), reference.actualSize(asked));
      QCOMPARE(icon.pixmap(asked).toImage(), reference.pixmap(asked).toImage());
    }
  }

  // Run at a device pixel ratio of 1 and of 2 (ui.window_pictures_hidpi).
  void pointerAndArrowAreDrawnForTheScreen() {
    quintora::frmCalculator form;
    const qreal ratio = form.devicePixelRatio();
    QCOMPARE(quintora::test::HandCursorMismatch(form.findChild<QWidget*>("TeclaNumero(7)")->cursor(), ratio), QString());
    const QPixmap arrow = form.findChild<QLabel*>("Image1")->pixmap();
    QCOMPARE(arrow.size(), QSize(16, 16) * ratio);
    QCOMPARE(arrow.devicePixelRatio(), ratio);
  }

  void highResolutionSkinComesWhenAskedFor() {
    quintora::InstallFontSubstitutes();
    quintora::frmCalculator form;
    auto* box = form.findChild<quintora::PictureBox*>("picBackground");
    QVERIFY(box);
    const quintora::Picture& picture = box->picture();
    QCOMPARE(picture.forDevicePixelRatio(1.0), assets::SkinPicture());
    const QImage big = picture.forDevicePixelRatio(2.0);
    QCOMPARE(big.size(), QSize(688, 844));
    QCOMPARE(big.devicePixelRatio(), 2.0);
    QCOMPARE(big, assets::SkinPicture2x());
    // Copies share the decoded variant.
    const quintora::Picture copy = picture;
    QCOMPARE(copy.forDevicePixelRatio(2.0).cacheKey(), big.cacheKey());
    QVERIFY(copy == picture);
  }
};

QTEST_MAIN(WindowPicturesTest)
#include "window_pictures_test.moc"
