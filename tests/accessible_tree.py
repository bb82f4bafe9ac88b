#!/usr/bin/python3
"""Reads the real game's accessible tree through AT-SPI as a screen reader
would: on a fresh X server with a session bus of its own (run it under
dbus-run-session), finds the menu buttons by name, presses "Nei's Spuell"
through its accessible action, reads the table's text naming the cards of the
own hand, and after each key move sees the text change and the change told.

usage: dbus-run-session -- accessible_tree.py BINARY RUN_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

CARD = r"(Gria|Oachl|Schölln|Hirz) (Sima|Ochta|Neina|Zirna|Unta|Baua|Kini|Sau)"


def start_x():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x24", "-nolisten", "tcp"],
                              pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        return server, ":" + f.readline().strip()


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def wait_for(what, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = what()
        if found:
            return found
        # Lets the events that arrived meanwhile reach their listeners.
        GLib.MainContext.default().iteration(False)
        time.sleep(0.1)
    return None


def game_app():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((a for a in desktop if a is not None and a.name == "Brivlo Kolbet"), None)


def table_text(app):
    canvas = next((n for n in walk(app) if n.getRole() == pyatspi.ROLE_CANVAS), None)
    if canvas is None:
        return None, ""
    text = canvas.queryText()
    return canvas, text.getText(0, text.characterCount)


def fail(message):
    print("FAIL: " + message)
    return 1


def main():
    binary, run_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the game looks for it
    server, display = start_x()
    folder = tempfile.mkdtemp(prefix="kolbet-access-")
    game = None
    try:
        shutil.copytree(run_dir, os.path.join(folder, "game"))
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                   XDG_DATA_HOME=os.path.join(folder, "data"), ALSOFT_DRIVERS="null")
        env.pop("KOLBET_PORT", None)
        game = subprocess.Popen([binary], cwd=os.path.join(folder, "game"), env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        app = wait_for(lambda: (a := game_app()) and any(n.name == "Nei's Spuell" for n in walk(a)) and a)
        if not app:
            return fail("no accessible game with the menu within 20 s")

        controls = [n for n in walk(app) if n.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LIST,
                                                             pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT)]
        unnamed = [n.getRoleName() for n in controls if not n.name]
        if len(controls) < 20 or unnamed:
            return fail(f"{len(controls)} controls, unnamed: {unnamed}")
        names = {n.name for n in controls}
        for expected in ("Nei's Spuell", "Stommdisch", "Optiona", "Her Aaf", "I spuell d'Musi: 2"):
            if expected not in names:
                return fail(f"no control named {expected!r}")

        told = []
        pyatspi.Registry.registerEventListener(lambda e: told.append(e.type),
                                               "object:property-change:accessible-name")
        start = next(n for n in walk(app) if n.name == "Nei's Spuell" and n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
        action = start.queryAction()
        action.doAction(next(i for i in range(action.nActions) if action.getName(i).lower() == "press"))
        hand = wait_for(lambda: re.search(r"Dei Koartn: ((\d " + CARD + r"(, )?){5})$",
                                          table_text(app)[1], re.M))
        if not hand:
            return fail(f"the table tells no hand of five cards: {table_text(app)[1]!r}")
        first = re.search(r"1 " + CARD, hand.group(1)).group(0)

        xdo = dict(os.environ, DISPLAY=display)
        for key, expected in (("1", "Ausgwöhlt: " + first), ("Return", None)):
            before, told[:] = table_text(app)[1], []
            subprocess.run(["xdotool", "key", key], env=xdo, check=True)
            changed = wait_for(lambda: (t := table_text(app)[1]) != before and (expected is None or expected in t)
                               and told)
            if not changed:
                return fail(f"after {key} the table still says {table_text(app)[1]!r}, {len(told)} changes told")
        print("ok")
        return 0
    finally:
        if game is not None:
            game.kill()
            game.wait()
        server.kill()
        server.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
