#!/usr/bin/python3
# Reads the main window over AT-SPI as a screen reader does: the names of the
# stop button and the number fields, then a verification started and heard.
# Usage: atspi_reader.py WINDOW_PROGRAM; exit 0 passed, 1 failed, 3 the window
# could not start (no display), 77 skipped.
import os
import subprocess
import sys
import time

try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi
except (ImportError, ValueError) as error:
    print("SKIP: no pyatspi:", error)
    sys.exit(77)

FIELDS = ["Vérifier le nombre :", "Chercher de :", "jusqu'à :", "Décomposer le nombre :"]
failures = []


def pump(seconds):
    """Lets AT-SPI events in for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def wait_for(what, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = what()
        if found:
            return found
        pump(0.1)
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        except Exception:
            continue
    return None


def find(app, role, name=None, description=None):
    for node in walk(app):
        try:
            if role is not None and node.getRole() != role:
                continue
            if name is not None and node.name != name:
                continue
            if description is not None and node.description != description:
                continue
            return node
        except Exception:
            continue
    return None


def check(condition, message):
    print(("ok   " if condition else "FAIL ") + message)
    if not condition:
        failures.append(message)


def main():
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    window = subprocess.Popen([sys.argv[1]], env=env)
    heard = []

    def on_name(event):
        try:
            heard.append((event.source.description, event.source.name))
        except Exception:
            pass

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    try:
        app = wait_for(lambda: window.poll() is not None or application(window.pid), 30)
        if window.poll() is not None:
            print("the window program ended before it appeared, with status", window.returncode)
            return 3
        if app is None:
            print("FAIL the window never appeared on the accessibility bus")
            return 1
        stop = wait_for(lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, name="Arrêter"), 10)
        check(stop is not None, 'the stop button is the push button "Arrêter"')
        for name in FIELDS:
            field = find(app, pyatspi.ROLE_TEXT, name=name)
            check(field is not None, 'a text field is named "%s"' % name)

        state = find(app, None, description="État")
        check(state is not None, 'the status strip has a panel "État"')
        if state is None:
            for node in walk(app):
                print("  ", node.getRoleName(), repr(node.name), repr(node.description))
        field = find(app, pyatspi.ROLE_TEXT, name=FIELDS[0])
        start = find(app, pyatspi.ROLE_PUSH_BUTTON, name="Démarrer")
        if state is None or field is None or start is None:
            return 1
        field.queryEditableText().setTextContents("97")
        check(wait_for(lambda: field.queryText().getText(0, -1) == "97", 5), "the field takes 97")
        start.queryAction().doAction(0)
        check(wait_for(lambda: state.name == "Terminé...", 30) is not None,
              'the state panel reads "Terminé..." after the verification of 97')
        check(wait_for(lambda: ("État", "Terminé...") in heard, 10) is not None,
              "the change of the state panel's name was announced on the bus")
    finally:
        window.terminate()
        try:
            window.wait(5)
        except subprocess.TimeoutExpired:
            window.kill()
            window.wait()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
