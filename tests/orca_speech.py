#!/usr/bin/python3
"""The real game played by keys with the real screen reader listening: Orca on a
fresh X server and a session bus of its own, its debug log's SPEECH OUTPUT lines
read as what a blind player hears. An options change, a search that finds no
session, a new search that finds one, and two hands as the guest of a host that
kolbet-sim opens; each kind of moment must be heard, the answers to keys within
about a second.
usage: dbus-run-session -- orca_speech.py GAME KOLBET_SIM RUN_DIR
Prints "skipped: ..." and exits with 77 where Orca is not installed."""
import os, re, shutil, subprocess, sys, tempfile, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from free_port import free_port  # noqa: E402

ORCA = "/usr/bin/orca"
CARD = r"(Gria|Oachl|Schölln|Hirz) (Sima|Ochta|Neina|Zirna|Unta|Baua|Kini|Sau)"
PROMPTS = ("Du muast aaskoartn", "Du muast ei`schmiern", "Soch`n Schloch oh", "Soch d`Forb oh")
# The host's first deal: with this seed it names the rank and leads the
# announced card to the first trick, so this side must answer with a trump.
HOST_SEED = os.environ.get("KOLBET_ORCA_SEED", "2")
ANSWER_TIME = 1.5  # "about a second" for what answers a key

# Orca without a synthesizer: it logs every utterance, and speaks to nobody.
SILENT_SPEECH = '''from orca import speechserver


class SpeechServer(speechserver.SpeechServer):
    _server = None

    @staticmethod
    def getFactoryName():
        return "silent"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._server is None:
            SpeechServer._server = SpeechServer()
        return SpeechServer._server

    def getInfo(self):
        return ["silent", "silent"]

    def getVoiceFamilies(self):
        return []
'''
SETTINGS = '''{"general": {"speechServerFactory": "kolbet_silent_speech", "enableBraille": false, "enableSound": false},
 "profiles": {"default": {"profile": ["Default", "default"]}}, "pronunciations": {}, "keybindings": {}}'''
# Orca as Debian starts it, but one of several on this machine (it refuses to
# start beside another Orca of the same user), with its log written line by line.
LAUNCHER = '''import builtins, importlib.machinery, importlib.util, sys
loader = importlib.machinery.SourceFileLoader("orca_launcher", "%s")
launcher = importlib.util.module_from_spec(importlib.util.spec_from_loader("orca_launcher", loader))
loader.exec_module(launcher)
launcher.setProcessName = lambda name: False
launcher.otherOrcas = lambda: []
launcher.open = lambda name, mode: builtins.open(name, mode, buffering=1)
sys.argv = ["orca"] + sys.argv[1:]
sys.exit(launcher.main())
''' % ORCA


class Speech:
    """What Orca said, from its debug log, each with the time it was said."""

    def __init__(self, log):
        self.log, self.said = log, []

    def read(self):
        self.said = []
        day = time.strftime("%Y-%m-%d")
        if not os.path.exists(self.log):
            return self.said
        with open(self.log, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = re.match(r"(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*)'(?: voice=\S+)?\s*(?:\{.*\})?$", line)
                if m:
                    at = time.mktime(time.strptime(day + " %s:%s:00" % m.group(1, 2), "%Y-%m-%d %H:%M:%S"))
                    self.said.append((at + float(m.group(3)), m.group(4)))
        return self.said

    def wait(self, pattern, after, seconds=20):
        """The first utterance matching `pattern` said after `after`, waited for."""
        deadline = time.time() + seconds
        while True:
            for at, text in self.read():
                if at >= after and re.search(pattern, text):
                    return at, text
            if time.time() > deadline:
                return None
            time.sleep(0.1)


def line(text, label):
    """The rest of the table's line that begins with `label`, or ""."""
    found = re.search(r"^%s: (.*)$" % re.escape(label), text, re.M)
    return found.group(1) if found else ""


def table_text(app):
    import pyatspi
    stack = [app]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        if node.getRole() == pyatspi.ROLE_CANVAS:
            text = node.queryText()
            return text.getText(0, text.characterCount)
        stack.extend(node[i] for i in range(node.childCount))
    return ""


def main():
    if not os.path.exists(ORCA):
        print("skipped: Orca is not installed (scripts/install-deps installs it)")
        return 77
    import pyatspi
    game_binary, sim, run_dir = (os.path.abspath(a) for a in sys.argv[1:4])
    desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus
    folder = tempfile.mkdtemp(prefix="kolbet-orca-")
    prefs = os.path.join(folder, "orca")
    os.makedirs(prefs)
    for name, text in (("kolbet_silent_speech.py", SILENT_SPEECH), ("user-settings.conf", SETTINGS),
                       ("launch_orca.py", LAUNCHER)):
        with open(os.path.join(prefs, name), "w") as f:
            f.write(text)
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                               "-noreset"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    display = ":" + os.fdopen(read).readline().strip()
    port = str(free_port(pair=True))
    env = dict(os.environ, DISPLAY=display, HOME=folder, XDG_CONFIG_HOME=folder + "/config",
               XDG_DATA_HOME=folder + "/data", XDG_CACHE_HOME=folder + "/cache", QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", ALSOFT_DRIVERS="null", KOLBET_PORT=port)
    if "ASAN_OPTIONS" in env:
        env["ASAN_OPTIONS"] += ":strict_string_checks=0"  # as in accessible_tree.py
    orca_env = {k: v for k, v in env.items() if not k.startswith(("ASAN", "LSAN", "UBSAN"))}
    log = os.path.join(folder, "orca.log")
    speech = Speech(log)
    processes = [server]
    failures = []

    def start(args, **kw):
        p = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
        processes.append(p)
        return p

    def press(*keys, gap=0.3):
        """Presses the keys one after the other; the time of the last one."""
        for key in keys:
            time.sleep(gap)
            at = time.time()
            subprocess.run(["xdotool", "key", key], env=env, check=True)
        return at

    def hear(what, pattern, after, answer=True, seconds=20):
        heard = speech.wait(pattern, after, seconds)
        if not heard:
            failures.append(f"{what}: nothing like {pattern!r} said")
        elif answer and heard[0] - after > ANSWER_TIME:
            failures.append(f"{what}: {heard[1]!r} said {heard[0] - after:.1f} s after the key")
        return heard

    try:
        start(["/usr/bin/python3", os.path.join(prefs, "launch_orca.py"), "-u", prefs, "--debug-file", log],
              env=orca_env)
        if not speech.wait(r"^Screen reader on", 0, 60):
            return "Orca did not start within 60 s"
        shutil.copytree(run_dir, os.path.join(folder, "game"))
        game = start([game_binary], cwd=folder + "/game", env=env)
        if not speech.wait(r"^Nei's Spuell", 0, 60):
            return "Orca heard no menu within 60 s"
        app = next((a for a in desktop if a is not None and a.name == "Brivlo Kolbet"), None)

        # The options: the music one step up, the voice off; then back.
        hear("music level", r"^I spuell d'Musi: 2, am lautastn is 4", press("Tab", "Tab", "Tab", "Return"), False)
        hear("music up", r"^3, am lautastn is 4\.?$", press("Right"))
        hear("voice off", r"^aus, am lautastn is 4\.?$", press("Tab", "Left", "Left", "Left"))
        press("Tab", "Tab", "Tab", "Tab", "Return")  # skill, rule, music list, "Zruck"

        # The lobby before anybody opened a session, then after.
        hear("empty search", r"^Koa Spuell gfundn\.?$", press("Tab", "Return"))
        start([sim, "--host", "Wirtshaus", "--seed", HOST_SEED, "--hands", "2", "--port", port], env=env)
        time.sleep(1)
        hear("new search", r"^1 Spuell gfundn: Wirtshaus\.?$", press("Tab", "Tab", "Tab", "Tab", "Return"), seconds=30)
        # To the list, the session chosen, "Mitspuelln".
        press("Tab", "Tab", "space", "Tab", "Tab", "Tab", "Return")
        hear("waiting screen", r"^I woat aafn Mitspuella", time.time() - 5, False)

        # Two hands: at each prompt the leftmost card; answering the announced
        # card led first, the rightmost, and the next to its left when refused.
        hands, refused_places, started = 0, set(), time.time()
        while hands < 2 and time.time() - started < 150 and game.poll() is None:
            words = table_text(app).split("\n")
            if not words or words[0] not in PROMPTS:
                time.sleep(0.2)
                hands = sum(1 for _, text in speech.read() if re.search(r"Des Spuell ghert", text))
                continue
            text = "\n".join(words)
            announced, led = line(text, "Aagsogt"), line(text, "Im Stich")
            bound = announced and led == "Gegner " + announced and "\nDu: 0 Stich" in text \
                and ", 0 Stich," in line(text, "Gegner")
            cards = len(line(text, "Dei Koartn").split(", "))
            place = max(set(range(1, cards + 1)) - refused_places) if bound else 1
            hear(f"card {place} selected", r"^%d %s\.?$" % (place, CARD), press(str(place)))
            before = table_text(app)
            if speech.wait(r"^Trumpf oder Narrisch: do muast an Trumpf gebn\.?$", press("Return"), ANSWER_TIME):
                refused_places.add(place)
                continue
            refused_places = set()
            # The move is made once the table changed (the card left the hand).
            deadline = time.time() + 15
            while time.time() < deadline and table_text(app) == before:
                time.sleep(0.2)
        said = [text for _, text in speech.read()]
        kinds = {
            "both cards of a trick": r"(^|\. )Du: %s\. Gegner: %s|(^|\. )Gegner: %s" % (CARD, CARD, CARD),
            "who took a trick": r"Da Stich ghert (dir|am Ondern)",
            "who won a hand, and the points": r"Des Spuell ghert (dir|am Ondern)\. Punkt: du \d+, Gegner \d+",
            "a prompt": r"(%s)" % "|".join(re.escape(p) for p in PROMPTS),
            "a refused card and why": r"^Trumpf oder Narrisch: do muast an Trumpf gebn\.?$",
            "the other's turn": r"Da Ondre is dro",
        }
        for kind, pattern in kinds.items():
            if not any(re.search(pattern, text) for text in said):
                failures.append(f"never heard {kind}")
        if hands < 2:
            failures.append(f"{hands} hands heard to their end")
        print("\n".join("%.2f %s" % (at - started, text) for at, text in speech.read() if at >= started))
        return "; ".join(failures) or None
    finally:
        for process in reversed(processes):
            process.kill()
            process.wait()
        if os.environ.get("KOLBET_ORCA_LOG") and os.path.exists(log):
            shutil.copy(log, os.environ["KOLBET_ORCA_LOG"])  # Orca's whole log, to see why
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    failure = main()
    if failure == 77:
        sys.exit(77)
    print("FAIL: " + failure if failure else "ok")
    sys.exit(1 if failure else 0)
