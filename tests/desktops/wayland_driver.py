"""Real input and screenshots in a Wayland session, as a user's devices and
screen would give them: pointer and keys through mutter's RemoteDesktop
interface or KWin's fake input, pictures of the screen through mutter's
ScreenCast (PipeWire) or KWin's ScreenShot2.

Reads one command a line on standard input and answers each with one line:
  move X Y | moveby DX DY | down | up | click | key NAME... | type TEXT
  shot [PNG]           takes a picture of the screen (and saves it)
  keep NAME            keeps the last picture under a name
  pixel X Y            #RRGGBB of the last picture
  differ NAME X0 Y0 X1 Y1   how many pixels of the rectangle differ from NAME's
  blend NAME X Y RRGGBB     the opacity (%) at which that colour shows over NAME
  locate               "X Y" of the skin in the last picture, or "none"
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


def skin_row(path, y):
    """Row y of the skin picture (an uncompressed 24-bit BMP) as RGB bytes."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height = struct.unpack("<ii", data[18:26])
    stride = (width * 3 + 3) & ~3
    row = y if height < 0 else height - 1 - y
    bgr = data[offset + row * stride:offset + row * stride + width * 3]
    rgb = bytearray(len(bgr))
    rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
    return bytes(rgb)


LOCATOR_ROW = 150  # a row of the body, edge to edge, with no label over it


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
    needle = skin_row(skin, LOCATOR_ROW)
    picture, kept = b"", {}
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
            elif command == "shot":
                picture = device.shot()
                if args:
                    subprocess.run(["convert", "-size", size, "-depth", "8", "rgb:-", args[0]],
                                   input=picture, check=True)
            elif command == "keep":
                kept[args[0]] = picture
            elif command == "pixel":
                i = (int(args[1]) * width + int(args[0])) * 3
                reply = "#%02X%02X%02X" % tuple(picture[i:i + 3])
            elif command == "differ":  # pixels of a rectangle unlike the kept picture's
                old, (x0, y0, x1, y1) = kept[args[0]], map(int, args[1:5])
                x0, y0, x1, y1 = max(x0, 0), max(y0, 0), min(x1, width), min(y1, height)
                count = 0
                for y in range(y0, y1):
                    a, b = (y * width + x0) * 3, (y * width + x1) * 3
                    count += sum(picture[i:i + 3] != old[i:i + 3] for i in range(a, b, 3))
                reply = str(count)
            elif command == "blend":  # the opacity, in per cent, that a colour over the kept picture shows
                i = (int(args[2]) * width + int(args[1])) * 3
                colour, under, seen = bytes.fromhex(args[3]), kept[args[0]][i:i + 3], picture[i:i + 3]
                ratios = [(s - u) / (c - u) for c, u, s in zip(colour, under, seen) if abs(c - u) >= 40]
                reply = str(round(100 * sum(ratios) / len(ratios))) if ratios else "error no contrast"
            elif command == "locate":
                reply = "none"
                start = picture.find(needle)
                while start >= 0:
                    x, y = (start // 3) % width, start // 3 // width
                    if start % 3 == 0 and x + len(needle) // 3 <= width:
                        reply = "%d %d" % (x, y - LOCATOR_ROW)
                        break
                    start = picture.find(needle, start + 1)
            elif command == "bbox":
                colour = bytes.fromhex(args[0])
                xs, ys = [], []
                for y in range(height):
                    row = picture[y * width * 3:(y + 1) * width * 3]
                    first, last = row.find(colour), row.rfind(colour)
                    while first >= 0 and first % 3:
                        first = row.find(colour, first + 1)
                    while last >= 0 and last % 3:
                        last = row.rfind(colour, 0, last + 2)
                    if first >= 0:
                        xs += [first // 3, last // 3]
                        ys.append(y)
                reply = "%d %d %d %d" % (min(xs), min(ys), max(xs), max(ys)) if ys else "none"
            else:
                reply = "error unknown command " + command
        except Exception as error:  # the test reads the reason
            reply = "error %s" % error
        print(reply, flush=True)


if __name__ == "__main__":
    main()
