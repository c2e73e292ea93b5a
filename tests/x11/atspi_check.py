"""What a screen reader sees of the running calculator, asked through AT-SPI
as assistive tools ask: the tree, names, roles, actions and extents of the
controls, keys pressed through their actions, the display read through its
text interface, the events a screen reader speaks, and where the focus is.
What Orca makes of it is orca_check.py's.

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
# What is shown but cannot be pressed, by name: its role.
SHOWN = {
    "Memoria vacía": pyatspi.ROLE_LABEL,      # the memory indicator
    "Producto Peruano": pyatspi.ROLE_LABEL,   # the about text's second line
}
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
    extra = [name for name in by_name if name not in KEYS + ["Cerrar mensaje"]]
    check(not extra, f"the hidden buttons that hold the focus are not in the tree (found {extra})")
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

    for name, role in SHOWN.items():
        found = [(o.getRole(), actions(o)) for o in objects if o.name == name]
        check(found == [(role, [])], f"'{name}' is shown once, a {role} without actions (found {found})")

    check(window.getRole() == pyatspi.ROLE_FRAME and window.name == "Quintora", "the window is a frame named Quintora")
    unnamed = [f"{o.getRoleName()} '{o.name}'" for o in objects if not o.name and o.getRole() != pyatspi.ROLE_NOTIFICATION]
    check(not unnamed, f"everything in the tree has a name {unnamed}")

    displays = [o for o in objects if o.getRole() == pyatspi.ROLE_STATUS_BAR]
    check(len(displays) == 1 and text_of(displays[0]) == "0." and displays[0].name == "0"
          and displays[0].description == "Memoria vacía",
          "the display is there once, reads 0. through its text interface, is named 0, described by the memory")
    if len(displays) != 1 or missing:
        return
    display = displays[0]

    # The keys move the keyboard focus from one hidden button to another:
    # the display, focused all along, is not focused anew.
    names, focused = [], []
    listener = lambda event: names.append(event) if event.source == display else None
    focus_listener = lambda event: focused.append((event.source.getRoleName(), event.source.name)) if event.detail1 == 1 else None
    pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(focus_listener, "object:state-changed:focused")
    check(wait_until(lambda: has(display, pyatspi.STATE_FOCUSED), 5), "the display has the focus at the start")
    for name in ["7", "Más", "2", "Punto decimal", "5", "Igual"]:
        press(by_name[name])
        pump(0.2)
    check(wait_until(lambda: text_of(display) == "9.5"), f"7 + 2.5 = pressed through actions reads 9.5 (got '{text_of(display)}')")
    wait_until(lambda: any(event.any_data == "9,5" for event in names), 5)
    check([event.any_data for event in names] == ["7", "2", "2,5", "9,5"],
          f"each new display value is a name change in spoken form ({[event.any_data for event in names]})")
    pyatspi.Registry.deregisterEventListener(listener, "object:property-change:accessible-name")
    pyatspi.Registry.deregisterEventListener(focus_listener, "object:state-changed:focused")
    check(wait_until(lambda: has(display, pyatspi.STATE_FOCUSED), 5) and not focused,
          f"the display keeps the focus, with no new focus events, while the keys move it ({focused})")

    shown = []
    listener = lambda event: shown.append(event) if event.detail1 == 1 else None
    pyatspi.Registry.registerEventListener(listener, "object:state-changed:showing")
    press(by_name["Acerca de Quintora"])
    panel = wait_until(lambda: next((o for o in descendants(window) if o.getRole() == pyatspi.ROLE_NOTIFICATION
                                     and has(o, pyatspi.STATE_SHOWING)), None))
    wait_until(lambda: any(event.source == panel for event in shown), 5)
    check(panel is not None and "Calculadora de escritorio" in panel.name
          and len([e for e in shown if e.source == panel]) == 1,
          "the message panel comes up as a notification with its text, and says so once")
    pyatspi.Registry.deregisterEventListener(listener, "object:state-changed:showing")
    press(by_name["Cerrar mensaje"])
    check(wait_until(lambda: not has(panel, pyatspi.STATE_SHOWING)), "Cerrar mensaje closes it")


main()
print(f"{failures} failed")
sys.exit(1 if failures else 0)
