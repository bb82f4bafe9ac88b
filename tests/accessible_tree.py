#!/usr/bin/python3
"""The real game's accessible tree read through AT-SPI as a screen reader would, on a fresh X server.
usage: dbus-run-session -- accessible_tree.py BINARY RUN_DIR"""
import os, re, shutil, subprocess, sys, tempfile, time

import pyatspi
from gi.repository import GLib

CARD = r"(Gria|Oachl|Schölln|Hirz) (Sima|Ochta|Neina|Zirna|Unta|Baua|Kini|Sau)"
CONTROLS = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT)


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
        GLib.MainContext.default().iteration(False)  # hands the events told meanwhile to the listener
        time.sleep(0.1)
    return None


def table_text(app):
    text = next(n for n in walk(app) if n.getRole() == pyatspi.ROLE_CANVAS).queryText()
    return text.getText(0, text.characterCount)


def main():
    binary, run_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the game looks for it
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                               "-noreset"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    display = ":" + os.fdopen(read).readline().strip()
    folder = tempfile.mkdtemp(prefix="kolbet-access-")
    shutil.copytree(run_dir, os.path.join(folder, "game"))
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", HOME=folder,
               XDG_CONFIG_HOME=folder + "/config", XDG_DATA_HOME=folder + "/data", ALSOFT_DRIVERS="null")
    if "ASAN_OPTIONS" in env:
        # The real X server's keyboard library copies atom names with strndup from
        # buffers without a terminating zero, which strndup allows; the sanitizer
        # run's strict string checks would stop the game there.
        env["ASAN_OPTIONS"] += ":strict_string_checks=0"
    game = subprocess.Popen([binary], cwd=folder + "/game", env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "Brivlo Kolbet"
                                     and any(n.name == "Nei's Spuell" for n in walk(a))), None))
        if not app:
            return "no accessible game with its menu within 20 s"
        controls = [n for n in walk(app) if n.getRole() in CONTROLS]
        names = {n.name for n in controls}
        if len(controls) < 20 or "" in names:
            return f"{len(controls)} controls, some unnamed: {sorted(names)}"
        if missing := {"Nei's Spuell", "Stommdisch", "Optiona", "Her Aaf", "I spuell d'Musi: 2, am lautastn is 4"} - names:
            return f"no control named {missing}"

        told = []
        pyatspi.Registry.registerEventListener(lambda e: told.append(e), "object:property-change:accessible-name")
        start = next(n for n in controls if n.name == "Nei's Spuell")
        action = start.queryAction()
        action.doAction(next(i for i in range(action.nActions) if action.getName(i).lower() == "press"))
        hand = wait_for(lambda: re.search(r"^Dei Koartn: ((\d " + CARD + r"(, )?){5})$", table_text(app), re.M))
        if not hand:
            return f"the table tells no hand of five cards: {table_text(app)!r}"
        first = re.search(r"1 " + CARD, hand.group(1)).group(0)
        for key, expected in (("1", "Ausgwöhlt: " + first), ("Return", "")):
            before, told[:] = table_text(app), []
            subprocess.run(["xdotool", "key", key], env=env, check=True)
            if not wait_for(lambda: table_text(app) != before and expected in table_text(app) and told):
                return f"after {key} the table says {table_text(app)!r}, {len(told)} changes told"
        return None
    finally:
        for process in (game, server):
            process.kill()
            process.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    failure = main()
    print("FAIL: " + failure if failure else "ok")
    sys.exit(1 if failure else 0)
