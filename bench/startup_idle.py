#!/usr/bin/env python3
"""Start-up, memory and idle cost of Quintora against an empty Qt window.

Two sub-commands; bench/run.sh drives both:

  startup_idle.py measure --build DIR --wm NAME --out FILE [--runs N] [--idle S]
      Run inside a private X server (tests/x11/with-x.sh). Starts quintora,
      bench_empty_window and bench_empty_window --timer 150, interleaved,
      each through bench_xprobe, and appends one JSON line per start.

  startup_idle.py report FILE...
      Prints medians with their spread (min..max), the ratios Quintora /
      empty window (paired per run: the two started back to back) and the
      targets.

Per start: time from exec to the window's map and to stable pixels (the
window grabbed every 5 ms until it has not changed for 400 ms), resident
memory, and CPU time and voluntary context switches (wake-ups) of all the
program's threads over an idle period while its window is the active one
and while another window is, scaled to 10 seconds. Before the first period
the program's window is activated and the pointer moved onto its body, before
the second another window is activated and the pointer moved onto it.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import time

PROGRAMS = [
    ("quintora", ["quintora"]),
    ("empty", ["bench_empty_window"]),
    ("empty+timer", ["bench_empty_window", "--timer", "150"]),
]


def task_counters(pid):
    """CPU nanoseconds and voluntary context switches, all threads summed."""
    cpu_ns = 0
    switches = 0
    task_dir = f"/proc/{pid}/task"
    for tid in os.listdir(task_dir):
        try:
            with open(f"{task_dir}/{tid}/schedstat") as f:
                cpu_ns += int(f.read().split()[0])
            with open(f"{task_dir}/{tid}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        switches += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended meanwhile
    return cpu_ns, switches


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


class Probe:
    def __init__(self, probe, command):
        self.proc = subprocess.Popen([probe, "--", *command], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline().strip()
        if not line.startswith("launched "):
            self.proc.kill()
            raise RuntimeError(f"bench_xprobe failed for {command[0]}: {line!r}")
        self.fields = dict(item.split("=", 1) for item in line.split()[1:])
        self.pid = int(self.fields["pid"])

    def command(self, text):
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline().strip()
        if answer != "ok":
            print(f"warning: '{text}' answered {answer!r}", file=sys.stderr)

    def quit(self):
        self.proc.stdin.write("quit\n")
        self.proc.stdin.flush()
        self.proc.wait(timeout=20)


def idle_cost(pid, seconds):
    cpu0, sw0 = task_counters(pid)
    time.sleep(seconds)
    cpu1, sw1 = task_counters(pid)
    scale = 10.0 / seconds
    return (cpu1 - cpu0) / 1e6 * scale, (sw1 - sw0) * scale


def measure_once(args, command):
    probe = Probe(os.path.join(args.build, "bin", "bench_xprobe"), command)
    try:
        result = {
            "map_ms": float(probe.fields["map_ms"]),
            "stable_ms": float(probe.fields["stable_ms"]),
        }
        # As a user brings it back: activates it and moves the pointer onto
        # its body (the calculator's timer restarts on such a move).
        probe.command("activate app")
        probe.command("pointer app 20 150")
        time.sleep(args.settle)
        result["rss_mib"] = rss_kib(probe.pid) / 1024.0
        result["active_cpu_ms"], result["active_wakeups"] = idle_cost(probe.pid, args.idle)
        probe.command("activate other")
        probe.command("pointer other 60 60")
        time.sleep(args.settle)
        result["inactive_cpu_ms"], result["inactive_wakeups"] = idle_cost(probe.pid, args.idle)
        result["rss_end_mib"] = rss_kib(probe.pid) / 1024.0
    finally:
        probe.quit()
    return result


def measure(args):
    bindir = os.path.join(args.build, "bin")
    commands = {name: [os.path.join(bindir, argv[0]), *argv[1:]] for name, argv in PROGRAMS}
    for name, command in commands.items():
        if not os.access(command[0], os.X_OK):
            sys.exit(f"missing {command[0]}: build first (./test.sh or cmake --build)")
    # One start of each first, not recorded: caches warm, files in memory.
    for name, command in commands.items():
        measure_once(argparse.Namespace(**{**vars(args), "idle": 0.2, "settle": 0.1}), command)
    with open(args.out, "a") as out:
        for run in range(args.runs):
            # Interleaved, and the order turned each run, so that no program
            # always comes first after another.
            names = [name for name, _ in PROGRAMS]
            names = names[run % len(names):] + names[:run % len(names)]
            for name in names:
                result = measure_once(args, commands[name])
                result.update(wm=args.wm, program=name, run=run)
                out.write(json.dumps(result) + "\n")
                out.flush()
                print(f"  {args.wm:8} run {run + 1}/{args.runs} {name:12} map {result['map_ms']:6.1f} ms"
                      f"  stable {result['stable_ms']:6.1f} ms  rss {result['rss_mib']:5.1f} MiB"
                      f"  active {result['active_cpu_ms']:5.1f} ms/{result['active_wakeups']:4.0f} wakeups"
                      f"  inactive {result['inactive_cpu_ms']:5.1f} ms/{result['inactive_wakeups']:4.0f}",
                      file=sys.stderr)


def spread(values, fmt):
    values = sorted(values)
    return f"{fmt.format(statistics.median(values))} ({fmt.format(values[0])}..{fmt.format(values[-1])})"


COLUMNS = [
    ("map_ms", "map ms", "{:.1f}"),
    ("stable_ms", "stable ms", "{:.1f}"),
    ("rss_mib", "RSS MiB", "{:.1f}"),
    ("active_cpu_ms", "active CPU ms/10s", "{:.1f}"),
    ("active_wakeups", "active wake/10s", "{:.0f}"),
    ("inactive_cpu_ms", "inactive CPU ms/10s", "{:.2f}"),
    ("inactive_wakeups", "inactive wake/10s", "{:.0f}"),
]


def report(args):
    rows = []
    for path in args.files:
        with open(path) as f:
            rows += [json.loads(line) for line in f if line.strip()]
    if not rows:
        sys.exit("no results")
    all_ok = True
    for wm in sorted({r["wm"] for r in rows}, key=lambda w: (w != "openbox", w)):
        data = [r for r in rows if r["wm"] == wm]
        runs = max(r["run"] for r in data) + 1
        print(f"\n== {wm}: {runs} runs each, median (min..max), idle figures per 10 s ==")
        header = f"{'program':12}" + "".join(f" | {title:>22}" for _, title, _ in COLUMNS)
        print(header)
        print("-" * len(header))
        by = {}
        for name, _ in PROGRAMS:
            by[name] = {r["run"]: r for r in data if r["program"] == name}
            if not by[name]:
                continue
            cells = "".join(f" | {spread([r[key] for r in by[name].values()], fmt):>22}"
                            for key, _, fmt in COLUMNS)
            print(f"{name:12}{cells}")

        def ratios(key, name, base):
            paired = [by[name][i][key] / by[base][i][key]
                      for i in by[name] if i in by[base] and by[base][i][key] > 0]
            return paired

        print("\nratios Quintora / yardstick, paired per run: median (min..max) and target")
        checks = [
            ("time to map", "map_ms", "empty", None),
            ("time to stable pixels (first frame)", "stable_ms", "empty", 1.2),
            ("resident memory", "rss_mib", "empty", 1.15),
            ("active idle CPU vs. bare 150 ms timer", "active_cpu_ms", "empty+timer", 1.3),
            ("active wake-ups vs. bare 150 ms timer", "active_wakeups", "empty+timer", None),
        ]
        for title, key, base, target in checks:
            values = ratios(key, "quintora", base)
            if not values:
                continue
            text = spread(values, "{:.2f}x")
            verdict = ""
            if target is not None:
                ok = statistics.median(values) <= target
                all_ok &= ok
                verdict = f"target <= {target:.2f}x: {'met' if ok else 'MISSED'}"
            print(f"  {title:40} {text:28} {verdict}")
        inactive = list(by["quintora"].values())
        cpu = max(r["inactive_cpu_ms"] for r in inactive)
        wake = max(r["inactive_wakeups"] for r in inactive)
        ok = cpu == 0 and wake == 0
        all_ok &= ok
        print(f"  {'another window active (worst run)':40} {f'{cpu:.2f} ms CPU, {wake:.0f} wake-ups':28} "
              f"target 0 and 0: {'met' if ok else 'MISSED'}")
    print(f"\nall targets {'met' if all_ok else 'NOT met'}")
    return 0 if all_ok else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    m = sub.add_parser("measure")
    m.add_argument("--build", default="build")
    m.add_argument("--wm", default="openbox")
    m.add_argument("--out", required=True)
    m.add_argument("--runs", type=int, default=5)
    m.add_argument("--idle", type=float, default=5.0, help="seconds of each idle period")
    # Longer than Qt's tool-tip wake-up delay (0.7 s), which a move starts.
    m.add_argument("--settle", type=float, default=1.5, help="seconds after a focus change")
    r = sub.add_parser("report")
    r.add_argument("files", nargs="+")
    args = parser.parse_args()
    if args.command == "measure":
        measure(args)
        return 0
    return report(args)


if __name__ == "__main__":
    sys.exit(main())
