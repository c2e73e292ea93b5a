// bench_xprobe: starts a program on the current X display and reports when
// its window is mapped and when its pixels stop changing; then takes
// commands on stdin to move the keyboard focus between that window and a
// window of its own, so the caller can measure the program while it is, and
// while it is not, the active window.
//
//   bench_xprobe [--grab-ms N] [--quiet-ms N] [--timeout-ms N] -- PROGRAM [ARG...]
//
// First line on stdout:
//   launched pid=P window=W map_ms=M expose_ms=E stable_ms=S grabs=G changes=C
//            resizes=R late_properties=NAME,NAME...|-
// (times in milliseconds from just before the fork; resizes and
// late_properties count what the window changed after its map, until its
// pixels were stable: size changes, and the properties changed on it). Commands, one a line:
//   activate app | activate other    -> "ok" or "timeout"
//   pointer app|other X Y            -> "ok" (pointer warped into that window)
//   quit                             -> ends the program (SIGTERM) and exits
//
// Windows are watched with SubstructureNotify on the root and StructureNotify
// on every new top-level window, so the map is seen as it happens rather than
// by polling; the program's window is the first mapped one whose _NET_WM_PID
// is the child's pid.

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "bench_xprobe: %s\n", what);
  std::exit(2);
}

xcb_connection_t* conn = nullptr;
xcb_screen_t* screen = nullptr;

xcb_atom_t Atom(const char* name) {
  auto cookie = xcb_intern_atom(conn, 0, std::uint16_t(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(conn, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string AtomName(xcb_atom_t atom) {
  std::unique_ptr<xcb_get_atom_name_reply_t, decltype(&std::free)> reply(
      xcb_get_atom_name_reply(conn, xcb_get_atom_name(conn, atom), nullptr), &std::free);
  if (!reply) return "?";
  return std::string(xcb_get_atom_name_name(reply.get()), std::size_t(xcb_get_atom_name_name_length(reply.get())));
}

long WindowPid(xcb_window_t window, xcb_atom_t pidAtom) {
  auto cookie = xcb_get_property(conn, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(conn, cookie, nullptr), &std::free);
  if (!reply || xcb_get_property_value_length(reply.get()) < 4) return -1;
  return long(*static_cast<std::uint32_t*>(xcb_get_property_value(reply.get())));
}

bool Viewable(xcb_window_t window) {
  std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> reply(
      xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, window), nullptr),
      &std::free);
  return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// FNV-1a over the window's pixels; 0 when they cannot be read (not viewable).
std::uint64_t GrabHash(xcb_window_t window, int width, int height) {
  auto cookie = xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, std::uint16_t(width),
                              std::uint16_t(height), ~0u);
  xcb_generic_error_t* error = nullptr;
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
      xcb_get_image_reply(conn, cookie, &error), &std::free);
  std::free(error);
  if (!reply) return 0;
  const std::uint8_t* data = xcb_get_image_data(reply.get());
  const int length = xcb_get_image_data_length(reply.get());
  std::uint64_t hash = 1469598103934665603ull;
  for (int i = 0; i < length; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
  return hash | 1;
}

// The window that has the keyboard focus, or one of its ancestors: true
// when it is target or lies inside it.
bool FocusWithin(xcb_window_t target) {
  std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
      xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr), &std::free);
  if (!focus) return false;
  xcb_window_t w = focus->focus;
  while (w != XCB_NONE && w != screen->root && w != XCB_INPUT_FOCUS_POINTER_ROOT) {
    if (w == target) return true;
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(conn, xcb_query_tree(conn, w), nullptr), &std::free);
    if (!tree) return false;
    w = tree->parent;
  }
  return false;
}

void DrainEvents() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(conn)) std::free(event);
}

// With a window manager the request goes through it (_NET_ACTIVE_WINDOW);
// without one the focus is set directly.
bool Activate(xcb_window_t window, bool haveWm, xcb_atom_t activeAtom) {
  if (haveWm) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = activeAtom;
    message.data.data32[0] = 2;  // from a pager: the request is obeyed
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(conn, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
  } else {
    xcb_set_input_focus(conn, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
  }
  xcb_flush(conn);
  const double deadline = NowMs() + 2000;
  while (NowMs() < deadline) {
    DrainEvents();
    if (FocusWithin(window)) return true;
    usleep(2000);
  }
  return false;
}

bool WindowManagerRunning() {
  const xcb_atom_t check = Atom("_NET_SUPPORTING_WM_CHECK");
  auto cookie = xcb_get_property(conn, 0, screen->root, check, XCB_ATOM_WINDOW, 0, 1);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(conn, cookie, nullptr), &std::free);
  return reply && xcb_get_property_value_length(reply.get()) >= 4;
}

}  // namespace

int main(int argc, char** argv) {
  int grabMs = 5, quietMs = 400, timeoutMs = 15000;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) Die("missing value");
    if (arg == "--grab-ms") grabMs = std::atoi(argv[++i]);
    else if (arg == "--quiet-ms") quietMs = std::atoi(argv[++i]);
    else if (arg == "--timeout-ms") timeoutMs = std::atoi(argv[++i]);
    else Die("unknown option");
  }
  if (i >= argc) Die("usage: bench_xprobe [--grab-ms N] [--quiet-ms N] -- PROGRAM [ARG...]");
  char** program = argv + i;

  conn = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(conn)) Die("cannot open the display");
  screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
  const xcb_atom_t pidAtom = Atom("_NET_WM_PID");
  const xcb_atom_t activeAtom = Atom("_NET_ACTIVE_WINDOW");
  const bool haveWm = WindowManagerRunning();

  // The other window: small, in the bottom-right corner, away from the
  // program's window and from the pointer.
  const xcb_window_t other = xcb_generate_id(conn);
  {
    const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, other, screen->root,
                      std::int16_t(screen->width_in_pixels - 140),
                      std::int16_t(screen->height_in_pixels - 140), 120, 120, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    const char title[] = "bench-other";
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, other, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof title - 1, title);
    xcb_map_window(conn, other);
    xcb_flush(conn);
    const double deadline = NowMs() + 5000;
    while (!Viewable(other) && NowMs() < deadline) usleep(2000);
    DrainEvents();
  }

  const std::uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(conn, screen->root, XCB_CW_EVENT_MASK, &rootMask);
  // A round trip, so the selection is in force before the program starts.
  std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
  // The probe's own connection must not leak into the program.
  fcntl(xcb_get_file_descriptor(conn), F_SETFD, FD_CLOEXEC);

  std::fflush(stdout);
  const double start = NowMs();
  const pid_t child = fork();
  if (child < 0) Die("fork failed");
  if (child == 0) {
    execvp(program[0], program);
    std::perror("bench_xprobe: exec");
    _exit(127);
  }

  // Wait for the map. New top-level windows are watched for their own map
  // (under a window manager the client is mapped inside its frame).
  xcb_window_t window = XCB_NONE;
  double mapMs = -1, exposeMs = -1;
  std::set<xcb_window_t> watched;
  const std::uint32_t clientMask =
      XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_PROPERTY_CHANGE;
  int mappedWidth = 0, mappedHeight = 0, resizes = 0;
  std::set<std::string> lateProperties;
  auto consider = [&](xcb_window_t w, double at) {
    if (window != XCB_NONE || w == other) return;
    if (WindowPid(w, pidAtom) != long(child)) return;
    window = w;
    mapMs = at - start;
  };
  auto handle = [&](xcb_generic_event_t* event, double at) {
    switch (event->response_type & 0x7F) {
      case XCB_CREATE_NOTIFY: {
        auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
        if (e->override_redirect || e->window == other) break;
        if (watched.insert(e->window).second) {
          xcb_change_window_attributes(conn, e->window, XCB_CW_EVENT_MASK, &clientMask);
          // It may have been mapped before the selection took effect.
          if (Viewable(e->window)) consider(e->window, NowMs());
        }
        break;
      }
      case XCB_MAP_NOTIFY: {
        auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event);
        if (watched.count(e->window)) consider(e->window, at);
        break;
      }
      case XCB_CONFIGURE_NOTIFY: {
        auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(event);
        if (e->window != window || mappedWidth == 0) break;
        if (e->width != mappedWidth || e->height != mappedHeight) ++resizes;
        mappedWidth = e->width;
        mappedHeight = e->height;
        break;
      }
      case XCB_PROPERTY_NOTIFY: {
        auto* e = reinterpret_cast<xcb_property_notify_event_t*>(event);
        if (e->window == window && mappedWidth != 0) lateProperties.insert(AtomName(e->atom));
        break;
      }
      case XCB_EXPOSE: {
        auto* e = reinterpret_cast<xcb_expose_event_t*>(event);
        if (e->window == window && exposeMs < 0) exposeMs = at - start;
        break;
      }
      default:
        break;
    }
  };

  pollfd pfd{xcb_get_file_descriptor(conn), POLLIN, 0};
  while (window == XCB_NONE) {
    if (NowMs() - start > timeoutMs) {
      kill(child, SIGTERM);
      waitpid(child, nullptr, 0);
      Die("no window mapped in time");
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) Die("the program ended before mapping a window");
    xcb_flush(conn);
    poll(&pfd, 1, 5);
    const double at = NowMs();
    while (xcb_generic_event_t* event = xcb_poll_for_event(conn)) {
      handle(event, at);
      std::free(event);
    }
    if (xcb_connection_has_error(conn)) Die("connection lost");
  }

  // Grab the window until its pixels have not changed for quietMs.
  int width = 0, height = 0;
  {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(conn, xcb_get_geometry(conn, window), nullptr), &std::free);
    if (!geometry) Die("window vanished");
    width = mappedWidth = geometry->width;
    height = mappedHeight = geometry->height;
  }
  std::uint64_t last = 0;
  double lastChange = NowMs();
  int grabs = 0, changes = 0;
  for (;;) {
    const double at = NowMs();
    const std::uint64_t hash = GrabHash(window, width, height);
    ++grabs;
    if (hash != last) {
      last = hash;
      lastChange = at;
      ++changes;
    }
    while (xcb_generic_event_t* event = xcb_poll_for_event(conn)) {
      handle(event, NowMs());
      std::free(event);
    }
    if (last != 0 && NowMs() - lastChange >= quietMs) break;
    if (NowMs() - start > timeoutMs) break;
    const double next = at + grabMs;
    const double wait = next - NowMs();
    if (wait > 0) usleep(useconds_t(wait * 1000));
  }

  std::string late;
  for (const std::string& name : lateProperties) late += (late.empty() ? "" : ",") + name;
  std::printf(
      "launched pid=%d window=0x%x map_ms=%.2f expose_ms=%.2f stable_ms=%.2f grabs=%d changes=%d resizes=%d "
      "late_properties=%s\n",
      int(child), unsigned(window), mapMs, exposeMs, lastChange - start, grabs, changes, resizes,
      late.empty() ? "-" : late.c_str());
  std::fflush(stdout);

  std::string line;
  while (std::getline(std::cin, line)) {
    if (line == "activate app" || line == "activate other") {
      const bool ok = Activate(line == "activate app" ? window : other, haveWm, activeAtom);
      std::puts(ok ? "ok" : "timeout");
    } else if (line.rfind("pointer ", 0) == 0) {
      // pointer app|other X Y: the pointer warped to a point of that window,
      // which the window sees as a real move.
      char which[16] = {};
      int x = 0, y = 0;
      if (std::sscanf(line.c_str(), "pointer %15s %d %d", which, &x, &y) == 3) {
        const xcb_window_t target = std::string(which) == "app" ? window : other;
        xcb_warp_pointer(conn, XCB_NONE, target, 0, 0, 0, 0, std::int16_t(x), std::int16_t(y));
        std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
        DrainEvents();
        std::puts("ok");
      } else {
        std::puts("unknown");
      }
    } else if (line == "quit") {
      break;
    } else {
      std::puts("unknown");
    }
    std::fflush(stdout);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  xcb_disconnect(conn);
  return 0;
}
