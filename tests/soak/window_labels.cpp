// Writes the window's labels to the JSON file given: each by object name with
// its rectangle in window pixels ([left, top, width, height]), the key labels
// in the order of the control table under "keyLabels", the others under
// "otherLabels". The build writes it next to the program for drive.py.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cstddef>
#include <cstdio>

#include "LayoutQt.h"

namespace {

template <std::size_t N>
QJsonArray LabelsJson(const std::array<quintora::layout::Label, N>& labels) {
  QJsonArray json;
  for (const auto& label : labels) {
    const QRect r = quintora::PixelRect(label.rect);
    json.append(QJsonObject{{"name", quintora::ObjectName(label.name, label.index)},
                            {"rect", QJsonArray{r.x(), r.y(), r.width(), r.height()}}});
  }
  return json;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: soak_window_labels FILE\n");
    return 2;
  }
  const QJsonObject json{{"keyLabels", LabelsJson(quintora::layout::kKeyLabels)},
                         {"otherLabels", LabelsJson(quintora::layout::kOtherLabels)}};
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(json).toJson()) < 0 || !file.flush()) {
    std::fprintf(stderr, "soak_window_labels: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
