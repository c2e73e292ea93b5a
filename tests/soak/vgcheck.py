#!/usr/bin/env python3
"""Reads a memcheck log and decides whether the project's code is clean.

Fails on any invalid read or write (wherever it is), on any other memcheck
error whose stack passes through the project's code, and on any definite
leak allocated through the project's code. The frame `main` alone does not
make a stack the project's: every event of the program runs under it.
Prints the ERROR SUMMARY and leak figures and one line per record.

Usage: vgcheck.py VALGRIND_LOG --project REPO_DIR
"""

import argparse
import re
import sys
from pathlib import Path

FRAME = re.compile(r"^==\d+==\s+(?:at|by) 0x[0-9A-F]+: (.*)$")
RECORD_START = re.compile(r"^==\d+== (\S.*)$")


def project_frame(frame, repo):
    """Whether a stack frame line is in the project's own code."""
    m = re.search(r"\(([^():]+):\d+\)$", frame)  # (file.cpp:123)
    if re.match(r"main \(", frame):
        return False
    if "quintora::" in frame:
        return True
    if m and m.group(1).split("/")[-1] and any(
            (repo / d / m.group(1)).exists() for d in ("engine", "shape", "ui", "resources")):
        return True
    return "/quintora_autogen/" in frame


def records(lines):
    """Yields (headline, frames) for each error and leak record."""
    head, frames = None, []
    for line in lines:
        fm = FRAME.match(line)
        if fm and head:
            frames.append(fm.group(1))
            continue
        rm = RECORD_START.match(line)
        if rm:
            text = rm.group(1)
            if head and frames:
                yield head, frames
            head, frames = None, []
            if (text.startswith(("Invalid ", "Conditional jump", "Use of uninitialised",
                                 "Syscall param", "Mismatched free", "Source and destination",
                                 "Argument 'size'", "Invalid free"))
                    or " are definitely lost" in text or " are possibly lost" in text):
                head = text
        elif line.strip() in ("", ) and head and frames:
            yield head, frames
            head, frames = None, []
    if head and frames:
        yield head, frames


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("log")
    ap.add_argument("--project", required=True)
    o = ap.parse_args()
    repo = Path(o.project)
    text = Path(o.log).read_text(errors="replace")
    lines = text.splitlines()

    summary = re.findall(r"ERROR SUMMARY: .*", text)
    leak = {k: re.findall(rf"{k}: ([\d,]+ bytes in [\d,]+ blocks)", text)
            for k in ("definitely lost", "indirectly lost", "possibly lost", "still reachable",
                      "suppressed")}
    print("---- valgrind summary ----")
    print(summary[-1] if summary else "no ERROR SUMMARY in the log (did the program end?)")
    for k, v in leak.items():
        print(f"{k + ':':17s}{v[-1] if v else '-'}")

    faults = []
    if not summary:
        faults.append("valgrind wrote no ERROR SUMMARY")
    for head, frames in records(lines):
        ours = [f for f in frames if project_frame(f, repo)]
        where = ours[0] if ours else frames[0]
        owner = "project" if ours else "third-party"
        print(f"{owner:11s} {head}\n            at {where}")
        if head.startswith(("Invalid read", "Invalid write")):
            faults.append(f"{head} at {where}")
        elif " are definitely lost" in head and ours:
            faults.append(f"{head} through {where}")
        elif " are possibly lost" in head:
            pass  # reported above, not a failure
        elif ours and " lost" not in head:
            faults.append(f"{head} at {where}")
    for f in faults:
        print(f"FAULT: {f}")
    print("valgrind result: " + ("PASS" if not faults else "FAIL"))
    return 0 if not faults else 1


if __name__ == "__main__":
    sys.exit(main())
