#pragma once

// Quintora's pictures, compiled into the program with Qt's resource system:
// nothing is read from disk at run time. They are drawn by tools/skin-gen;
// see README-assets.md.
//
// SkinPicture() and SkinPicture2x() work without an application object; the
// icon, cursor and pixmap need a QGuiApplication.

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace quintora::assets {

// The skin picture, 344 x 422, 24 bits a pixel (BGR888), read in place from
// the embedded file. Its pure-white pixels are the holes of the window.
QImage SkinPicture();

// The same skin drawn at twice the size, 688 x 844 pixels with a device pixel
// ratio of 2, for sharp output on high-density screens. Its white pixels are
// exactly those of SkinPicture(), each doubled.
QImage SkinPicture2x();

// The calculator's window icon, in sizes 16, 32, 48 and 64.
QIcon WindowIcon();

// The 32 x 32 hand pointer, with the hot spot stored in the cursor file,
// drawn for the device pixel ratio given (1 or 2).
QCursor HandCursor(qreal devicePixelRatio = 1.0);

// The message panel's 16 x 16 green arrow, from the icon's 32-bit images,
// drawn for the device pixel ratio given (1 or 2).
QPixmap BackArrow(qreal devicePixelRatio = 1.0);

}  // namespace quintora::assets
