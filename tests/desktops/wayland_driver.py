"""Real input and screenshots in a Wayland session, as a user's devices and
screen would give them: pointer and keys through mutter's RemoteDesktop
interface or KWin's fake input, pictures of the screen through mutter's
ScreenCast (PipeWire) or KWin's ScreenShot2.

Reads one command a line on standard input and answers each with one line:
  move X Y | moveby DX DY | down | up | click | key NAME... | type TEXT
  maximise | fullscreen   asks for the active window so, as a user can
  shot [PNG]           takes a picture of the screen (and saves it)
  keep NAME            keeps the last picture under a name
  pixel X Y            #RRGGBB of the last picture
  differ NAME X0 Y0 X1 Y1   how many pixels of the rectangle differ from NAME's
  blend NAME X Y RRGGBB     the opacity (%) at which that colour shows over NAME
  locate [X Y]...      "X Y" of the window in the last picture, opaque or at
                       40 % over the picture kept as "bare", or "none"; the
                       places given and the last one found are tried first
  bbox RRGGBB          "X0 Y0 X1 Y1" of that exact colour, or "none"
Usage: wayland_driver.py mutter|kwin SKIN_BMP WIDTHxHEIGHT
"""
import os
import socket
import struct
import subprocess
import sys
import time

import dbus
import numpy

# name: (X keysym, Linux evdev code)
KEYS = {str(d): (0x30 + d, 11 if d == 0 else d + 1) for d in range(10)}
KEYS.update({
    "plus": (0xFFAB, 78), "equal": (0x3D, 13), "period": (0x2E, 52), "Return": (0xFF0D, 28),
    "Delete": (0xFFFF, 111), "Escape": (0xFF1B, 1), "ctrl": (0xFFE3, 29), "c": (0x63, 46),
    "super": (0xFFEB, 125), "Up": (0xFF52, 103), "f": (0x66, 33), "shift": (0xFFE1, 42),
})
CHARS = {"+": "plus", "=": "equal", ".": "period"}
BTN_LEFT = 0x110


class Mutter:
    RD = "org.gnome.Mutter.RemoteDesktop"
    SC = "org.gnome.Mutter.ScreenCast"

    def __init__(self, bus, width, height):
        self.bus, self.size = bus, (width, height)
        rd = dbus.Interface(bus.get_object(self.RD, "/org/gnome/Mutter/RemoteDesktop"), self.RD)
        self.input = dbus.Interface(bus.get_object(self.RD, rd.CreateSession()), self.RD + ".Session")
        self.input.Start()
        self.pos = (0, 0)
        self.input.NotifyPointerMotionRelative(-4.0 * width, -4.0 * height)  # to the corner
        self.node = None

    def move(self, x, y):
        self.input.NotifyPointerMotionRelative(float(x - self.pos[0]), float(y - self.pos[1]))
        self.pos = (x, y)

    def button(self, pressed):
        self.input.NotifyPointerButton(BTN_LEFT, pressed)

    def key(self, name, pressed):
        self.input.NotifyKeyboardKeysym(KEYS[name][0], pressed)

    def ask(self, state):
        """Asks for the active window maximised or full screen as its user
        does, with mutter's keys (Super+F made the full-screen key first)."""
        from gi.repository import Gio
        Gio.Settings.new("org.gnome.desktop.wm.keybindings").set_strv("toggle-fullscreen", ["<Super>f"])
        Gio.Settings.sync()
        time.sleep(0.5)  # mutter reads the change
        for part in ("super", "Up" if state == "maximise" else "f"):
            self.key(part, True)
        for part in ("Up" if state == "maximise" else "f", "super"):
            self.key(part, False)

    def _stream(self):
        # One screen cast for the whole run; a picture is one frame of it.
        from gi.repository import GLib
        sc = dbus.Interface(self.bus.get_object(self.SC, "/org/gnome/Mutter/ScreenCast"), self.SC)
        session = dbus.Interface(self.bus.get_object(self.SC, sc.CreateSession({})), self.SC + ".Session")
        stream_path = session.RecordMonitor("", {"cursor-mode": dbus.UInt32(0)})
        stream = self.bus.get_object(self.SC, stream_path)
        loop = GLib.MainLoop()
        nodes = []
        stream.connect_to_signal("PipeWireStreamAdded", lambda n: (nodes.append(int(n)), loop.quit()),
                                 dbus_interface=self.SC + ".Stream")
        session.Start()
        GLib.timeout_add(10000, loop.quit)
        loop.run()
        if not nodes:
            raise RuntimeError("no PipeWire stream from mutter")
        self.node = nodes[0]
        self.session = session

    def shot(self):
        if self.node is None:
            self._stream()
        out = os.path.join(os.environ["XDG_RUNTIME_DIR"], "shot.rgb")
        # No session manager links the streams: the frame's reader is
        # linked to mutter's output by hand once it is there.
        gst = subprocess.Popen(["gst-launch-1.0", "-q", "pipewiresrc", "path=%d" % self.node,
                                "num-buffers=1", "!", "videoconvert", "!", "video/x-raw,format=RGB",
                                "!", "filesink", "location=" + out], stdout=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while subprocess.run(["pw-link", "mutter:out_0", "gst-launch-1.0:in_0"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
            if time.monotonic() > deadline or gst.poll() is not None:
                gst.kill()
                raise RuntimeError("could not link the screen cast")
            time.sleep(0.05)
        gst.wait(timeout=20)
        with open(out, "rb") as f:
            return f.read()


class Kwin:
    """KWin's fake input spoken directly on the Wayland socket (the protocol
    is a handful of fixed-size messages); KWin grants it, and ScreenShot2,
    to this program's desktop file."""

    def __init__(self, bus, width, height):
        self.bus, self.size = bus, (width, height)
        deadline = time.monotonic() + 20
        while not self._connect():  # KWin may read the desktop files late
            if time.monotonic() > deadline:
                raise RuntimeError("KWin does not offer fake input to this program")
            time.sleep(0.5)
        self.pos = (0, 0)

    def _send(self, obj, opcode, payload=b""):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(payload)) << 16 | opcode) + payload)

    def _sync(self):
        self.next_id += 1
        callback = self.next_id
        self._send(1, 0, struct.pack("<I", callback))
        events = []
        while True:
            while len(self.buffer) >= 8:
                obj, size_op = struct.unpack("<II", self.buffer[:8])
                size = size_op >> 16
                if len(self.buffer) < size:
                    break
                events.append((obj, size_op & 0xFFFF, self.buffer[8:size]))
                self.buffer = self.buffer[size:]
                if obj == callback:
                    return events
                if obj == 1 and size_op & 0xFFFF == 0:
                    raise RuntimeError("Wayland protocol error")
            chunk = self.sock.recv(65536)
            if not chunk:
                raise RuntimeError("KWin closed the connection")
            self.buffer += chunk

    def _connect(self):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
        self.buffer, self.next_id = b"", 2
        self._send(1, 1, struct.pack("<I", 2))  # wl_display.get_registry
        for obj, opcode, body in self._sync():
            if obj != 2 or opcode != 0:
                continue
            name, length = struct.unpack("<II", body[:8])
            if body[8:8 + length - 1] == b"org_kde_kwin_fake_input":
                self.next_id += 1
                self.device = self.next_id
                interface = b"org_kde_kwin_fake_input\0"
                self._send(2, 0, struct.pack("<II", name, len(interface)) + interface +
                           b"\0" * (-len(interface) % 4) + struct.pack("<II", 4, self.device))
                self._send(self.device, 0, self._string("quintora tests") + self._string("tests"))
                self._sync()
                return True
        self.sock.close()
        return False

    @staticmethod
    def _string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def move(self, x, y):
        self._send(self.device, 9, struct.pack("<ii", int(x * 256), int(y * 256)))
        self._sync()
        self.pos = (x, y)

    def button(self, pressed):
        self._send(self.device, 2, struct.pack("<II", BTN_LEFT, int(pressed)))
        self._sync()

    def key(self, name, pressed):
        self._send(self.device, 10, struct.pack("<II", KEYS[name][1], int(pressed)))
        self._sync()

    def ask(self, state):
        """Asks for the active window maximised or full screen through a
        KWin script, as a window rule or a script of the user's would."""
        change = "c.setMaximize(true, true);" if state == "maximise" else "c.fullScreen = true;"
        path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "ask.js")
        with open(path, "w") as f:
            f.write("const c = workspace.activeClient; if (c) { %s }\n" % change)
        scripting = dbus.Interface(self.bus.get_object("org.kde.KWin", "/Scripting"), "org.kde.kwin.Scripting")
        name = "quintora-test-%s-%d" % (state, time.monotonic_ns())
        scripting.loadScript(path, name, signature="ss")
        scripting.start()  # runs the scripts loaded and not yet running

    def shot(self):
        screenshot = dbus.Interface(self.bus.get_object("org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2"),
                                    "org.kde.KWin.ScreenShot2")
        read_end, write_end = os.pipe()
        width, height = self.size
        screenshot.CaptureArea(0, 0, width, height, {"native-resolution": True}, dbus.types.UnixFd(write_end))
        os.close(write_end)
        chunks = []
        while True:
            chunk = os.read(read_end, 1 << 20)
            if not chunk:
                break
            chunks.append(chunk)
        os.close(read_end)
        bgra = b"".join(chunks)  # premultiplied ARGB32 words, little-endian
        rgb = bytearray(width * height * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = bgra[2::4], bgra[1::4], bgra[0::4]
        return bytes(rgb)


def read_skin(path):
    """The skin picture (an uncompressed 24-bit BMP) as rows of RGB."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height = struct.unpack("<ii", data[18:26])
    stride = (width * 3 + 3) & ~3
    rows = numpy.frombuffer(data, numpy.uint8, abs(height) * stride, offset).reshape(abs(height), stride)
    bgr = rows[:, :width * 3].reshape(abs(height), width, 3)
    return (bgr if height < 0 else bgr[::-1])[:, :, ::-1].astype(numpy.int16)


def anchors(skin):
    """Points of the skin that no caption or message covers, across the
    window, and both sides of the sharp edges among them (the panel's top
    and bottom, the body's sides), which pin the place to the pixel."""
    points = [(x, y) for y in (150, 340, 360) for x in range(5, 340, 48)]
    for x in (20, 100, 200, 300):
        for y in list(range(95, 110)) + list(range(350, 362)):
            if numpy.abs(skin[y, x] - skin[y + 1, x]).sum() > 150:
                points += [(x, y), (x, y + 1)]
    for x in list(range(0, 12)) + list(range(330, skin.shape[1] - 1)):
        if numpy.abs(skin[150, x] - skin[150, x + 1]).sum() > 150:
            points += [(x, 150), (x + 1, 150)]
    return points


def shows_at(picture, under, skin, place, alpha):
    """Whether nine in ten of the skin's anchors show at that place."""
    x0, y0 = place
    height, width, _ = picture.shape
    points = anchors(skin)
    if not (0 <= x0 <= width - skin.shape[1] and 0 <= y0 <= height - skin.shape[0]):
        return False
    hits = 0
    for x, y in points:
        below = under[y0 + y, x0 + x] if alpha < 1 else 0
        hits += bool((numpy.abs(picture[y0 + y, x0 + x] - (alpha * skin[y, x] + (1 - alpha) * below)) <= 4).all())
    return hits >= 0.9 * len(points)


def locate(picture, under, skin, hints):
    """Where the skin shows, fully opaque or at 40 % over the kept picture
    `under` (the screen without it): (x, y) of the window, or None. The
    places in hints are tried first."""
    height, width, _ = picture.shape
    span_y, span_x = skin.shape[0], skin.shape[1]
    for alpha in (1.0, 0.4):
        if alpha < 1 and under is None:
            break
        for place in hints:
            if shows_at(picture, under, skin, place, alpha):
                return place
        # Nine in ten points must match: what was under the window when
        # `under` was taken may have changed a little since (another
        # window's title bar turning inactive).
        points = anchors(skin)
        matches = numpy.zeros((height - span_y + 1, width - span_x + 1), numpy.int16)
        for x, y in points:
            seen = picture[y:y + matches.shape[0], x:x + matches.shape[1]]
            below = under[y:y + matches.shape[0], x:x + matches.shape[1]] if alpha < 1 else 0
            expected = alpha * skin[y, x] + (1 - alpha) * below
            matches += (numpy.abs(seen - expected) <= 4).all(axis=2)
        best = numpy.unravel_index(numpy.argmax(matches), matches.shape)
        if matches[best] >= 0.9 * len(points):
            return int(best[1]), int(best[0])
    return None


def main():
    kind, skin, size = sys.argv[1], sys.argv[2], sys.argv[3]
    width, height = map(int, size.split("x"))
    from dbus.mainloop.glib import DBusGMainLoop
    DBusGMainLoop(set_as_default=True)  # for the screen cast's signal
    bus = dbus.SessionBus()
    device = (Mutter if kind == "mutter" else Kwin)(bus, width, height)
    # The first key of a new device can be lost while its keymap travels
    # (through XWayland): a Shift, which types nothing, goes first.
    device.key("shift", True)
    device.key("shift", False)
    time.sleep(0.2)
    skin = read_skin(skin)
    picture, kept, last_place = None, {}, None
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        command, args = words[0], words[1:]
        reply = "ok"
        try:
            if command == "move":
                device.move(int(args[0]), int(args[1]))
            elif command == "moveby":
                device.move(device.pos[0] + int(args[0]), device.pos[1] + int(args[1]))
            elif command in ("down", "up"):
                device.button(command == "down")
            elif command == "click":
                device.button(True)
                device.button(False)
            elif command in ("key", "type"):
                names = args if command == "key" else [CHARS.get(c, c) for c in line.split(None, 1)[1].rstrip("\n")]
                for name in names:
                    parts = name.split("+")
                    for part in parts:
                        device.key(part, True)
                    for part in reversed(parts):
                        device.key(part, False)
                    time.sleep(0.03)
            elif command in ("maximise", "fullscreen"):
                device.ask(command)
            elif command == "shot":
                raw = device.shot()
                picture = numpy.frombuffer(raw, numpy.uint8).reshape(height, width, 3).astype(numpy.int16)
                if args:
                    subprocess.run(["convert", "-size", size, "-depth", "8", "rgb:-", args[0]],
                                   input=raw, check=True)
            elif command == "keep":
                kept[args[0]] = picture
            elif command == "pixel":
                reply = "#%02X%02X%02X" % tuple(picture[int(args[1]), int(args[0])])
            elif command == "differ":  # pixels of a rectangle unlike the kept picture's
                x0, y0, x1, y1 = (max(int(v), 0) for v in args[1:5])
                changed = (picture[y0:y1, x0:x1] != kept[args[0]][y0:y1, x0:x1]).any(axis=2)
                reply = str(int(changed.sum()))
            elif command == "blend":  # the opacity, in per cent, that a colour over the kept picture shows
                x, y = int(args[1]), int(args[2])
                colour = numpy.frombuffer(bytes.fromhex(args[3]), numpy.uint8).astype(int)
                under, seen = kept[args[0]][y, x], picture[y, x]
                ratios = [(s - u) / (c - u) for c, u, s in zip(colour, under, seen) if abs(c - u) >= 40]
                reply = str(round(100 * sum(ratios) / len(ratios))) if ratios else "error no contrast"
            elif command == "locate":
                hints = [tuple(map(int, args[i:i + 2])) for i in range(0, len(args) - 1, 2)]
                place = locate(picture, kept.get("bare"), skin, hints + ([last_place] if last_place else []))
                last_place = place or last_place
                reply = "%d %d" % place if place else "none"
            elif command == "bbox":
                hits = numpy.argwhere((picture == numpy.frombuffer(bytes.fromhex(args[0]), numpy.uint8)).all(axis=2))
                reply = "%d %d %d %d" % (hits[:, 1].min(), hits[:, 0].min(), hits[:, 1].max(),
                                         hits[:, 0].max()) if len(hits) else "none"
            else:
                reply = "error unknown command " + command
        except Exception as error:  # the test reads the reason
            reply = "error %s" % error
        print(reply, flush=True)


if __name__ == "__main__":
    main()
