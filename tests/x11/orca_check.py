"""What Orca says while a user works the calculator with the keyboard: each
key is typed with xdotool, and what Orca spoke after it is read from Orca's
debug log ("SPEECH OUTPUT" lines). Orca's echo of the key itself ends with a
blank; everything else it says is what the calculator told it.

Usage: /usr/bin/python3 orca_check.py ORCA_DEBUG_LOG
"""
import re
import statistics
import subprocess
import sys
import time

UTTERANCE = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*?)' ?\{'established", re.M | re.S)
# Announcements must follow their key at once; the bound is loose so that a
# loaded machine does not fail the test, and the times are printed.
LATENCY_BOUND = 1.5
SETTLE = 1.0  # how long a key is given to say something more

failures = 0
latencies = []


def check(ok, what):
    global failures
    print(("ok: " if ok else "FAIL: ") + what)
    failures += 0 if ok else 1


class Speech:
    def __init__(self, path):
        self.path = path
        self.mark = 0

    def all(self):
        with open(self.path, encoding="utf-8", errors="replace") as log:
            text = log.read()
        return [(int(h) * 3600 + int(m) * 60 + float(s), said) for h, m, s, said in UTTERANCE.findall(text)]

    def new(self):
        return self.all()[self.mark:]

    def wait(self, condition, seconds=15.0):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition(self.new()):
                return True
            time.sleep(0.05)
        return condition(self.new())


def echoes(said):
    return [u for u in said if u[1].endswith(" ")]


def told(said):
    return [u for u in said if not u[1].endswith(" ")]


def step(speech, what, send, expected=None, contains=None, echoed=True):
    """Sends keys and compares what Orca then says, apart from its key echo,
    with `expected` (the exact utterances) or `contains` (parts of them).
    Orca's own commands are not echoed."""
    speech.mark = len(speech.all())
    send()
    if echoed and not speech.wait(lambda said: echoes(said)):
        check(False, f"{what}: Orca echoes the key")
        return
    if expected:
        speech.wait(lambda said: [u[1] for u in told(said)][-len(expected):] == expected)
    parts = (contains,) if isinstance(contains, str) else contains or ()
    heard = lambda said: all(part in " ".join(u[1] for u in told(said)) for part in parts)
    if parts:
        speech.wait(heard)
    time.sleep(SETTLE)
    said = speech.new()
    got = [u[1] for u in told(said)]
    if parts:
        check(heard(said), f"{what}: Orca says {' and '.join(parts)} (said {got})")
    else:
        check(got == (expected or []), f"{what}: Orca says {expected or 'nothing new'} (said {got})")
    if echoes(said):
        last_key = echoes(said)[-1][0]
        after = [u[0] for u in told(said) if u[0] >= last_key]
        if after:
            latencies.append(after[0] - last_key)


def key(*names):
    return lambda: subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True)


def typed(text):
    return lambda: subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)


def main():
    speech = Speech(sys.argv[1])
    if not speech.wait(lambda said: any("barra de estado" in u[1] for u in said), 30):
        check(False, "Orca presents the display when the window comes up")

    step(speech, "Orca+Enter (speak title)", key("KP_Insert+KP_Enter"), contains="Quintora", echoed=False)
    step(speech, "7", key("7"), ["7"])
    step(speech, "+ (the display stays)", key("plus"), [])
    step(speech, "2", key("2"), ["2"])
    step(speech, "=", key("Return"), ["9"])
    step(speech, "M+ (Ctrl+P)", key("ctrl+p"), ["En memoria 9"])
    step(speech, "/", key("slash"), [])
    step(speech, "4", key("4"), ["4"])
    step(speech, "= (a fraction)", key("equal"), ["2,25"])
    step(speech, "where am I: the display and the memory", key("KP_Enter"), contains=("2,25 barra de estado", "En memoria 9"))
    step(speech, "MR (Ctrl+R)", key("ctrl+r"), ["9"])
    step(speech, "MC (Ctrl+L)", key("ctrl+l"), ["Memoria vacía"])
    step(speech, "Delete", key("Delete"), ["0"])
    step(speech, "1 / 3 =", typed("1/3="), contains="0,333333333333333")
    step(speech, "1 / 10000000 = (an exponent)", typed("1/10000000="), contains="1 por diez elevado a menos 7")

    step(speech, "Delete", key("Delete"), ["0"])
    step(speech, "15 digits", typed("123456789012345"), contains="123456789012345")
    step(speech, "a 16th digit: the entry limit", key("6"), contains="límite de caracteres")
    step(speech, "Escape closes the message", key("Escape"), [])
    step(speech, "/ 0 =: division by zero", typed("/0="), contains="División entre cero")
    step(speech, "Escape", key("Escape"), [])
    step(speech, "F1: the about text", key("F1"), contains="Calculadora de escritorio")
    step(speech, "Escape closes the about text", key("Escape"), [])
    step(speech, "Delete at 0 (the display stays)", key("Delete"), [])
    speech.mark = len(speech.all())
    typed("9*9=")()
    speech.wait(lambda said: any(u[1] == "81" for u in told(said)))
    time.sleep(SETTLE)
    got = [u[1] for u in told(speech.new())]
    check(got[-1:] == ["81"] and set(got) <= {"9", "81"},
          f"9*9= typed fast ends with the result, no stale values after it (said {got})")

    if latencies:
        print(f"latency from the key's echo: median {statistics.median(latencies) * 1000:.0f} ms, "
              f"max {max(latencies) * 1000:.0f} ms")
        check(max(latencies) < LATENCY_BOUND, "each announcement follows its key")


main()
print(f"{failures} failed")
sys.exit(1 if failures else 0)
