// What another program can do to the calculator's window on Windows, for the
// tests under wine: wait for it, read or set its place and size, ask to
// maximise it, close it, and change the display's size.
//   window_tool wait | rect | close | maximize
//   window_tool move X Y | resize W H | display W H
// "rect" prints "X Y W H"; every command exits with 0 when it was done.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND Calculator() { return FindWindowW(nullptr, L"Quintora"); }

int Usage() {
  std::fputs("usage: window_tool wait|rect|close|maximize | move X Y | resize W H | display W H\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "display") {
    if (argc != 4) return Usage();
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = std::atoi(argv[2]);
    mode.dmPelsHeight = std::atoi(argv[3]);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
  }

  HWND window = Calculator();
  for (int tries = 0; command == "wait" && !window && tries < 300; ++tries) {
    Sleep(100);
    window = Calculator();
  }
  if (!window) {
    std::fputs("window_tool: no Quintora window\n", stderr);
    return 1;
  }
  RECT r;
  if (command == "wait") return 0;
  if (command == "rect" && GetWindowRect(window, &r)) {
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return 0;
  }
  if (command == "close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == "maximize") {
    ShowWindow(window, SW_MAXIMIZE);
    return 0;
  }
  if ((command == "move" || command == "resize") && argc == 4) {
    const int a = std::atoi(argv[2]), b = std::atoi(argv[3]);
    const UINT keep = command == "move" ? SWP_NOSIZE : SWP_NOMOVE;
    return SetWindowPos(window, nullptr, a, b, a, b, keep | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
  }
  return Usage();
}
