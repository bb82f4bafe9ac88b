#!/usr/bin/python3
"""The real game on a fresh X server (xcb), played by keys with its real pauses
and sounds (OpenAL's null output, which plays in real time), while the window
is pinged every 250 ms as a desktop's window manager does (_NET_WM_PING; the
answer goes to the root window), and every two seconds a part of it is covered
and uncovered again, as by another window on a desktop without a compositor.
Measuring starts once the title is shown. Prints the longest time a ping
waited for its answer and the longest time an uncovered part waited for its
repaint, and fails when either was 0.2 s or more, or when no hand was played
to its end.

usage: window_ping.py BINARY RUN_DIR [SECONDS]
  SECONDS: play at least this long (default 0: until a hand has ended and the
  next one is dealt)
"""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from startup_check import allow_unterminated_strings, start_x  # noqa: E402

WIDTH, HEIGHT = 640, 480
PING_EVERY = 0.25
LIMIT = 0.2
KEY_EVERY = 0.35
# Where the table shows the points of both seats, in surface pixels.
POINTS = ((0, 0, 64, 30), (0, 420, 64, 30))
# The part of the table that is covered now and then: the middle of the cloth.
COVERED = (220, 150, 200, 100)


def game_window(x):
    """The game's full-screen top-level window, once it is shown."""
    for w in x.screen().root.query_tree().children:
        try:
            name = w.get_wm_name() or ""
            attributes = w.get_attributes()
            geometry = w.get_geometry()
        except Exception:  # a window that went away meanwhile
            continue
        if (name.startswith("Brivlo Kolbet") and attributes.map_state == X.IsViewable
                and (geometry.width, geometry.height) == (WIDTH, HEIGHT)):
            return w
    return None


class Pinger:
    """Sends _NET_WM_PING as a window manager does and times the answers."""

    def __init__(self, x, window):
        self.x, self.window = x, window
        self.root = x.screen().root
        # Qt sends the answer to the root window for StructureNotify and
        # SubstructureRedirect; a window manager selects the latter.
        self.root.change_attributes(event_mask=X.StructureNotifyMask)
        self.protocols = x.intern_atom("WM_PROTOCOLS")
        self.ping = x.intern_atom("_NET_WM_PING")
        self.sent = {}  # timestamp -> when it was sent
        self.longest = 0.0
        self.stamp = 1000
        self.next_ping = time.monotonic()

    def send(self):
        self.stamp += 1
        event = protocol.event.ClientMessage(window=self.window, client_type=self.protocols,
                                             data=(32, [self.ping, self.stamp, self.window.id, 0, 0]))
        self.window.send_event(event, event_mask=0)
        self.x.flush()
        self.sent[self.stamp] = time.monotonic()

    def answers(self):
        while self.x.pending_events():
            event = self.x.next_event()
            if (event.type == X.ClientMessage and event.window == self.root
                    and event.client_type == self.protocols and event.data[1][0] == self.ping):
                at = self.sent.pop(event.data[1][1], None)
                if at is not None:
                    self.longest = max(self.longest, time.monotonic() - at)

    def serve(self, seconds):
        """Pings on schedule and reads answers for the given time."""
        end = time.monotonic() + seconds
        while True:
            now = time.monotonic()
            if now >= self.next_ping:
                self.send()
                self.next_ping = max(self.next_ping + PING_EVERY, now)
            self.answers()
            now = time.monotonic()
            if now >= end:
                return
            select.select([self.x.fileno()], [], [], max(0.0, min(end, self.next_ping) - now))

    def waiting(self):
        """The longest wait so far, pings still unanswered included."""
        now = time.monotonic()
        return max([self.longest] + [now - at for at in self.sent.values()])


def repaint_time(x, pinger):
    """Covers a part of the window and uncovers it: how long until it is drawn again."""
    root = x.screen().root
    cover = root.create_window(*COVERED, 0, x.screen().root_depth, background_pixel=0xFF00FF,
                               override_redirect=True)
    cover.map()
    x.sync()
    pinger.serve(0.1)
    covered = root.get_image(*COVERED, X.ZPixmap, 0xFFFFFFFF).data
    cover.destroy()
    x.sync()
    start = time.monotonic()
    while root.get_image(*COVERED, X.ZPixmap, 0xFFFFFFFF).data == covered and time.monotonic() - start < 10:
        pinger.serve(0.005)
    return time.monotonic() - start


def points(x):
    root = x.screen().root
    return [root.get_image(*area, X.ZPixmap, 0xFFFFFFFF).data for area in POINTS]


def main():
    binary, run_dir = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 0
    server, name = start_x(WIDTH, HEIGHT)
    folder = tempfile.mkdtemp(prefix="kolbet-ping-")
    game = None
    try:
        shutil.copytree(run_dir, os.path.join(folder, "game"))
        env = dict(os.environ, DISPLAY=name, QT_QPA_PLATFORM="xcb", ALSOFT_DRIVERS="null", HOME=folder,
                   XDG_CONFIG_HOME=folder + "/config", XDG_DATA_HOME=folder + "/data",
                   KOLBET_REPORT_FIRST_FRAME="1")
        env.pop("KOLBET_PORT", None)
        allow_unterminated_strings(env)
        log = open(os.path.join(folder, "stderr.txt"), "w+")
        game = subprocess.Popen([binary], cwd=folder + "/game", env=env, stdout=subprocess.DEVNULL, stderr=log)
        x = display.Display(name)
        deadline = time.monotonic() + 60
        window = None
        while time.monotonic() < deadline and game.poll() is None:
            log.seek(0)
            if "first-frame" in log.read():
                window = game_window(x)
                if window:
                    break
            time.sleep(0.1)
        if not window:
            return f"no title within a minute (exit status {game.poll()})"

        pinger = Pinger(x, window)
        pinger.serve(1.0)
        def keys(*names):
            # Typed while the pings go on.
            typing = subprocess.Popen(["xdotool", "key", "--delay", "40", *names], env=env)
            pinger.serve(KEY_EVERY)
            if typing.wait() != 0:
                raise RuntimeError("xdotool failed")

        keys("Tab", "Return")  # "Nei's Spuell"
        start = time.monotonic()
        title = points(x)
        dealt = None  # the points as the first hand shows them
        ended = None
        slot = 0
        repaint = 0.0
        # Whatever the phase, one of the digits with Return plays or names a
        # card; keys pressed while the game waits are dropped, as it should.
        while time.monotonic() - start < max(seconds, 75):
            keys(str(slot + 1), "Return")
            slot = (slot + 1) % 5
            if slot == 0:
                repaint = max(repaint, repaint_time(x, pinger))
            shown = points(x)
            if dealt is None and shown != title:
                dealt = shown
            elif dealt is not None and ended is None and shown != dealt:
                ended = time.monotonic()
            # After a hand's end, its last pause and the next deal.
            if ended is not None and time.monotonic() - ended > 6 and time.monotonic() - start >= seconds:
                break
            if game.poll() is not None:
                return f"the game ended with status {game.poll()}"
        longest = pinger.waiting()
        played = time.monotonic() - start
        print(f"longest unanswered ping: {longest:.3f} s, longest repaint: {repaint:.3f} s, "
              f"over {played:.0f} s of play{', a hand ended' if ended else ''}")
        if ended is None:
            log.seek(0)
            return "no hand ended; the game wrote:\n" + "".join(log.readlines()[-30:])
        if longest >= LIMIT:
            return f"a ping waited {longest:.3f} s for its answer"
        if repaint >= LIMIT:
            return f"an uncovered part waited {repaint:.3f} s for its repaint"
        return None
    finally:
        if game and game.poll() is None:
            game.kill()
            game.wait()
        server.terminate()
        server.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    failure = main()
    print("FAIL: " + failure if failure else "ok")
    sys.exit(1 if failure else 0)
