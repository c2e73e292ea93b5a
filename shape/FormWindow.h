#pragma once

#include <cstdint>
#include <optional>

#include <QColor>
#include <QPoint>

#include "Picture.h"
#include "Twips.h"

class QWidget;

// The properties of a top-level window that the shaped-window object reads
// and writes, in the units of the calculator: window state, size in twips,
// and a background made of a picture and a colour.
namespace quintora {

bool IsMinimized(const QWidget* window);

// The window's size. The shaped window is frameless, so its outer size is
// the size of the widget itself.
int WindowWidthTwips(const QWidget* window);
int WindowHeightTwips(const QWidget* window);
// The window takes the size as its fixed size, so the window manager offers
// neither resizing nor maximising; nothing happens when it has it already.
void SetWindowWidthTwips(QWidget* window, long long twips);
void SetWindowHeightTwips(QWidget* window, long long twips);

// The window's own place: where the program itself last put it (the end of
// a body drag, a move back onto the screen), where a window manager or
// another program moved it once that move has settled (NotePlace), or else
// where the window was when it first showed. A window manager's move on its
// way to a state the window refuses never becomes it.
std::optional<QPoint> OwnPlace(const QWidget* window);
// Moves the window there and records the place as the window's own.
void PlaceWindow(QWidget* window, QPoint place);
// Records where the window is now as its own place.
void NotePlace(QWidget* window);
// Records where the window is now, if nothing was recorded yet.
void NoteFirstPlace(QWidget* window);

// What the window draws under its own content and its children: the picture
// unscaled from the top-left corner (its high-resolution variant where the
// device pixel ratio is above 1) and the colour everywhere else. A window
// that never got a background colour reports its palette's window colour.
struct WindowBackground {
  Picture picture;
  QColor colour;
};

WindowBackground BackgroundOf(const QWidget* window);
// Both setters repaint the window only when the value changes. A null
// picture removes the background picture.
void SetBackgroundPicture(QWidget* window, const Picture& picture);
void SetBackgroundColour(QWidget* window, const QColor& colour);

// How many changes the setters above, the Qt platform and picture boxes
// have made to the shape state of any window; NoteShapeChange counts one.
std::uint64_t ShapeChanges();
void NoteShapeChange();

}  // namespace quintora
