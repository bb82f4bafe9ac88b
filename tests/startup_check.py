#!/usr/bin/env python3
"""Starts the real game binary on a fresh X server (xcb) in surroundings a
new player meets, answers any message box once it has stayed open, and waits
for the full-screen title; without the graphics pack it waits for the error
box and exit status 1 instead.

usage: startup_check.py BINARY RUN_DIR CASE
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 800, 600


def start_x(width=WIDTH, height=HEIGHT):
    # Without -noreset the server resets whenever its last client leaves and
    # drops a client that connects meanwhile: the checks' own short-lived
    # clients would then make the game's start fail now and then.
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{width}x{height}x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as f:
        return server, ":" + f.readline().strip()


def allow_unterminated_strings(env):
    if "ASAN_OPTIONS" in env:
        # On the real X server libxkbcommon-x11 copies atom names with strndup from
        # buffers without a terminating zero, which strndup allows; the strict
        # string checks of the sanitizer run would stop the game there.
        env["ASAN_OPTIONS"] += ":strict_string_checks=0"


def windows(display):
    env = dict(os.environ, DISPLAY=display)
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Brivlo Kolbet"], env=env,
                         capture_output=True, text=True).stdout.split()
    found = []
    for w in out:
        kind = subprocess.run(["xprop", "-id", w, "_NET_WM_WINDOW_TYPE"], env=env, capture_output=True,
                              text=True).stdout
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", w], env=env, capture_output=True,
                                  text=True).stdout
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        found.append((w, "DIALOG" in kind, int(values.get("WIDTH", 0)), int(values.get("HEIGHT", 0))))
    return found


def title_shown(display, folder):
    if not any(not dialog and w == WIDTH and h == HEIGHT for _, dialog, w, h in windows(display)):
        return False
    shot = os.path.join(folder, "shot.png")
    env = dict(os.environ, DISPLAY=display)
    if subprocess.run(["import", "-window", "root", shot], env=env, capture_output=True).returncode != 0:
        return False
    # The title's wooden table: bright and brown, unlike an empty black window.
    mean = subprocess.run(["convert", shot, "-format", "%[fx:mean.r] %[fx:mean.b]", "info:"],
                          capture_output=True, text=True).stdout.split()
    return len(mean) == 2 and float(mean[0]) > 0.25 and float(mean[0]) > float(mean[1]) + 0.1


def prepare(case, run_dir, folder):
    game = os.path.join(folder, "game")
    os.makedirs(game)
    for name in os.listdir(run_dir):
        shutil.copy(os.path.join(run_dir, name), game)
    home = os.path.join(folder, "home")
    config = os.path.join(home, ".config", "DRN")
    data = os.path.join(home, ".local", "share")
    os.makedirs(config)
    os.makedirs(data)
    if case == "no-sound-bank":
        os.remove(os.path.join(game, "Kolbet.snd"))
    elif case == "no-music":
        for name in os.listdir(game):
            if name.endswith(".kbm"):
                os.remove(os.path.join(game, name))
    elif case == "mistyped-setting":
        with open(os.path.join(config, "Kolbet.conf"), "w") as f:
            f.write("[General]\nSkill=abc\n")
    elif case == "unparseable-settings":
        with open(os.path.join(config, "Kolbet.conf"), "wb") as f:
            f.write(b"[General\nMusicVolume=@ByteArray(\x00\xff\n=\n")
    elif case == "read-only-data":
        os.chmod(data, stat.S_IRUSR | stat.S_IXUSR)
    elif case == "no-pack":
        os.remove(os.path.join(game, "kolbet.dat"))
    elif case == "mismatched-companion":
        shutil.copy(os.path.join(game, "kolbet.dat"), os.path.join(game, "kolbet-hd.dat"))
    elif case == "cut-companion":
        # The companion's title ends halfway, at the end of the file: its
        # header reads when the file is opened, its pixels not when drawn.
        with open(os.path.join(game, "kolbet-hd.dat"), "r+b") as f:
            table = f.read(288)
            begin = int.from_bytes(table[33 * 4:33 * 4 + 4], "little", signed=True)
            end = min([o for o in (int.from_bytes(table[i:i + 4], "little") for i in range(0, 288, 4)) if o > begin],
                      default=os.fstat(f.fileno()).st_size)
            f.seek(begin)
            title = f.read((end - begin) // 2)
            at = f.seek(0, os.SEEK_END)
            f.write(title)
            f.seek(33 * 4)
            f.write(at.to_bytes(4, "little"))
    else:
        raise SystemExit(f"unknown case {case}")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_DATA_HOME=data,
               QT_QPA_PLATFORM="xcb", ALSOFT_DRIVERS="null")
    env.pop("KOLBET_PORT", None)
    allow_unterminated_strings(env)
    if case == "read-only-data" and os.geteuid() == 0:
        # root writes into a read-only folder anyway; below a plain file no one can.
        blocker = os.path.join(folder, "blocker")
        open(blocker, "w").close()
        env["XDG_DATA_HOME"] = os.path.join(blocker, "share")
    return game, env


def watch(game, case, display, folder):
    """Answers the boxes and waits for the title; returns the failure, or None."""
    boxes = 0
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        if game.poll() is not None:
            break
        dialogs = [w for w, dialog, _, _ in windows(display) if dialog]
        if dialogs:
            # A box must stay open until it is answered.
            time.sleep(1.0)
            if not any(w == dialogs[0] for w, dialog, _, _ in windows(display) if dialog):
                return f"the message box closed by itself ({case})"
            subprocess.run(["xdotool", "windowfocus", "--sync", dialogs[0], "key", "Return"],
                           env=dict(os.environ, DISPLAY=display))
            boxes += 1
            time.sleep(0.3)
            continue
        if case != "no-pack" and title_shown(display, folder):
            # A missing music folder and a damaged settings file are no error: the
            # game plays without music, and on defaults with the damaged file kept.
            expected_boxes = 0 if case in ("no-music", "unparseable-settings") else 1
            if boxes > expected_boxes:
                return f"{boxes} message boxes, expected {expected_boxes} ({case})"
            if boxes < expected_boxes and "companion" in case:
                # A damaged companion is found once its picture is made, just
                # after the first frame.
                time.sleep(0.2)
                continue
            if boxes != expected_boxes:
                return f"{boxes} message boxes, expected {expected_boxes} ({case})"
            if "companion" in case:
                # Its error comes once; the game goes on with kolbet.dat.
                time.sleep(3)
                if any(dialog for _, dialog, _, _ in windows(display)):
                    return f"a second message box ({case})"
            return None
        time.sleep(0.2)
    if case == "no-pack":
        status = game.wait(timeout=max(1, deadline - time.monotonic()))
        if status == 1 and boxes == 1:
            return None
        return f"exit status {status} after {boxes} boxes, expected 1 after one box"
    return f"no title within a minute ({case}); exit status {game.poll()}, {boxes} boxes"


def main():
    binary, run_dir, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3]
    server, display = start_x()
    folder = tempfile.mkdtemp(prefix="kolbet-start-")
    game = None
    try:
        cwd, env = prepare(case, run_dir, folder)
        env["DISPLAY"] = display
        # The game's own output goes to a file: a pipe nobody reads could fill and hold it.
        with open(os.path.join(folder, "stderr.txt"), "w+") as log:
            game = subprocess.Popen([binary], cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=log)
            failure = watch(game, case, display, folder)
            if failure is None:
                print("ok")
                return 0
            print("FAIL: " + failure)
            log.seek(0)
            print("the game wrote:\n" + "".join(log.readlines()[-30:]))
            return 1
    finally:
        if game and game.poll() is None:
            game.kill()
            game.wait()
        server.terminate()
        server.wait()
        for root, dirs, _ in os.walk(folder):
            for d in dirs:
                os.chmod(os.path.join(root, d), stat.S_IRWXU)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
