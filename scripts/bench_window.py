#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The Spinmarsh developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""The game in a real window under a private Xvfb, measured from outside.

Prints the time from process start to the first visible window, and for
SECONDS of play (gathered over as many games as that takes): ticks per second,
the median and 99th-percentile interval between ticks, the share of one core
the process uses while it plays, and its peak resident memory; the CPU share
also while the score screen and the title menu stand, and while a game stands
paused (P, early in the first game that is still going a second into play). All of it twice: with
no sound server, and with a private PulseAudio playing into a null sink. The ticks
come from the game's own log (its spinmarsh.ticks category on stderr); CPU from /proc/PID/stat,
memory from VmHWM in /proc/PID/status.

Then the music's cost: PAIRS pairs of runs with the null sink, one with the
music on and one with it off, taken in turn (on first, then off first) so a
change in the machine's load falls on both alike. Each counts the CPU seconds
the game, the X server and the sound server spend over SECONDS of play; the
medians of the shares and of each pair's difference are printed.

A last run, with the null sink's monitor recorded, times the music: from the
start of play of each game (one tick period before its first tick) to the
first sound in the monitor, and from the Enter that closes the end message
(the play screen closes on it, and the music with it) to the last sound. The
recorder asks for 10 ms blocks, which also makes the null sink mix in 10 ms
steps (left alone it mixes up to two seconds at a time); each block is stamped
on the monotonic clock when it arrives, so a delay includes up to 10 ms of
recording. The moments the sound server reports the game's output opening and
closing are timed the same way. That run's CPU figures are left out: the
recorder changes how often the sink, and with it the game's output, wakes.

First, side by side in ROUNDS rounds, each program on its own Xvfb with
openbox and two arrows held, switched every 0.7 s: the floor programs built
from --floor (straight XCB with server-side fills, a minimal Qt widget with
and without MIT-SHM; measured over SECONDS of wall time, as their own script
does), then the game silent in its window and fullscreen at twice its size
on a 1920 x 1080 screen (over SECONDS of play), and the same for --before, an
older build, if given; with --peer, another game (KBounce) playing with its
sounds on, and the game with its music, each with a private PulseAudio and
its null sink. For each: the process's share of one core, the X server's
and the sound server's, the main thread's context switches (voluntary and
involuntary) a second and a tick, and the game's share thread by thread;
then the game against the Qt floor and against the peer, all in. While a
game ticks the harness only presses keys, as it does for the floor programs:
it looks for windows only between games. Every program keeps its caches in one
folder for the whole run (the game its tunes' renderings), so the first games
fill them, as a player's first games do.

Usage: scripts/bench_window.py [--program build-bench/bin/spinmarsh] [--seconds 10]
                               [--starts 5] [--endings 7] [--pairs 5]
                               [--rounds 3] [--floor DIR] [--before PROGRAM] [--peer PROGRAM]
                               [--window-only] [--only-rounds] [--caches DIR]
"""

import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

SCORE_TITLE = "^Enter キーを押したら"
MENU_TITLE = "^Form3$"
PLAY_TITLE = "^Form1$"
MESSAGE_TITLE = "^Spinmarsh$"
PROMPT_TITLE = "^すごーい$"
GAME_GAP_NS = 500_000_000  # ticks further apart than this belong to different games
HZ = os.sysconf("SC_CLK_TCK")
IDLE_SECONDS = 5  # on the score screen, on the menu and paused
BLOCK_FRAMES = 441  # 10 ms of the monitor at 44.1 kHz, 16-bit stereo
AUDIBLE_RMS = 1e-3  # full scale 1.0; the null sink's silence is exact zeros
TICK_NS = 15_625_000  # the game's tick period
COUNTDOWN_QUIET_NS = 500_000_000  # the countdown's last pause: silent, before any music
ARROWS = [("Right", "Down"), ("Left", "Up")]  # held in turn while playing
TICK_LINE = re.compile(r"^spinmarsh\.ticks: (\d+)\n", re.MULTILINE)

GOALS = {
    "first window": "< 500 ms",
    "ticks per second": "64 ± 0.5",
    "p99 tick interval": "<= 18.7 ms",
    "CPU": "<= 2.5 % of one core",
    "paused CPU": "< 0.5 % of one core",
    "music CPU": "< 6 % of one core",
    "music cost": "<= 1.0 % of one core",
    "peak resident": "< 80 MB",
    "music start": "< 100 ms",
    "music stop": "< 100 ms",
    "main switches": "<= 200 a second",
    "fullscreen": "<= 3 % of one core",
}
# Side by side, all in: the game silent against the minimal Qt widget, and
# with its music against the peer with its sounds.
RATIO_GOALS = {("window", "floor: Qt widget"): 1.25, ("window, music on", "sounds on"): 0.75}


def fail(message):
    print(f"bench_window.py: {message}", file=sys.stderr)
    sys.exit(1)


def loadavg():
    return Path("/proc/loadavg").read_text().split()[:3]


def cpu_model():
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            return line.split(":", 1)[1].strip()
    return "unknown"


def start_xvfb(screen="1280x1024x24"):
    read_fd, write_fd = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-noreset", "-nolisten", "tcp",
         "-screen", "0", screen],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        fail("Xvfb did not start")
    return server, ":" + number


class X:
    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display)

    def find(self, title):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                                env=self.env, capture_output=True, text=True)
        ids = result.stdout.split()
        return ids[0] if ids else None

    def press(self, window, key):
        # No window manager: focus the window first or the key goes nowhere.
        subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", key],
                       env=self.env, capture_output=True)

    def focus(self, window):
        subprocess.run(["xdotool", "windowfocus", "--sync", window], env=self.env,
                       capture_output=True)

    def hold(self, down, up):
        """Lets go of the keys UP and holds the keys DOWN, in the focused window."""
        subprocess.run(["xdotool"] + [w for k in up for w in ("keyup", k)] +
                       [w for k in down for w in ("keydown", k)], env=self.env,
                       capture_output=True)


def game_environment(display, home, pulse=None):
    # No sound server unless given: neither the desktop's nor one started on
    # the game's behalf. The ticks are logged, on stderr even where Qt would
    # send its messages to the system's journal, in the default pattern.
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=str(home / "config"),
               XDG_RUNTIME_DIR=str(home / "runtime"), QT_QPA_PLATFORM="xcb",
               PULSE_SERVER=pulse or "unix:/nonexistent",
               QT_LOGGING_RULES="spinmarsh.ticks.debug=true", QT_FORCE_STDERR_LOGGING="1")
    env.pop("QT_MESSAGE_PATTERN", None)
    return env


def prepare_home(home, music=True, fullscreen=False):
    home.mkdir(exist_ok=True)
    (home / "runtime").mkdir(mode=0o700)
    config = home / "config"
    config.mkdir()
    # A record no game beats, so no name prompt comes between the games.
    # QSettings writes non-ASCII names as %UXXXX.

    def escape(text):
        return "".join(f"%U{ord(c):04X}" for c in text)
    (config / "Rollvane.ini").write_text(
        f"[{escape('データ')}]\n{escape('ハイスコア')}=2000000000\n{escape('名前')}=bench\n")
    preferences = config / "invalid.spinmarsh.spinmarsh"
    preferences.mkdir()
    (preferences / "spinmarsh.ini").write_text(
        f"[General]\nfullscreen={str(fullscreen).lower()}\nmusic={str(music).lower()}\n")


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Pulse:
    """A private PulseAudio with a null sink, as a desktop's sound server."""

    def __init__(self, folder):
        folder.mkdir()
        self.address = f"unix:{folder}/native"
        env = dict(os.environ, XDG_RUNTIME_DIR=str(folder), HOME=str(folder))
        self.server = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "-L", "module-null-sink sink_name=nul",
             "-L", f"module-native-protocol-unix auth-anonymous=1 socket={folder}/native"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        client = dict(os.environ, PULSE_SERVER=self.address)
        for _ in range(100):
            if subprocess.run(["pactl", "info"], env=client, capture_output=True).returncode == 0:
                return
            time.sleep(0.1)
        fail("PulseAudio did not start")

    def stop(self):
        stop(self.server)


class Listener(threading.Thread):
    """A client of the sound server whose output a thread reads as it comes."""

    def __init__(self, pulse, command, text=False):
        super().__init__(daemon=True)
        self.process = subprocess.Popen(
            command, env=dict(os.environ, PULSE_SERVER=pulse.address), stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=text)
        self.start()

    def stop(self):
        stop(self.process)
        self.join()


class Recorder(Listener):
    """(monotonic ns, RMS) of each 10 ms block the null sink plays."""

    def __init__(self, pulse):
        self.blocks = []
        super().__init__(pulse, ["parec", "-d", "nul.monitor", "--raw", "--format=s16le",
                                 "--rate=44100", "--channels=2",
                                 f"--latency-msec={BLOCK_FRAMES * 1000 // 44100}"])

    def run(self):
        size = BLOCK_FRAMES * 4
        pending = b""
        while chunk := os.read(self.process.stdout.fileno(), size):
            now = time.monotonic_ns()
            pending += chunk
            while len(pending) >= size:
                samples = memoryview(pending[:size]).cast("h")
                rms = (sum(v * v for v in samples) / len(samples)) ** 0.5 / 32768
                self.blocks.append((now, rms))
                pending = pending[size:]

    def first_sound(self, since):
        return next((t for t, rms in self.blocks if t > since and rms > AUDIBLE_RMS), None)

    def end_of_sound(self, since, until):
        """The first silent block after the last sound between the two moments."""
        last = None
        for t, rms in self.blocks:
            if since < t < until:
                if rms > AUDIBLE_RMS:
                    last = None
                elif last is None:
                    last = t
        return last


class StreamEvents(Listener):
    """(monotonic ns, "new" or "remove") of each sound stream the server
    announces: when the game's output opened and closed, a check on the
    recorder's figures."""

    def __init__(self, pulse):
        self.events = []
        # Line by line: into a pipe, pactl would hold its lines back.
        super().__init__(pulse, ["stdbuf", "-oL", "pactl", "subscribe"], text=True)

    def run(self):
        for line in self.process.stdout:
            if match := re.match(r"Event '(new|remove)' on sink-input", line):
                self.events.append((time.monotonic_ns(), match.group(1)))

    def first(self, kind, since):
        return next((t for t, k in self.events if k == kind and t > since), None)


def first_window(program, display, home, starts):
    """Milliseconds from each start of the program to its first visible window."""
    x = X(display)
    times = []
    for _ in range(starts):
        began = time.monotonic()
        process = subprocess.Popen([program], env=game_environment(display, home),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while x.find(SCORE_TITLE) is None:
            if process.poll() is not None:
                fail(f"{program} ended before showing a window")
            if time.monotonic() - began > 30:
                stop(process)
                fail("no window within 30 s")
            time.sleep(0.002)
        times.append((time.monotonic() - began) * 1000)
        stop(process)
        time.sleep(0.3)
    return times


class CpuSampler(threading.Thread):
    """(monotonic ns, CPU seconds) of the process every 50 ms."""

    def __init__(self, pid):
        super().__init__(daemon=True)
        self.path = Path(f"/proc/{pid}/stat")
        self.samples = []
        self.running = True

    def run(self):
        while self.running:
            try:
                fields = self.path.read_text().rsplit(")", 1)[1].split()
            except (FileNotFoundError, ProcessLookupError):
                return
            # utime and stime are fields 14 and 15; fields[0] here is field 3.
            cpu = (int(fields[11]) + int(fields[12])) / HZ
            self.samples.append((time.monotonic_ns(), cpu))
            time.sleep(0.05)

    def at(self, when):
        """CPU seconds at a moment, between the two samples around it."""
        before = [s for s in self.samples if s[0] <= when]
        after = [s for s in self.samples if s[0] >= when]
        if not before or not after:
            return None
        (t0, c0), (t1, c1) = before[-1], after[0]
        return c0 if t1 == t0 else c0 + (c1 - c0) * (when - t0) / (t1 - t0)


class ThreadSampler(CpuSampler):
    """(monotonic ns, {thread: [CPU s, voluntary, involuntary switches]}) of the
    process every 50 ms; the main thread is "main", the others go by their
    names, those of one name together."""

    def run(self):
        tasks = self.path.parent / "task"
        while self.running:
            threads = {}
            try:
                for task in tasks.iterdir():
                    status = (task / "status").read_text()
                    fields = (task / "stat").read_text().rsplit(")", 1)[1].split()
                    name = "main" if task.name == tasks.parent.name else \
                        re.search(r"^Name:\s+(.*)$", status, re.M).group(1)
                    row = threads.setdefault(name, [0.0, 0, 0])
                    row[0] += (int(fields[11]) + int(fields[12])) / HZ
                    row[1] += int(re.search(r"^voluntary_ctxt_switches:\s+(\d+)", status,
                                            re.M).group(1))
                    row[2] += int(re.search(r"^nonvoluntary_ctxt_switches:\s+(\d+)", status,
                                            re.M).group(1))
            except (FileNotFoundError, ProcessLookupError):
                return
            self.samples.append((time.monotonic_ns(), threads))
            time.sleep(0.05)

    def during(self, games):
        """Seconds sampled within the games' play, and what each thread spent
        in them: [CPU s, voluntary, involuntary switches]."""
        span, spent = 0.0, {}
        for g in games:
            inside = [s for s in self.samples if g[0] <= s[0] <= g[-1]]
            if len(inside) < 2:
                continue
            (t0, first), (t1, last) = inside[0], inside[-1]
            span += (t1 - t0) / 1e9
            for name, row in last.items():
                before = first.get(name, [0.0, 0, 0])
                total = spent.setdefault(name, [0.0, 0, 0])
                for i in range(3):
                    total[i] += row[i] - before[i]
        return span, spent


def read_ticks(tick_log):
    """The tick timestamps (ns) in the game's stderr, whole lines only."""
    if not tick_log.exists():
        return []
    return [int(stamp) for stamp in TICK_LINE.findall(tick_log.read_text())]


def read_games(tick_log):
    """The tick timestamps (ns), one list per game."""
    games = []
    for stamp in read_ticks(tick_log):
        if not games or stamp - games[-1][-1] > GAME_GAP_NS:
            games.append([])
        games[-1].append(stamp)
    return games


def play_time(games):
    return sum(g[-1] - g[0] for g in games) / 1e9


def idle_cpu(x, sampler, title):
    """Share of one core while the window with this title stands, then Enter."""
    while (window := x.find(title)) is None:
        time.sleep(0.05)
    time.sleep(1)
    t0 = time.monotonic_ns()
    time.sleep(IDLE_SECONDS)
    t1 = time.monotonic_ns()
    time.sleep(0.1)
    x.press(window, "Return")
    return 100 * (sampler.at(t1) - sampler.at(t0)) / ((t1 - t0) / 1e9)


def cpu_share(sampler, games):
    """Share of one core the sampled process used over the games' play."""
    cpu = 0.0
    for g in games:
        c0, c1 = sampler.at(g[0]), sampler.at(g[-1])
        if c0 is None or c1 is None:
            fail("CPU samples do not cover the play")
        cpu += c1 - c0
    return 100 * cpu / play_time(games)


def paused_cpu(x, sampler, tick_log):
    """Share of one core while the game in play stands paused, or None when
    it ended meanwhile (its last life may go just before the P)."""
    window = x.find(PLAY_TITLE)
    x.press(window, "p")
    time.sleep(1)
    logged = len(read_ticks(tick_log))
    t0 = time.monotonic_ns()
    time.sleep(IDLE_SECONDS)
    t1 = time.monotonic_ns()
    time.sleep(0.1)
    still = x.find(PLAY_TITLE) == window and x.find(MESSAGE_TITLE) is None
    if still and len(read_ticks(tick_log)) != logged:
        fail("the game ticked while paused")
    x.press(window, "p")
    return 100 * (sampler.at(t1) - sampler.at(t0)) / ((t1 - t0) / 1e9) if still else None


def ticking_now(tick_log):
    """Whether the game ticked within the last 100 ms."""
    ticks = read_ticks(tick_log)
    return bool(ticks) and time.monotonic_ns() - ticks[-1] < 100_000_000


def ticking(tick_log, since_ns):
    """Whether the game has been ticking for a second, and still is."""
    games = read_games(tick_log)
    now = time.monotonic_ns()
    return bool(games) and now - games[-1][-1] < 100_000_000 and \
        games[-1][-1] - games[-1][0] > 1_000_000_000 and games[-1][0] > since_ns


def play(program, display, home, seconds, pulse=None, endings=0, idle=True, pausing=True,
         others=(), keys=False):
    """Plays games until SECONDS of play are logged and ENDINGS games have
    ended a second ago or more, and one has stood paused if PAUSING; returns
    the games (a pause splits one in two), the CPU sampler, the peak resident
    memory in kB, the CPU share on the score screen, the menu (measured only
    when IDLE) and paused, and the moments (ns) the end message got its Enter.
    Given OTHERS, process ids, it returns the games and a sampler of the game
    and of each of those instead, the game's sampled thread by thread. With
    KEYS, two arrows are held during play and switched every 0.7 s, as a
    player would."""
    x = X(display)
    tick_log = home / "stderr.log"
    with tick_log.open("w") as stderr:
        process = subprocess.Popen(
            [program], env=game_environment(display, home, pulse and pulse.address),
            stdout=subprocess.DEVNULL, stderr=stderr)
    sampler = (ThreadSampler if others else CpuSampler)(process.pid)
    samplers = [sampler] + [CpuSampler(pid) for pid in others]
    for each in samplers:
        each.start()
    idle = [idle_cpu(x, sampler, SCORE_TITLE), idle_cpu(x, sampler, MENU_TITLE), None] if idle \
        else [None, None, None]
    began = time.monotonic()
    since = time.monotonic_ns()
    pressed = {}
    ends = []
    held, switched = (), 0.0
    try:
        while play_time(read_games(tick_log)) < seconds or len(ends) < endings or \
                (pausing and idle[2] is None) or \
                (ends and time.monotonic_ns() - ends[-1] < 1_000_000_000):
            if process.poll() is not None:
                fail("the game ended by itself")
            if time.monotonic() - began > 60 + (20 if keys else 10) * seconds + 20 * endings:
                fail("not enough play within the time allowed")
            if pausing and idle[2] is None and ticking(tick_log, since):
                idle[2] = paused_cpu(x, sampler, tick_log)
                since = time.monotonic_ns()  # a game unpaused counts no more
            # While a game ticks no window is looked for: a search walks every
            # window on the server, and its cost would count as the game's.
            # The arrows go to the play window, focused when it was found
            # during the countdown.
            if ticking_now(tick_log):
                if keys and time.monotonic() - switched > 0.7:
                    down = ARROWS[0] if held != ARROWS[0] else ARROWS[1]
                    x.hold(down, held)
                    held, switched = down, time.monotonic()
                time.sleep(0.1)
                continue
            # Whatever stands between us and the next game gets an Enter: the
            # end message, a name prompt, the score screen, the title menu
            # (whose first item is Start). A game counting down gets focus.
            for title in (PROMPT_TITLE, MESSAGE_TITLE, SCORE_TITLE, MENU_TITLE):
                window = x.find(title)
                if window is None:
                    continue
                if held:  # on the menu an arrow would move the choice
                    x.hold((), held)
                    held = ()
                if time.monotonic() - pressed.get(window, 0) > 1.0:
                    if title == MESSAGE_TITLE:
                        ends.append(time.monotonic_ns())
                    x.press(window, "Return")
                    pressed[window] = time.monotonic()
                break
            else:
                if keys and (window := x.find(PLAY_TITLE)) is not None:
                    x.focus(window)
            time.sleep(0.1)
        # The game in progress may still be going: count the ticks up to
        # now, and let the CPU sampler pass the last of them.
        games = read_games(tick_log)
        time.sleep(0.15)
        status = Path(f"/proc/{process.pid}/status").read_text()
        peak = int(re.search(r"VmHWM:\s+(\d+) kB", status).group(1))
    finally:
        for each in samplers:
            each.running = False
        stop(process)
    if others:
        return games, samplers
    return games, sampler, peak, idle, ends


def music_cost(programs, display, homes, pulse, seconds, pairs, xvfb):
    """Per condition ("on", "off"), one row per run: the CPU shares of the
    game, Xvfb and PulseAudio over SECONDS of play."""
    shares = {"on": [], "off": []}
    for n in range(pairs):
        for music in ("on", "off") if n % 2 == 0 else ("off", "on"):
            games, samplers = play(programs[music], display, homes[music], seconds, pulse,
                                   idle=False, pausing=False, others=(xvfb.pid, pulse.server.pid))
            span, spent = samplers[0].during(games)
            shares[music].append([100 * sum(r[0] for r in spent.values()) / span] +
                                 [cpu_share(s, games) for s in samplers[1:]])
    return shares


def music_delays(games, ends, recorder, streams):
    """Milliseconds from each start of play to the first sound, and from each
    end message's Enter to the end of the sound; the same to the output's
    opening and closing."""
    starts, stops, opens, closes = [], [], [], []
    for n, game in enumerate(games):
        # Play starts one tick period before the first tick; the music may be
        # heard before that first tick, and the countdown before it is silent.
        began = game[0] - TICK_NS
        heard = recorder.first_sound(began - COUNTDOWN_QUIET_NS)
        if heard is not None and heard < game[-1]:
            starts.append((heard - began) / 1e6)
        if (opened := streams.first("new", began - COUNTDOWN_QUIET_NS)) is not None:
            opens.append((opened - began) / 1e6)
        end = next((t for t in ends if t > game[-1]), None)
        following = (games[n + 1][0] if n + 1 < len(games) else time.monotonic_ns()) - \
            COUNTDOWN_QUIET_NS
        if end is not None:
            silent = recorder.end_of_sound(end, following)
            if silent is not None:
                stops.append((silent - end) / 1e6)
            if (closed := streams.first("remove", end)) is not None and closed < following:
                closes.append((closed - end) / 1e6)
    return starts, stops, opens, closes


def start_desktop(screen):
    """Xvfb with openbox, when there is one, as a player's desktop."""
    server, display = start_xvfb(screen)
    manager = None
    if shutil.which("openbox"):
        manager = subprocess.Popen(["openbox"], env=dict(os.environ, DISPLAY=display),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)
    return server, display, manager


def game_round(program, home, seconds, screen, fullscreen, music=False):
    """The game on its own desktop, arrows held, silent or with its music
    through a private PulseAudio: the game's threads (share of one core,
    switches a tick), the X server's share and the sound server's, over
    SECONDS of play."""
    prepare_home(home, music=music, fullscreen=fullscreen)
    server, display, manager = start_desktop(screen)
    pulse = Pulse(home / "pulse") if music else None
    try:
        others = (server.pid,) + ((pulse.server.pid,) if pulse else ())
        games, (threads, *servers) = play(program, display, home, seconds, pulse, idle=False,
                                          pausing=False, others=others, keys=True)
    finally:
        for each in (manager, server, pulse):
            if each is not None:
                each.stop() if each is pulse else stop(each)
    span, spent = threads.during(games)
    ticks = sum(len(g) - 1 for g in games) * span / play_time(games)
    row = {"process": 100 * sum(r[0] for r in spent.values()) / span,
           "threads": {name: (100 * r[0] / span, (r[1] + r[2]) / ticks)
                       for name, r in spent.items()},
           "main switches/s": (spent["main"][1] + spent["main"][2]) / span,
           "main switches/tick": (spent["main"][1] + spent["main"][2]) / ticks}
    for name, sampler in zip(("X server", "sound server"), servers):
        row[name] = cpu_share(sampler, games)
    return row


def peer_round(command, home, seconds):
    """KBounce, or another game in its place, playing with its sounds on
    through a private PulseAudio, on its own desktop in a D-Bus session of
    its own, arrows held as for the game: its share of one core, the X
    server's and the sound server's over SECONDS. A click in the middle of
    its window starts its game, which goes on by itself far longer than
    that."""
    config = home / ".config"
    config.mkdir(parents=True)
    server, display, manager = start_desktop("1280x1024x24")
    pulse = Pulse(home / "pulse")
    (config / "kbouncerc").write_text("[Sound]\nPlaySounds=true\n")
    x = X(display)
    session = subprocess.Popen(["dbus-run-session", "--"] + command,
                               env=dict(x.env, HOME=str(home), PULSE_SERVER=pulse.address),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(3)
        name = Path(command[0]).name
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", name],
                                env=x.env, capture_output=True, text=True).stdout.split()
        pids = subprocess.run(["pgrep", "-P", str(session.pid), "-x", name[:15]],
                              capture_output=True, text=True).stdout.split()
        if not window or not pids:
            fail(f"{name} did not show a window")
        geometry = dict(line.split("=") for line in subprocess.run(
            ["xdotool", "getwindowgeometry", "--shell", window[0]], env=x.env,
            capture_output=True, text=True).stdout.split())
        subprocess.run(["xdotool", "windowactivate", "--sync", window[0], "mousemove",
                        str(int(geometry["X"]) + int(geometry["WIDTH"]) // 2),
                        str(int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2), "click", "1"],
                       env=x.env, capture_output=True)
        samplers = [ThreadSampler(int(pids[0])), CpuSampler(server.pid),
                    CpuSampler(pulse.server.pid)]
        span = hold_arrows(x, samplers, seconds)
    finally:
        for each in (session, manager, server):
            stop(each)
        pulse.stop()
    return shares(samplers, span)


def hold_arrows(x, samplers, seconds):
    """Samples while two arrows are held, switched every 0.7 s, for SECONDS
    after a fifth of a second; returns the span measured."""
    for each in samplers:
        each.start()
    held = ()
    t0 = time.monotonic_ns() + 200_000_000
    while time.monotonic_ns() < t0 + seconds * 1e9 + 200_000_000:
        down = ARROWS[0] if held != ARROWS[0] else ARROWS[1]
        x.hold(down, held)
        held = down
        time.sleep(0.7)
    for each in samplers:
        each.running = False
    return [t0, t0 + int(seconds * 1e9)]


def shares(samplers, span):
    """A row of figures: the first sampler's process thread by thread, then
    the X server and the sound server if sampled."""
    seconds, spent = samplers[0].during([span])
    row = {"process": 100 * sum(r[0] for r in spent.values()) / seconds,
           "main switches/s": (spent["main"][1] + spent["main"][2]) / seconds}
    for name, sampler in zip(("X server", "sound server"), samplers[1:]):
        row[name] = cpu_share(sampler, [span])
    return row


def other_round(command, title, seconds, env=None):
    """Another program with arrows held, switched every 0.7 s, on its own
    desktop: its share of one core, the X server's, and its main thread's
    switches a second, over SECONDS."""
    server, display, manager = start_desktop("1280x1024x24")
    x = X(display)
    process = subprocess.Popen(command, env=dict(x.env, **(env or {})),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # As the floor's own script does: a second and a half to start, then
        # its window activated if it can be found (straight XCB's is not
        # seen as visible).
        time.sleep(1.5)
        if process.poll() is not None:
            fail(f"{command[0]} ended by itself")
        found = subprocess.run(["xdotool", "search", "--name", title], env=x.env,
                               capture_output=True, text=True).stdout.split()
        if found:
            subprocess.run(["xdotool", "windowactivate", found[0]], env=x.env,
                           capture_output=True)
        samplers = [ThreadSampler(process.pid), CpuSampler(server.pid)]
        span = hold_arrows(x, samplers, seconds)
    finally:
        for each in (process, manager, server):
            if each is not None:
                stop(each)
    return shares(samplers, span)


def build_floor(folder, into):
    """The floor programs built from FOLDER: straight XCB and a minimal Qt
    widget."""
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"],
                           capture_output=True, text=True, check=True).stdout.split()
    subprocess.run(["g++", "-O2", "-fPIC", "-std=c++17", str(folder / "floor.cpp"), "-o",
                    str(into / "floor-qt")] + flags, check=True)
    subprocess.run(["gcc", "-O2", str(folder / "floor_xcb.c"), "-o", str(into / "floor-xcb"),
                    "-lxcb"], check=True)
    return into / "floor-xcb", into / "floor-qt"


def compare_rounds(programs, home, seconds, rounds, floor, fullscreen=True, peer=None):
    """ROUNDS rounds, each measuring in turn the floor programs (if FLOOR),
    the PEER with its sounds on (if given), and each of the game's PROGRAMS
    (label: path) silent in its window and fullscreen (twice its size on a
    1920 x 1080 screen), and with its music on beside a PEER; one row of
    figures per round and program."""
    others = []
    if floor is not None:
        xcb, qt = build_floor(floor, home)
        others += [("floor: XCB, server-side fills", [str(xcb)], "^Floor$", None),
                   ("floor: Qt widget", [str(qt)], "^Floor$", None),
                   ("floor: Qt widget, QT_XCB_NO_MITSHM=1", [str(qt)], "^Floor$",
                    {"QT_XCB_NO_MITSHM": "1"})]
    figures = {}
    for n in range(rounds):
        for label, command, title, env in others:
            print(f"round {n + 1}: {label}", file=sys.stderr)
            figures.setdefault(label, []).append(other_round(command, title, seconds, env))
        if peer is not None:
            label = f"{Path(peer).name}, sounds on"
            print(f"round {n + 1}: {label}", file=sys.stderr)
            figures.setdefault(label, []).append(
                peer_round([peer], home / re.sub(r"\W+", "-", f"round {n} {label}"), seconds))
        for name, program in programs.items():
            for label, screen, full, music in (
                    (f"{name}, window", "1280x1024x24", False, False),
                    (f"{name}, fullscreen 2x", "1920x1080x24", True, False),
                    (f"{name}, window, music on", "1280x1024x24", False, True)):
                if (full and not fullscreen) or (music and peer is None):
                    continue
                print(f"round {n + 1}: {label}", file=sys.stderr)
                round_home = home / re.sub(r"\W+", "-", f"round {n} {label}")
                try:
                    row = game_round(program, round_home, seconds, screen, full, music)
                except SystemExit:  # said why; the other rounds still count
                    continue
                figures.setdefault(label, []).append(row)
    return figures


def print_rounds(figures, rounds, seconds):
    print(f"--- side by side, arrows held: {rounds} rounds of {seconds:.0f} s "
          "(the game: of play), each on its own Xvfb + openbox (+ PulseAudio null sink where "
          "sound is on); medians, then each round")
    for label, rows in figures.items():
        if len(rows) < rounds:
            print(f"{label}: {rounds - len(rows)} of the rounds failed")
        parts = [p for p in ("process", "X server", "sound server") if p in rows[0]]
        together = [sum(r[p] for p in parts) for r in rows]
        switches = [r["main switches/s"] for r in rows]
        line = (f"{label}: all in {statistics.median(together):.1f} % (" +
                ", ".join(f"{p} {statistics.median(r[p] for r in rows):.1f}" for p in parts) +
                f"); main thread {statistics.median(switches):.0f} switches/s")
        if "main switches/tick" in rows[0]:
            line += (f", {statistics.median(r['main switches/tick'] for r in rows):.2f} a tick"
                     f" (goal {GOALS['main switches']})")
        if label.endswith("fullscreen 2x"):
            line += f"  goal all in {GOALS['fullscreen']}"
        print(line + "  [" + ", ".join(f"{t:.1f}" for t in together) + "]")
        if "threads" in rows[0]:
            names = sorted({n for r in rows for n in r["threads"]})

            def median(name, i):
                return statistics.median(r["threads"].get(name, (0.0, 0.0))[i] for r in rows)
            print("    by thread, % of one core (switches a tick): " + ", ".join(
                f"{n} {median(n, 0):.2f} ({median(n, 1):.2f})" for n in names))
    medians = {label: statistics.median(
        sum(r[p] for p in ("process", "X server", "sound server") if p in r) for r in rows)
        for label, rows in figures.items() if rows}
    for (game, other), goal in RATIO_GOALS.items():
        for label, value in medians.items():
            peer = next((m for m in medians if m.endswith(other)), None)
            if label.endswith(", " + game) and peer is not None:
                print(f"{label} against {peer}: {value / medians[peer]:.2f} times, all in  "
                      f"goal <= {goal}")


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, max(0, -(-len(ordered) * p // 100) - 1))]


def main():
    root = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", default=str(root / "build-bench/bin/spinmarsh"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--starts", type=int, default=5)
    parser.add_argument("--endings", type=int, default=7,
                        help="games to time the music's start and stop over")
    parser.add_argument("--pairs", type=int, default=5,
                        help="runs with the music on and off, for its cost")
    parser.add_argument("--rounds", type=int, default=3,
                        help="rounds of the side-by-side comparison (0: none)")
    parser.add_argument("--floor", type=Path,
                        help="folder of the floor programs (floor.cpp, floor_xcb.c) to "
                             "measure beside the game")
    parser.add_argument("--before", help="another build of the game to compare side by side")
    parser.add_argument("--peer", help="another game to compare with the music on, side by side "
                                       "(/usr/games/kbounce)")
    parser.add_argument("--window-only", action="store_true",
                        help="the comparison without the fullscreen runs")
    parser.add_argument("--caches", type=Path,
                        help="the programs' cache folder, kept from run to run (default: a new "
                             "one for each run)")
    parser.add_argument("--only-rounds", action="store_true",
                        help="the side-by-side comparison alone")
    args = parser.parse_args()
    # One folder of caches for the whole run and every program in it: the
    # game keeps its tunes' renderings there, KBounce its pictures. The first
    # games fill it as a player's first games do.
    caches = None if args.caches else tempfile.TemporaryDirectory(prefix="spinmarsh-bench-cache-")
    os.environ["XDG_CACHE_HOME"] = str(args.caches) if args.caches else caches.name
    for tool in ("Xvfb", "xdotool"):
        if shutil.which(tool) is None:
            fail(f"{tool} is missing: scripts/install-deps installs it")
    if not os.access(args.program, os.X_OK):
        fail(f"no program at {args.program}: build it first (scripts/bench does)")

    sound = shutil.which("pulseaudio") and shutil.which("pactl")
    if not sound:
        print("bench_window.py: pulseaudio or pactl missing: measuring without a sound server only")
    load_before = loadavg()
    if args.rounds > 0:
        with tempfile.TemporaryDirectory(prefix="spinmarsh-bench-") as tmp:
            programs = {"Spinmarsh": args.program}
            if args.before:
                programs["Spinmarsh before"] = args.before
            figures = compare_rounds(programs, Path(tmp), args.seconds, args.rounds, args.floor,
                                     not args.window_only, args.peer)
        print(f"machine: {os.cpu_count()} cores, {cpu_model()}")
        print(f"load average before: {' '.join(load_before)}, after: {' '.join(loadavg())}")
        print_rounds(figures, args.rounds, args.seconds)
        if args.only_rounds:
            return
        load_before = loadavg()
    server, display = start_xvfb()
    runs = []
    delays = cost = None
    try:
        with tempfile.TemporaryDirectory(prefix="spinmarsh-bench-") as tmp:
            home = Path(tmp)
            prepare_home(home)
            quiet_home = home / "music-off"
            prepare_home(quiet_home, music=False)
            starts = first_window(args.program, display, home, args.starts)
            runs.append(("no sound server",) + play(args.program, display, home, args.seconds))
            if sound:
                pulse = Pulse(home / "pulse")
                try:
                    runs.append(("PulseAudio null sink",) +
                                play(args.program, display, home, args.seconds, pulse))
                    programs = {"on": args.program, "off": args.program}
                    cost = music_cost(programs, display, {"on": home, "off": quiet_home},
                                      pulse, args.seconds, args.pairs, server)
                    recorder, streams = Recorder(pulse), StreamEvents(pulse)
                    try:
                        games, _, _, _, ends = play(args.program, display, home, 0, pulse,
                                                    args.endings, pausing=False)
                    finally:
                        recorder.stop()
                        streams.stop()
                    delays = music_delays(games, ends, recorder, streams)
                finally:
                    pulse.stop()
    finally:
        server.terminate()
        server.wait()
    load_after = loadavg()

    print(f"machine: {os.cpu_count()} cores, {cpu_model()}")
    print(f"load average before: {' '.join(load_before)}, after: {' '.join(load_after)}")
    print(f"first window: median {statistics.median(starts):.0f} ms over {len(starts)} starts "
          f"({', '.join(f'{t:.0f}' for t in starts)} ms)  goal {GOALS['first window']}")
    playing = {}
    for name, games, sampler, peak_kb, idle, _ in runs:
        intervals = [(b - a) / 1e6 for g in games for a, b in zip(g, g[1:])]
        span = play_time(games)
        if not intervals or span <= 0:
            fail("no ticks logged")
        playing[name] = cpu_share(sampler, games)
        rate = len(intervals) / span
        print(f"--- {name}")
        print(f"CPU on the score screen: {idle[0]:.1f} %, on the title menu: {idle[1]:.1f} % "
              f"of one core ({IDLE_SECONDS} s each)")
        print(f"CPU while paused: {idle[2]:.2f} % of one core ({IDLE_SECONDS} s, no tick)  "
              f"goal {GOALS['paused CPU']}")
        print(f"play measured: {span:.1f} s in {len(games)} games, {len(intervals)} tick intervals")
        print(f"ticks per second: {rate:.2f}  goal {GOALS['ticks per second']}")
        print(f"tick interval: median {statistics.median(intervals):.2f} ms, "
              f"p99 {percentile(intervals, 99):.2f} ms, max {max(intervals):.2f} ms  "
              f"goal p99 {GOALS['p99 tick interval']}")
        print(f"CPU while playing: {playing[name]:.1f} % of one core  goal {GOALS['CPU']}")
        print(f"peak resident memory: {peak_kb / 1024:.1f} MB (VmHWM)  "
              f"goal {GOALS['peak resident']}")
    if len(playing) == 2:
        extra = playing["PulseAudio null sink"] - playing["no sound server"]
        print(f"the music's CPU while playing: {extra:.1f} % of one core  "
              f"goal {GOALS['music CPU']}")
    if cost is not None:
        print(f"--- the music's cost: {args.pairs} pairs of runs with the null sink, "
              f"{args.seconds:.0f} s of play each")
        processes = ("game", "Xvfb", "PulseAudio", "together")
        for music in ("on", "off"):
            rows = [row + [sum(row)] for row in cost[music]]
            medians = [statistics.median(column) for column in zip(*rows)]
            print(f"music {music}: " +
                  ", ".join(f"{p} {m:.1f}" for p, m in zip(processes, medians)) +
                  " % of one core (medians; together by run: " +
                  ", ".join(f"{row[-1]:.1f}" for row in rows) + ")")
        differences = [[a - b for a, b in zip(on + [sum(on)], off + [sum(off)])]
                       for on, off in zip(cost["on"], cost["off"])]
        medians = [statistics.median(column) for column in zip(*differences)]
        print("the music's cost, on minus off (median of the pairs): " +
              ", ".join(f"{p} {m:+.1f}" for p, m in zip(processes, medians)) +
              f" % of one core  goal {GOALS['music cost']}")
    if delays is not None:
        print("--- PulseAudio null sink, its monitor recorded in 10 ms blocks")
        for what, values in zip(("start", "stop", "output opened", "output closed"), delays):
            if not values:
                fail(f"no music {what} seen")
            goal = f"  goal {GOALS['music ' + what]}" if "music " + what in GOALS else ""
            print(f"music {what}: median {statistics.median(values):.0f} ms over {len(values)} "
                  f"games ({', '.join(f'{v:.0f}' for v in values)} ms){goal}")


if __name__ == "__main__":
    main()
