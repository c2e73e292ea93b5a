#!/usr/bin/env python3
"""Random event storm against the running calculator on a live X server.

Starts a second window to take the focus away, starts the calculator (alone
or under a wrapper such as valgrind), then for the given time sends random
mouse moves, clicks, typed keys, focus changes and minimise/restore cycles
the way a user would (xdotool), copies the display with Ctrl+C now and then
and checks what the clipboard holds (xclip), and samples the resident
memory. At the end it checks the program is alive and answers, closes it
with its close mark and prints a summary.

Where the window's labels lie comes from the file the build writes next to
the program from its control table (target soak-window-labels).

Standard library only. Run it inside tests/x11/with-x.sh (DISPLAY set).
"""

import argparse
import json
import random
import re
import signal
import struct
import subprocess
import sys
import time
from collections import Counter
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
SKIN_BMP = REPO / "resources" / "skin.bmp"
LABELS_FILE = "soak-window-labels.json"  # next to the program

WINDOW_W, WINDOW_H = 353, 428
WINDOW_POS = (40, 40)          # where the calculator is put on the screen
OTHER_GEOMETRY = "300x200+600+450"  # the window that takes the focus away

CLOSE_MARGIN = 4  # pixels kept clear round the close mark, never clicked during the storm
# Window pixels (x0, y0, x1, y1), inclusive.
# The message panel lies at (14, 174) while shown; its arrow covers
# (277..311, 286..313).
PANEL_ARROW = (280, 289, 306, 311)
# Points of the shown panel away from its texts, the arrow and the bars:
# all navy while the panel is up.
PANEL_PROBES = [(24, 272), (150, 272), (250, 258), (320, 180), (320, 250)]
NAVY = (0x00, 0x00, 0x80)

# A display text: digits with at most one point, an optional exponent, an
# optional trailing point, a sign or a blank in front ("0.", "-12.5",
# " .25", "1E+15.", "1.5E-07").
DISPLAY_RE = re.compile(r"^[ -]?(\d+\.?\d*|\.\d+)(E[+-]\d{2,3}\.?)?$")

TYPED_KEYS = (
    [str(d) for d in range(10)] * 3
    + ["period"] * 3
    + ["plus", "minus", "asterisk", "slash", "equal"] * 2
    + ["KP_Add", "KP_Subtract", "KP_Multiply", "KP_Divide", "KP_Decimal", "KP_5"]
    + ["Return", "KP_Enter", "Delete", "Escape", "BackSpace", "space", "Tab", "comma"]
    + ["Return", "Delete", "Escape"]
    + list("acemrxzq")
    + ["E", "M", "shift+plus", "ctrl+Insert", "ctrl+c", "alt+5"]
)


def log(msg):
    print(msg, flush=True)


class Fault(Exception):
    pass


# --- static description of the window ---------------------------------------

def window_labels(path):
    """The window's labels from the file the build writes: the key labels as
    (name, rect) in the order of the control table, and every label's rect by
    name; rects in window pixels (x0, y0, x1, y1), inclusive."""
    try:
        table = json.loads(Path(path).read_text(encoding="utf-8"))
    except OSError as e:
        raise SystemExit(f"drive.py: cannot read {path} ({e.strerror}); "
                         "build the target soak-window-labels")

    def inclusive(label):
        x, y, w, h = label["rect"]
        return label["name"], (x, y, x + w - 1, y + h - 1)

    keys = [inclusive(label) for label in table["keyLabels"]]
    return keys, dict(keys + [inclusive(label) for label in table["otherLabels"]])


def skin_mask():
    """A test for window pixels that are holes: white in the skin or outside it."""
    data = SKIN_BMP.read_bytes()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    bpp = struct.unpack_from("<H", data, 28)[0]
    if bpp != 24:
        raise SystemExit(f"drive.py: {SKIN_BMP} is not a 24-bit picture")
    stride = (width * 3 + 3) & ~3
    bottom_up = height > 0
    height = abs(height)

    def white(x, y):
        if x >= width or y >= height:
            return True
        row = height - 1 - y if bottom_up else y
        p = offset + row * stride + x * 3
        return data[p:p + 3] == b"\xff\xff\xff"

    return white


def inside(rect, x, y, margin=0):
    x0, y0, x1, y1 = rect
    return x0 - margin <= x <= x1 + margin and y0 - margin <= y <= y1 + margin


class Targets:
    """Pixel lists the storm picks from."""

    def __init__(self, labels_path):
        self.keys, labels = window_labels(labels_path)
        self.close_mark = labels["LbCerrar"]
        self.min_mark = labels["LbMin"]
        self.about_spot = labels["LbTeskold"]
        self.memo_mark = labels["lblMemoFlag"]
        white = skin_mask()
        self.holes, self.body = [], []
        key_rects = [r for _, r in self.keys]
        for y in range(WINDOW_H):
            for x in range(WINDOW_W):
                if white(x, y):
                    self.holes.append((x, y))
                    continue
                if any(inside(r, x, y, 1) for r in key_rects):
                    continue
                if inside(self.close_mark, x, y, CLOSE_MARGIN) or inside(self.min_mark, x, y, 2):
                    continue
                if inside(self.about_spot, x, y, 2):
                    continue
                self.body.append((x, y))
        # Points of each key label that lie on the skin (a click there lands).
        self.key_points = []
        for caption, r in self.keys:
            pts = [(x, y) for y in range(r[1] + 1, r[3]) for x in range(r[0] + 1, r[2])
                   if not white(x, y)]
            if pts:
                self.key_points.append((caption, pts))


# --- X helpers ---------------------------------------------------------------

class X:
    def __init__(self, slow, events_log):
        self.slow = slow
        self.events_log = events_log

    def run(self, args, timeout=10.0, check=False, capture=True):
        try:
            r = subprocess.run(args, capture_output=capture, text=True, timeout=timeout * self.slow)
        except subprocess.TimeoutExpired:
            raise Fault(f"timed out after {timeout * self.slow:.0f} s: {' '.join(args)}")
        if check and r.returncode != 0:
            raise Fault(f"failed ({r.returncode}): {' '.join(args)}: {r.stderr.strip()}")
        return r

    def xdotool(self, *args, timeout=10.0):
        return self.run(["xdotool", *args], timeout=timeout)

    def note(self, text):
        self.events_log.write(f"{time.monotonic():.3f} {text}\n")


def map_state(x, wid):
    r = x.run(["xwininfo", "-id", str(wid)], timeout=10)
    m = re.search(r"Map State:\s*(\w+)", r.stdout)
    return m.group(1) if m else "gone"


def window_origin(x, wid):
    r = x.xdotool("getwindowgeometry", "--shell", str(wid))
    vals = dict(line.split("=", 1) for line in r.stdout.split() if "=" in line)
    return int(vals["X"]), int(vals["Y"])


def grab_window(x, wid):
    """The window's pixels as (width, height, getter) or None."""
    r = subprocess.run(["xwd", "-id", str(wid), "-silent"], capture_output=True,
                       timeout=20 * x.slow)
    data = r.stdout
    if r.returncode != 0 or len(data) < 100:
        return None
    f = struct.unpack_from(">25I", data, 0)
    header_size, fmt, depth, width, height = f[0], f[2], f[3], f[4], f[5]
    byte_order, bpp, bpl = f[7], f[11], f[12]
    masks, ncolors = f[14:17], f[19]
    if fmt != 2 or bpp != 32:
        return None
    base = header_size + ncolors * 12
    endian = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in masks]

    def pixel(px, py):
        v = struct.unpack_from(endian + "I", data, base + py * bpl + px * 4)[0]
        return tuple((v & m) >> s for m, s in zip(masks, shifts))

    return width, height, pixel


# --- the run -------------------------------------------------------------------

class Storm:
    def __init__(self, opts):
        self.o = opts
        self.rng = random.Random(opts.seed)
        self.log_dir = Path(opts.log_dir)
        self.events_log = open(self.log_dir / "events.log", "w", buffering=1)
        self.x = X(opts.slow, self.events_log)
        self.t = Targets(opts.labels)
        self.counts = Counter()
        self.timing = Counter()  # seconds spent per kind of event
        self.faults = []
        self.rss = []            # (seconds since start, kB)
        self.copies = Counter()
        self.bad_copies = []
        self.app = None
        self.other = None
        self.wid = None
        self.origin = WINDOW_POS
        self.panel_up = False
        self.panel_seen = 0
        self.panel_samples = 0
        self.clip_owner = None

    # -- processes

    def start(self):
        self.other = subprocess.Popen(["xev", "-geometry", OTHER_GEOMETRY, "-name", "soak-other"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.other_wid = self.wait_window(["--name", "^soak-other$"], 20)
        cmd = list(self.o.wrapper) + [self.o.app]
        self.app_err = open(self.log_dir / "app.stderr", "w")
        self.app = subprocess.Popen(cmd, stdout=self.app_err, stderr=subprocess.STDOUT)
        log(f"started: {' '.join(cmd)} (pid {self.app.pid})")
        self.wid = self.wait_window(["--pid", str(self.app.pid), "--name", "^Quintora$"],
                                    self.o.map_timeout)
        self.x.xdotool("windowmove", "--sync", str(self.wid), *map(str, WINDOW_POS), timeout=30)
        self.origin = window_origin(self.x, self.wid)
        self.activate(self.wid)

    def wait_window(self, search, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if "--pid" in search and self.app.poll() is not None:
                raise Fault(f"the program ended before its window showed (status {self.app.returncode})")
            r = subprocess.run(["xdotool", "search", "--onlyvisible", *search],
                               capture_output=True, text=True, timeout=30)
            wids = r.stdout.split()
            if wids:
                return int(wids[0])
            time.sleep(0.2)
        raise Fault(f"no window for {' '.join(search)} within {timeout} s")

    def stop(self):
        if self.clip_owner and self.clip_owner.poll() is None:
            self.clip_owner.kill()
            self.clip_owner.wait()
        for p in (self.app, self.other):
            if p and p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(timeout=60 * self.o.slow)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def alive(self):
        return self.app.poll() is None

    # -- helpers

    def abs_point(self, p):
        return self.origin[0] + p[0], self.origin[1] + p[1]

    def move(self, p):
        ax, ay = self.abs_point(p)
        self.x.xdotool("mousemove", str(ax), str(ay))

    def click(self, p):
        ax, ay = self.abs_point(p)
        self.x.xdotool("mousemove", str(ax), str(ay), "click", "--delay", "1", "1")

    def activate(self, wid):
        try:
            self.x.xdotool("windowactivate", "--sync", str(wid), timeout=30)
        except Fault:
            # A message box of the program keeps its window from being
            # activated: close it and try once more.
            if wid != self.wid or not self.dialogs():
                raise
            self.dismiss_dialogs()
            self.x.xdotool("windowactivate", "--sync", str(wid), timeout=30)

    def rand_in(self, rect):
        return self.rng.randint(rect[0], rect[2]), self.rng.randint(rect[1], rect[3])

    def dialogs(self):
        r = self.x.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.app.pid),
                        "--name", "^Quintora$"], timeout=20)
        return [int(w) for w in r.stdout.split() if int(w) != self.wid]

    def dismiss_dialogs(self):
        """A message box blocks the window: close it with Enter."""
        for _ in range(5):
            boxes = self.dialogs()
            if not boxes:
                return
            self.counts["message boxes closed"] += 1
            self.x.note(f"message box {boxes[0]} -> Return")
            try:
                self.activate(boxes[0])
            except Fault:
                pass
            self.x.xdotool("key", "Return")
            time.sleep(0.3 * self.o.slow)

    def sample_panel(self):
        grab = grab_window(self.x, self.wid)
        if grab is None:
            return
        width, height, pixel = grab
        if width < WINDOW_W or height < WINDOW_H:
            return
        navy = sum(1 for p in PANEL_PROBES if pixel(*p) == NAVY)
        self.panel_up = navy >= 3
        self.panel_samples += 1
        self.panel_seen += self.panel_up

    def sample_rss(self, t0):
        try:
            status = Path(f"/proc/{self.app.pid}/status").read_text()
        except OSError:
            return
        m = re.search(r"VmRSS:\s*(\d+)\s*kB", status)
        if m:
            self.rss.append((time.monotonic() - t0, int(m.group(1))))
            self.x.note(f"rss {m.group(1)} kB")

    def copy_check(self, final=False):
        """Ctrl+C on the calculator; the clipboard must then hold a display text.
        A sentinel put on the clipboard first proves the program answered."""
        self.dismiss_dialogs()
        self.activate(self.wid)
        sentinel = f"soak-sentinel-{self.rng.random()}"
        if self.clip_owner and self.clip_owner.poll() is None:
            self.clip_owner.kill()
            self.clip_owner.wait()
        self.clip_owner = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                                           stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL, text=True)
        self.clip_owner.stdin.write(sentinel)
        self.clip_owner.stdin.close()
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:  # until xclip owns the clipboard
            r = self.x.run(["xclip", "-o", "-selection", "clipboard"], timeout=10)
            if r.stdout == sentinel:
                break
            time.sleep(0.02)
        self.x.xdotool("key", "--clearmodifiers", "ctrl+c")
        self.x.note("copy check: ctrl+c")
        deadline = time.monotonic() + 5 * self.o.slow
        got = sentinel
        while time.monotonic() < deadline:
            r = self.x.run(["xclip", "-o", "-selection", "clipboard"], timeout=30)
            if r.returncode == 0 and r.stdout != sentinel:
                got = r.stdout
                break
            time.sleep(0.05)
        self.copies["checks"] += 1
        if got == sentinel:
            self.copies["no answer"] += 1
            if self.dialogs():
                self.copies["no answer (message box up)"] += 1
                self.dismiss_dialogs()
                return None
            msg = f"Ctrl+C did not reach the clipboard within {5 * self.o.slow:.0f} s"
            self.x.note("copy check: " + msg)
            if final:
                raise Fault(msg)
            self.bad_copies.append(("<no answer>", time.monotonic() - self.t0))
            return None
        self.x.note(f"copy check: {got!r}")
        low = got.lower()
        if DISPLAY_RE.match(got) and "inf" not in low and "nan" not in low and len(got) <= 24:
            self.copies["plausible"] += 1
        else:
            self.copies["implausible"] += 1
            self.bad_copies.append((got, time.monotonic() - self.t0))
        return got

    # -- the storm's events

    def ev_move(self):
        kind = self.rng.choices(["key", "body", "mark", "hole", "arrow", "about"],
                                [30, 25, 8, 15, 7, 5])[0]
        if kind == "key":
            p = self.rng.choice(self.rng.choice(self.t.key_points)[1])
        elif kind == "body":
            p = self.rng.choice(self.t.body)
        elif kind == "mark":
            p = self.rand_in(self.rng.choice([self.t.min_mark, self.t.close_mark, self.t.memo_mark]))
        elif kind == "hole":
            p = self.rng.choice(self.t.holes)
        elif kind == "arrow":
            p = self.rand_in(PANEL_ARROW)
        else:
            p = self.rand_in(self.t.about_spot)
        self.move(p)
        self.counts[f"move:{kind}"] += 1
        self.x.note(f"move {kind} {p}")

    def ev_click_key(self):
        caption, pts = self.rng.choice(self.t.key_points)
        p = self.rng.choice(pts)
        self.click(p)
        self.counts["click:key"] += 1
        self.x.note(f"click key {caption} {p}")

    def ev_click_body(self):
        p = self.rng.choice(self.t.body)
        assert not inside(self.t.close_mark, *p, CLOSE_MARGIN)
        self.click(p)
        self.counts["click:body"] += 1
        self.x.note(f"click body {p}")

    def ev_click_arrow(self):
        if not self.panel_up:
            p = self.rand_in(PANEL_ARROW)
            self.move(p)
            self.counts["move:arrow"] += 1
            self.x.note(f"move arrow {p} (panel down)")
            return
        p = self.rand_in(PANEL_ARROW)
        self.click(p)
        self.panel_up = False
        self.counts["click:arrow"] += 1
        self.x.note(f"click arrow {p}")

    def ev_click_about(self):
        p = self.rand_in(self.t.about_spot)
        self.click(p)
        self.panel_up = True
        self.counts["click:about"] += 1
        self.x.note(f"click about {p}")

    def ev_click_memo_mark(self):
        p = self.rand_in(self.t.memo_mark)
        self.click(p)
        self.counts["click:memory mark"] += 1
        self.x.note(f"click memory mark {p}")

    def ev_minimise(self):
        self.dismiss_dialogs()
        p = self.rand_in(self.t.min_mark)
        self.move(p)
        self.click(p)
        self.x.note(f"click minimise {p}")
        self.counts["click:minimise"] += 1
        deadline = time.monotonic() + 3 * self.o.slow
        while time.monotonic() < deadline and map_state(self.x, self.wid) == "IsViewable":
            time.sleep(0.05)
        minimised = map_state(self.x, self.wid) != "IsViewable"
        if minimised:
            self.counts["minimised"] += 1
        time.sleep(self.rng.uniform(0.05, 0.5))
        self.x.xdotool("windowmap", str(self.wid))
        self.activate(self.wid)
        deadline = time.monotonic() + 10 * self.o.slow
        while map_state(self.x, self.wid) != "IsViewable":
            if time.monotonic() > deadline:
                raise Fault("the window did not come back after minimise + windowmap/windowactivate")
            time.sleep(0.05)
        self.counts["restored"] += 1
        self.origin = window_origin(self.x, self.wid)
        self.x.note(f"restored at {self.origin}")

    def ev_type(self):
        k = self.rng.choice(TYPED_KEYS)
        self.x.xdotool("key", "--delay", "1", "--clearmodifiers", k)
        self.counts["key:" + ("digit" if k.isdigit() else k)] += 1
        self.counts["key (all)"] += 1
        self.x.note(f"key {k}")

    def ev_focus(self):
        self.activate(self.other_wid)
        self.counts["focus:away"] += 1
        self.x.note("focus -> other")
        time.sleep(self.rng.uniform(0.05, 0.4))  # let the timer see it (150 ms)
        for _ in range(self.rng.randint(0, 3)):
            self.ev_move()
            time.sleep(self.rng.uniform(0.0, 0.2))
        if self.rng.random() < 0.3:  # a key typed into the other window
            self.x.xdotool("key", self.rng.choice(["5", "plus", "Return"]))
            self.counts["key:into other window"] += 1
        self.activate(self.wid)
        self.counts["focus:back"] += 1
        self.x.note("focus -> calculator")

    # -- main loop

    def run(self):
        o = self.o
        log(f"seed {o.seed}, {o.seconds} s, delay {o.delay} s between events")
        self.t0 = time.monotonic()
        self.start()
        t0 = self.t0 = time.monotonic()  # the run's clock starts once the window is up
        self.sample_rss(t0)
        self.copy_check()
        events = [
            (self.ev_move, 40), (self.ev_click_key, 22), (self.ev_type, 26),
            (self.ev_click_body, 3), (self.ev_click_arrow, 4), (self.ev_click_about, 0.6),
            (self.ev_click_memo_mark, 0.5), (self.ev_focus, 1.5), (self.ev_minimise, 0.35),
        ]
        funcs, weights = zip(*events)
        next_rss = t0 + o.rss_every
        next_copy = t0 + o.copy_every
        next_panel = t0 + o.panel_every
        next_dialog = t0 + o.panel_every
        end = t0 + o.seconds
        sent = 0
        while True:
            now = time.monotonic()
            if now >= end:
                break
            if not self.alive():
                raise Fault(f"the program ended during the storm (status {self.app.returncode}) "
                            f"after {now - t0:.1f} s; last events in {self.log_dir}/events.log")
            if now >= next_rss:
                self.sample_rss(t0)
                next_rss += o.rss_every
            if now >= next_dialog:
                self.dismiss_dialogs()
                next_dialog = now + o.panel_every
            if now >= next_panel:
                self.sample_panel()
                next_panel = now + o.panel_every
            if now >= next_copy:
                self.copy_check()
                next_copy = time.monotonic() + o.copy_every
            func = self.rng.choices(funcs, weights)[0]
            began = time.monotonic()
            func()
            self.timing[func.__name__] += time.monotonic() - began
            sent += 1
            if o.delay:
                time.sleep(o.delay)
        self.duration = time.monotonic() - t0
        # The end: alive, answers, memory.
        self.sample_rss(t0)
        if not self.alive():
            raise Fault(f"the program ended (status {self.app.returncode})")
        final = self.copy_check(final=True)
        self.final_copy = final
        return sent

    def close(self):
        """Ends the program with its close mark (a clean exit, which a
        leak check needs); SIGTERM if that does not work."""
        if not self.alive():
            return self.app.returncode
        self.dismiss_dialogs()
        self.activate(self.wid)
        self.origin = window_origin(self.x, self.wid)
        mark = self.t.close_mark
        p = ((mark[0] + mark[2]) // 2, (mark[1] + mark[3]) // 2)
        self.move(p)
        self.click(p)
        self.x.note("click close mark (end of run)")
        try:
            return self.app.wait(timeout=self.o.exit_timeout)
        except subprocess.TimeoutExpired:
            self.faults.append(f"the close mark did not end the program within {self.o.exit_timeout} s")
            self.app.send_signal(signal.SIGTERM)
            try:
                return self.app.wait(timeout=60)
            except subprocess.TimeoutExpired:
                self.app.kill()
                return self.app.wait()


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--app", required=True)
    ap.add_argument("--labels", help=f"the window's labels (default: {LABELS_FILE} beside --app)")
    ap.add_argument("--seconds", type=float, default=150)
    ap.add_argument("--seed", type=int, default=6)
    ap.add_argument("--delay", type=float, default=0.01, help="pause between events (s)")
    ap.add_argument("--slow", type=float, default=1.0, help="factor on every timeout")
    ap.add_argument("--map-timeout", type=float, default=30)
    ap.add_argument("--exit-timeout", type=float, default=20)
    ap.add_argument("--rss-every", type=float, default=5)
    ap.add_argument("--copy-every", type=float, default=3)
    ap.add_argument("--panel-every", type=float, default=1)
    ap.add_argument("--rss-limit-kib", type=int, default=1024,
                    help="allowed growth from the 1-minute sample to the last; 0 = no check")
    ap.add_argument("--log-dir", required=True)
    ap.add_argument("--summary", help="write the figures as JSON here")
    ap.add_argument("wrapper", nargs="*", help="command to run the program under (after --)")
    o = ap.parse_args()
    o.labels = o.labels or str(Path(o.app).with_name(LABELS_FILE))

    def on_term(signum, _frame):
        raise SystemExit(f"stopped by signal {signum}")

    signal.signal(signal.SIGTERM, on_term)  # still stop what was started
    storm = Storm(o)
    result = {"seed": o.seed, "faults": []}
    sent = 0
    status = None
    try:
        sent = storm.run()
    except Fault as e:
        storm.faults.append(str(e))
    except Exception as e:  # a driver error still stops what it started
        storm.faults.append(f"driver error: {e!r}")
    finally:
        try:
            if storm.app and storm.alive() and storm.wid:
                status = storm.close()
            elif storm.app:
                status = storm.app.poll()
        except Exception as e:
            storm.faults.append(f"closing: {e!r}")
        storm.stop()

    c = storm.counts
    moves = sum(v for k, v in c.items() if k.startswith("move:"))
    clicks = sum(v for k, v in c.items() if k.startswith("click:"))
    keys = c["key (all)"]
    focus = c["focus:away"]
    minimise = c["click:minimise"]
    total = moves + clicks + keys + focus + storm.copies["checks"]
    duration = getattr(storm, "duration", 0.0)
    rss = storm.rss
    rss_start = rss[0][1] if rss else None
    rss_min1 = None
    for t, kb in rss:
        if t <= 60.0 + o.rss_every / 2:
            rss_min1 = (t, kb)
    rss_end = rss[-1] if rss else None

    log("---- soak summary ----")
    log(f"seed:            {o.seed}")
    log(f"duration:        {duration:.1f} s of storm")
    log(f"events sent:     {total} ({total / duration if duration else 0:.1f}/s)")
    log(f"  mouse moves:   {moves}  " + ", ".join(
        f"{k[5:]} {v}" for k, v in sorted(c.items()) if k.startswith("move:")))
    log(f"  clicks:        {clicks}  " + ", ".join(
        f"{k[6:]} {v}" for k, v in sorted(c.items()) if k.startswith("click:")))
    log(f"  typed keys:    {keys}  " + ", ".join(
        f"{k[4:]} {v}" for k, v in sorted(c.items()) if k.startswith("key:") and k != "key (all)"))
    log(f"  focus changes: {focus} away and back")
    log(f"  minimise:      {minimise} clicks, {c['minimised']} minimised, {c['restored']} restored")
    log(f"  copy checks:   {storm.copies['checks']} ({storm.copies['plausible']} plausible, "
        f"{storm.copies['implausible']} implausible, {storm.copies['no answer']} unanswered)")
    log(f"  message boxes: {c['message boxes closed']} closed; panel up in "
        f"{storm.panel_seen} of {storm.panel_samples} samples")
    if rss and not o.rss_limit_kib:
        log(f"RSS (unchecked): start {rss_start} kB, end {rss_end[1]} kB "
            f"(of the process as started, wrapper included)")
    elif rss:
        log(f"RSS:             start {rss_start} kB, after 1 min "
            f"{rss_min1[1] if rss_min1 else '-'} kB (t={rss_min1[0]:.0f} s), end {rss_end[1]} kB "
            f"(t={rss_end[0]:.0f} s); {len(rss)} samples; max {max(k for _, k in rss)} kB"
            if rss_min1 else f"RSS: {[k for _, k in rss]}")
    if storm.bad_copies:
        for text, t in storm.bad_copies[:10]:
            storm.faults.append(f"implausible clipboard text {text!r} at t={t:.1f} s")
    if o.rss_limit_kib and rss_min1 and rss_end:
        growth = rss_end[1] - rss_min1[1]
        log(f"RSS growth:      {growth:+d} KiB from t={rss_min1[0]:.0f} s to t={rss_end[0]:.0f} s "
            f"(limit {o.rss_limit_kib} KiB)")
        if growth >= o.rss_limit_kib:
            storm.faults.append(f"resident memory grew by {growth} KiB after the first minute")
    elif o.rss_limit_kib:
        storm.faults.append("not enough memory samples for the growth check (run shorter than 1 min?)")
    log(f"final copy:      {getattr(storm, 'final_copy', None)!r}")
    log(f"exit status:     {status}")
    for f in storm.faults:
        log(f"FAULT: {f}")
    log(f"logs:            {o.log_dir}")
    result.update(seconds_per_kind=dict(storm.timing), duration=duration, events=total, counts=dict(c), copies=dict(storm.copies),
                  rss=rss, exit_status=status, faults=storm.faults)
    if o.summary:
        Path(o.summary).write_text(json.dumps(result, indent=1))
    log("result:          " + ("PASS" if not storm.faults else "FAIL"))
    return 0 if not storm.faults else 1


if __name__ == "__main__":
    sys.exit(main())
