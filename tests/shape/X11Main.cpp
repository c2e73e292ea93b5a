#include <gtest/gtest.h>

#include <QApplication>

// Runs on the X server named by DISPLAY (see tests/x11/with-x.sh).
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
