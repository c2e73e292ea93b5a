// Draws Quintora's pictures: the skin (1x BMP and 2x PNG), the window icon,
// the hand pointer and the message panel's back arrow.
//
//   quintora-skin-gen OUTPUT_DIR [--preview PREVIEW_PNG]
//
// The output is the same, byte for byte, on every run with the same fonts.

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "Icons.h"
#include "Skin.h"
#include "WinImage.h"

namespace {

struct FontFile {
  const char* path;
  const char* package;
};

// Comic Neue stands in for the layout's Comic Sans MS, Liberation Sans for
// Arial; see resources/README-assets.md. The key captions use the regular
// weight, as the window does.
constexpr FontFile kCaptionFont{"/usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf",
                                "fonts-comic-neue"};
constexpr FontFile kLogoFont{"/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
                             "fonts-liberation"};

QString RequireFont(const FontFile& font) {
  if (!QFileInfo::exists(QString::fromUtf8(font.path)))
    throw std::runtime_error(std::string("missing font ") + font.path + " (Debian package " +
                             font.package + ")");
  return QString::fromUtf8(font.path);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) throw std::runtime_error("cannot encode PNG");
  return bytes;
}

int Run(const QStringList& args) {
  QString outDir;
  QString preview;
  bool usageError = false;
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--preview") && i + 1 < args.size())
      preview = args[++i];
    else if (outDir.isEmpty() && !args[i].startsWith(u'-'))
      outDir = args[i];
    else
      usageError = true;
  }
  if (usageError || outDir.isEmpty()) {
    std::fprintf(stderr, "usage: quintora-skin-gen OUTPUT_DIR [--preview PREVIEW_PNG]\n");
    return 2;
  }
  const QDir out(outDir);

  const skingen::SkinFonts fonts{RequireFont(kCaptionFont), RequireFont(kLogoFont)};
  const QImage skin = skingen::RenderSkin(1, fonts);
  WriteFile(out.filePath("skin.bmp"), skingen::EncodeBmp24(skin));
  WriteFile(out.filePath("skin@2x.png"), Png(skingen::RenderSkin(2, fonts)));

  WriteFile(out.filePath("quintora.ico"),
            skingen::EncodeIconFile({skingen::WindowIcon16Colours()}));
  for (int size : {16, 32, 48, 64, 128, 256})
    WriteFile(out.filePath(QStringLiteral("icons/quintora-%1.png").arg(size)),
              Png(skingen::DrawWindowIcon(size)));

  WriteFile(out.filePath("hand.cur"),
            skingen::EncodeIconFile(skingen::HandCursorImages(), true, skingen::kHandHotSpot));
  WriteFile(out.filePath("back-arrow.ico"), skingen::EncodeIconFile(skingen::BackArrowImages()));

  if (!preview.isEmpty()) WriteFile(preview, Png(skingen::SkinPreview(skin)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Only fonts and the raster painter are needed; never a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  try {
    return Run(QGuiApplication::arguments());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quintora-skin-gen: %s\n", e.what());
    return 1;
  }
}
