"""What a screen reader sees of the running calculator, asked through AT-SPI
as assistive tools ask: names, roles, actions and extents of the controls,
keys pressed through their actions, the display read through its text
interface, the events a screen reader speaks, and where the focus is.

Usage: /usr/bin/python3 atspi_check.py PID   (Debian's python3-pyatspi)
Prints one line per check and the accessible tree with --tree.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

KEYS = ["0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "Punto decimal", "Más", "Menos", "Por",
        "Entre", "Igual", "Cancela", "Cancela Entrada", "Memoria más", "Memoria menos",
        "Recuperar Memoria", "Cancelar Memoria", "Minimizar", "Cerrar", "Acerca de Quintora"]
failures = 0


def check(ok, what):
    global failures
    print(("ok: " if ok else "FAIL: ") + what)
    failures += 0 if ok else 1


def pump(seconds):
    """Lets AT-SPI events arrive for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_until(condition, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        pump(0.05)
    return condition()


def application(pid):
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid:
                return app
        return None
    return wait_until(find, 30)


def descendants(obj):
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def actions(obj):
    try:
        action = obj.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def extents(obj):
    e = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def inside(box, area):
    x, y, w, h = box
    ax, ay, aw, ah = area
    return w > 0 and h > 0 and x >= ax and y >= ay and x + w <= ax + aw and y + h <= ay + ah


def has(obj, state):
    return obj.getState().contains(state)


def press(obj):
    action = obj.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            return action.doAction(i)
    return False


def text_of(obj):
    return obj.queryText().getText(0, -1)


def main():
    app = application(int(sys.argv[1]))
    if app is None:
        check(False, "the program appears on the accessibility bus")
        return
    window = app.getChildAtIndex(0)
    area = extents(window)
    objects = list(descendants(window))
    if "--tree" in sys.argv:
        for obj in objects:
            description = f" ({obj.description})" if obj.description else ""
            print(f"  {obj.getRoleName()} '{obj.name}'{description} {actions(obj)}")

    by_name = {}
    for obj in objects:
        if obj.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            by_name.setdefault(obj.name, obj)
    missing = [name for name in KEYS + ["Cerrar mensaje"] if name not in by_name]
    check(not missing, f"every key, mark, the logo and the arrow is a named push button (missing {missing})")
    no_press = [name for name in KEYS + ["Cerrar mensaje"] if name in by_name and "Press" not in actions(by_name[name])]
    check(not no_press, f"each has a Press action (lacking: {no_press})")
    boxes = {name: extents(by_name[name]) for name in KEYS if name in by_name}
    outside = [name for name, box in boxes.items() if not inside(box, area)]
    check(not outside and len(set(boxes.values())) == len(boxes),
          f"each key has extents of its own inside the window (outside: {outside})")
    stray = [f"{o.getRoleName()} '{o.name}' {extents(o)}" for o in objects
             if has(o, pyatspi.STATE_FOCUSABLE) and has(o, pyatspi.STATE_SHOWING) and not inside(extents(o), area)]
    check(not stray, f"no focusable object shows outside the window {stray}")

    displays = [o for o in objects if o.getRole() == pyatspi.ROLE_LABEL and "Text" in pyatspi.utils.listInterfaces(o)]
    check(len(displays) == 1 and text_of(displays[0]) == "0.", "the display reads 0. through its text interface")
    if len(displays) != 1 or missing:
        return
    display = displays[0]

    changes = []
    listener = lambda event: changes.append(event)
    pyatspi.Registry.registerEventListener(listener, "object:text-changed")
    press(by_name["7"])
    wait_until(lambda: text_of(display) == "7.")
    wait_until(lambda: any(event.source == display for event in changes), 5)
    check(any(event.source == display for event in changes), "a key raises a text change of the display")
    pyatspi.Registry.deregisterEventListener(listener, "object:text-changed")

    for name in ["Más", "2", "Igual"]:
        press(by_name[name])
        pump(0.2)
    check(wait_until(lambda: text_of(display) == "9."), f"7 + 2 = pressed through actions reads 9. (got '{text_of(display)}')")

    def focused():
        return next((o for o in descendants(window) if has(o, pyatspi.STATE_FOCUSED)), None)
    focus = wait_until(focused, 5)
    check(focus is not None and inside(extents(focus), area) and ("9." in focus.name or "9." in focus.description),
          f"the focus is inside the window and carries the display "
          f"({focus.getRoleName() if focus else None} '{focus.name if focus else ''}')")

    shown = []
    listener = lambda event: shown.append(event) if event.detail1 == 1 else None
    pyatspi.Registry.registerEventListener(listener, "object:state-changed:showing")
    press(by_name["Acerca de Quintora"])
    alert = wait_until(lambda: next((o for o in descendants(window) if o.getRole() == pyatspi.ROLE_ALERT
                                     and has(o, pyatspi.STATE_SHOWING)), None))
    wait_until(lambda: any(event.source == alert for event in shown), 5)
    check(alert is not None and "Calculadora de escritorio" in alert.name and any(e.source == alert for e in shown),
          "the message panel comes up as an alert with its text, and says so")
    pyatspi.Registry.deregisterEventListener(listener, "object:state-changed:showing")
    press(by_name["Cerrar mensaje"])
    check(wait_until(lambda: not has(alert, pyatspi.STATE_SHOWING)), "Cerrar mensaje closes it")


main()
print(f"{failures} failed")
sys.exit(1 if failures else 0)
