#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "Captions.h"

// The controls of the calculator window as built at start: place and size in
// twips (15 to the pixel) relative to their container, caption, font, text
// colour (#RRGGBB), alignment, pop-up hint and pointer.
namespace quintora::layout {

struct Rect {
  int left, top, width, height;  // twips
};

struct Font {
  const char* family;
  double points;
  bool bold;
};

enum class Align { Left, Centre, Right };
enum class Pointer { Standard, Arrow, Hand };

struct Label {
  const char* name;
  std::int16_t index;  // -1 for a control outside any control array
  const char* caption;
  Rect rect;
  Font font;
  unsigned colour;
  Align align;
  const char* tooltip;
  Pointer pointer;
  const char* spoken;  // accessible name of a label that acts on a click, else empty
};

inline constexpr unsigned kYellow = 0xFFFF00;
inline constexpr Font kKeyFont{"Comic Sans MS", 15.75, false};

// Transparent key labels over the painted keys.
inline constexpr std::array<Label, 22> kKeyLabels = {{
    {"TeclaNumero", 7, "7", {465, 2625, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "7"},
    {"TeclaNumero", 8, "8", {1215, 2625, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "8"},
    {"TeclaNumero", 9, "9", {1965, 2625, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "9"},
    {"TeclaNumero", 4, "4", {465, 3285, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "4"},
    {"TeclaNumero", 5, "5", {1215, 3285, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "5"},
    {"TeclaNumero", 6, "6", {1965, 3285, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "6"},
    {"TeclaNumero", 1, "1", {435, 3930, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "1"},
    {"TeclaNumero", 2, "2", {1215, 3930, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "2"},
    {"TeclaNumero", 3, "3", {1965, 3930, 465, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "3"},
    {"TeclaNumero", 0, "0", {525, 4545, 1140, 390}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "0"},
    {"LbDecimal", -1, ".", {1965, 4500, 450, 450}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "Punto decimal"},
    {"LbCancel", -1, "C", {2760, 2625, 495, 420}, kKeyFont, kYellow, Align::Centre, "Cancela", Pointer::Hand, "Cancela"},
    {"LbCancelaEntrada", -1, "CE", {3525, 2625, 495, 420}, kKeyFont, kYellow, Align::Centre, "Cancela Entrada", Pointer::Hand, "Cancela Entrada"},
    {"TeclaOpera", 0, kOperatorLabelCaptions[0], {2820, 3120, 435, 465}, {"Comic Sans MS", 24, false}, kYellow, Align::Centre, "", Pointer::Hand, "Más"},
    {"TeclaOpera", 1, kOperatorLabelCaptions[1], {3540, 3105, 435, 480}, {"Comic Sans MS", 24, false}, kYellow, Align::Centre, "", Pointer::Hand, "Menos"},
    {"TeclaOpera", 2, kOperatorLabelCaptions[2], {2805, 3960, 435, 420}, {"Comic Sans MS", 14.25, false}, kYellow, Align::Centre, "", Pointer::Hand, "Por"},
    {"TeclaOpera", 3, kOperatorLabelCaptions[3], {3540, 3930, 435, 480}, kKeyFont, kYellow, Align::Centre, "", Pointer::Hand, "Entre"},
    {"TeclaOpera", 4, kOperatorLabelCaptions[4], {2835, 4515, 1155, 480}, {"Comic Sans MS", 18, false}, kYellow, Align::Centre, "", Pointer::Hand, "Igual"},
    {"TeclaMemoria", 0, kMemoryLabelCaptions[0], {4260, 2640, 450, 450}, kKeyFont, kYellow, Align::Left, "", Pointer::Hand, "Memoria más"},
    {"TeclaMemoria", 1, kMemoryLabelCaptions[1], {4245, 3270, 450, 450}, kKeyFont, kYellow, Align::Left, "", Pointer::Hand, "Memoria menos"},
    {"TeclaMemoria", 2, kMemoryLabelCaptions[2], {4245, 3930, 450, 450}, kKeyFont, kYellow, Align::Left, "Recuperar Memoria", Pointer::Hand, "Recuperar Memoria"},
    {"TeclaMemoria", 3, kMemoryLabelCaptions[3], {4260, 4545, 450, 450}, kKeyFont, kYellow, Align::Left, "Cancelar Memoria", Pointer::Hand, "Cancelar Memoria"},
}};

// The other labels on the window, in their stacking order (later on top).
inline constexpr std::array<Label, 7> kOtherLabels = {{
    {"Readout", -1, "0.", {645, 990, 4005, 375}, {"MS Sans Serif", 13.5, true}, kYellow, Align::Right, "", Pointer::Standard, ""},
    {"lblMemoFlag", -1, "M", {4500, 2280, 240, 285}, {"Arial", 9.75, true}, 0x000080, Align::Right, "En Memoria", Pointer::Standard, ""},
    {"LbMin", -1, "--", {3885, 315, 180, 330}, {"Arial", 14.25, true}, 0x0000C0, Align::Left, "Minimizar", Pointer::Hand, "Minimizar"},
    {"LbCerrar", -1, "X", {4410, 315, 210, 360}, {"Arial", 15.75, true}, 0xC00000, Align::Left, "Cerrar", Pointer::Hand, "Cerrar"},
    {"LbTeskold", -1, "", {390, 5625, 2610, 495}, {"Arial", 8.25, true}, 0x000000, Align::Left, "", Pointer::Hand, "Acerca de Quintora"},
    {"Label3", -1, "", {2670, 3045, 1530, 210}, kKeyFont, kYellow, Align::Left, "", Pointer::Arrow, ""},
    {"Label2", -1, "Label2", {-30, 6360, 600, 450}, kKeyFont, kYellow, Align::Left, "", Pointer::Arrow, ""},
}};

// The label `name` of `labels`, `index` being its place in its control array
// (-1 outside one). In a constant expression a missing label does not compile.
template <std::size_t N>
constexpr const Label& FindLabel(const std::array<Label, N>& labels, std::string_view name, int index = -1) {
  for (const Label& label : labels)
    if (label.name == name && label.index == index) return label;
  throw std::out_of_range("no such label in the layout");
}

// The message panel and what it holds.
inline constexpr Rect kPicMsg{210, 6600, 4755, 2385};
inline constexpr unsigned kNavy = 0x000080;
inline constexpr int kPicMsgShownTop = 2610;
inline constexpr Label kLbMensaje{
    "LbMensaje", -1, "Ha llegado al límite de caracteres para esta Versión de Quintora.",
    {240, 135, 3900, 1215}, {"Verdana", 12, true}, kYellow, Align::Left, "", Pointer::Standard, ""};
inline constexpr Label kLabel1{"Label1", -1, "Producto Peruano", {285, 2040, 1725, 240},
                               {"Arial", 9.75, true}, 0xE0E0E0, Align::Left, "", Pointer::Standard, ""};
inline constexpr Rect kImage1{3945, 1680, 525, 420};
inline constexpr const char* kImage1Spoken = "Cerrar mensaje";

struct Shape {
  std::int16_t index;
  Rect rect;
  unsigned colour;
};
inline constexpr std::array<Shape, 3> kShape1 = {{
    {0, {285, 1500, 285, 495}, 0xFF0000},
    {2, {570, 1500, 300, 495}, 0xE0E0E0},
    {1, {870, 1500, 285, 495}, 0xFF0000},
}};

// Hidden push buttons below the skin; they only hold the keyboard focus.
struct Button {
  const char* name;
  std::int16_t index;
  const char* caption;
  Rect rect;
  Font font;
};

inline constexpr Font kButtonFont{"Courier", 9.75, true};
inline constexpr int kButtonWidth = 420;
inline constexpr int kButtonHeight = 360;

// In focus (tab) order, from CopyButton (0) to NumKey(7) (23).
inline constexpr std::array<Button, 17> kButtons = {{
    {"CopyButton", -1, "<", {-30, 6825, 315, 315}, {"Arial", 8.25, true}},
    {"Operator", 4, kOperatorButtonCaptions[4], {4695, 6525, 975, kButtonHeight}, {"Courier", 15, true}},
    {"Decimal", -1, ".", {5100, 6525, kButtonWidth, kButtonHeight}, {"System", 9.75, true}},
    {"NumKey", 0, "0", {4695, 6630, kButtonWidth, kButtonHeight}, kButtonFont},
    {"Operator", 3, kOperatorButtonCaptions[3], {4800, 6630, kButtonWidth, kButtonHeight}, kButtonFont},
    {"Operator", 2, kOperatorButtonCaptions[2], {4905, 6630, kButtonWidth, kButtonHeight}, {"Courier New", 9, true}},
    {"NumKey", 3, "3", {5010, 6630, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 2, "2", {5115, 6630, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 1, "1", {4695, 6675, kButtonWidth, kButtonHeight}, kButtonFont},
    {"Operator", 1, kOperatorButtonCaptions[1], {4800, 6675, kButtonWidth, kButtonHeight}, {"Courier", 15, true}},
    {"Operator", 0, kOperatorButtonCaptions[0], {4905, 6675, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 6, "6", {5010, 6675, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 5, "5", {5115, 6675, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 4, "4", {4695, 6510, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 9, "9", {4800, 6510, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 8, "8", {4905, 6510, kButtonWidth, kButtonHeight}, kButtonFont},
    {"NumKey", 7, "7", {5010, 6510, kButtonWidth, kButtonHeight}, kButtonFont},
}};
inline constexpr unsigned kCopyButtonColour = 0x808080;
inline constexpr const char* kCopyButtonTooltip = "Copiar al portapapeles";

// The picture box that holds the skin picture, below the skin.
inline constexpr Rect kPicBackground{4365, 6525, 5295, 6420};

// The window before it takes the size of the skin.
inline constexpr int kFormWidth = 5220;
inline constexpr int kFormHeight = 9030;
inline constexpr Font kFormFont{"Arial", 8.25, true};

inline constexpr int kTimerInterval = 150;  // milliseconds

}  // namespace quintora::layout
