#!/usr/bin/env python3
"""Random-input soak of the game binary on an X display (Xvfb), driven with xdotool.

Started by soak.sh, which owns the X server. Runs <build>/OrvEngine for the given minutes, sends
random keys, clicks, focus changes, hides/shows and resizes, samples the resident memory every
second, and prints a summary. Exit status: 0 pass, 1 fail (crash, sanitizer report, memory
growth above the limit, or a game that could not be started).
"""
import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

# Keys as xdotool names them. The game reads the arrows, W A S D (movement; also menu moves),
# Space (cast, purify), Return (menus, dialogue lines), Escape (pause), F11 (fullscreen) and
# Down (Dora's teleport). Q, E, R and Tab do nothing in play; they check that stray keys are ignored.
GAME_KEYS = ["Left", "Right", "Up", "Down", "w", "a", "s", "d", "space", "Return", "Escape"]
# Levels run to the right: D is held most, so the input gets past the first screen of a level;
# Escape is rarest, since it and Enter on the pause menu lead back out of a level.
GAME_KEY_WEIGHTS = [2, 2, 2, 2, 3, 2, 3, 8, 2, 2, 1]
STRAY_KEYS = ["q", "e", "r", "Tab", "F11"]
# Shift debug keys (god mode, heal, kill enemies, kill Dora, kill Ilo, aggro, weaken): kept, rarely,
# because they move the game through deaths, the lose screen and the boss's end, which random
# walking alone almost never reaches; they ship in the same binary a player runs.
DEBUG_KEYS = ["g", "h", "k", "p", "l", "0", "1", "2", "m"]

SANITIZER_PATTERN = re.compile(
    r"ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: \w*Sanitizer")


def rss_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except (OSError, ValueError):
        pass
    return None


def xdo(*args, timeout=5):
    try:
        result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=timeout)
        return result.stdout.strip()
    except subprocess.TimeoutExpired:
        return ""


class Game:
    """One run of the binary: its process, window and memory samples."""

    def __init__(self, build, out_dir, index, env):
        self.index = index
        self.stderr_path = os.path.join(out_dir, f"game{index}.stderr")
        self.stdout_path = os.path.join(out_dir, f"game{index}.stdout")
        with open(self.stdout_path, "w") as out, open(self.stderr_path, "w") as err:
            self.proc = subprocess.Popen(["./OrvEngine"], cwd=build, env=env, stdout=out, stderr=err,
                                         start_new_session=True)
        self.started = time.monotonic()
        self.ended = None  # set once the process is gone, so age() stops there
        self.samples = []  # (seconds since start, RSS KiB)
        self.window = None

    def age(self):
        return (self.ended or time.monotonic()) - self.started

    def running(self):
        if self.ended is None and self.proc.poll() is not None:
            self.ended = time.monotonic()
        return self.ended is None

    def sample(self):
        kib = rss_kib(self.proc.pid)
        if kib is not None:
            self.samples.append((self.age(), kib))

    def find_window(self):
        if self.window is None:
            ids = xdo("search", "--pid", self.proc.pid).split()
            self.window = ids[-1] if ids else None
        return self.window

    def stop(self, grace):
        """SIGTERM (SDL turns it into a quit), then SIGKILL after `grace` seconds. Returns the status."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=grace)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
                self.running()
                return "killed after SIGTERM timeout"
        self.running()
        return self.proc.returncode

    def growth_kib(self):
        """Peak RSS after the first minute minus the peak of the first minute (None when too short)."""
        first = [kib for t, kib in self.samples if t <= 60.0]
        later = [kib for t, kib in self.samples if t > 60.0]
        if not first or not later:
            return None
        return max(later) - max(first)


class Driver:
    def __init__(self, rng, helper_window):
        self.rng = rng
        self.helper_window = helper_window
        self.inputs = 0
        self.kinds = {}

    def count(self, kind):
        self.inputs += 1
        self.kinds[kind] = self.kinds.get(kind, 0) + 1

    def act(self, game):
        window = game.find_window()
        if not window:
            time.sleep(0.2)
            return
        roll = self.rng.random()
        if roll < 0.60:
            self.tap_or_hold(self.rng.choices(GAME_KEYS, GAME_KEY_WEIGHTS)[0])
        elif roll < 0.67:
            self.chord()
        elif roll < 0.71:
            self.tap_or_hold(self.rng.choice(STRAY_KEYS), hold=False)
        elif roll < 0.73:
            xdo("key", "--delay", "30", "shift+" + self.rng.choice(DEBUG_KEYS))
            self.count("debug key")
        elif roll < 0.87:
            self.click(window)
        elif roll < 0.93:
            self.focus_change(window)
        elif roll < 0.99:
            self.resize(window)
        else:
            self.hide_show(window)

    def tap_or_hold(self, key, hold=None):
        if hold is None:
            hold = self.rng.random() < 0.4
        seconds = self.rng.uniform(0.2, 1.5) if hold else self.rng.uniform(0.02, 0.12)
        xdo("keydown", key)
        time.sleep(seconds)
        xdo("keyup", key)
        self.count("key")

    def chord(self):
        # Two keys held together: diagonal walking, or a key held while arrows are typed.
        first, second = self.rng.sample(GAME_KEYS[:8], 2)
        xdo("keydown", first)
        time.sleep(self.rng.uniform(0.05, 0.4))
        xdo("keydown", second)
        time.sleep(self.rng.uniform(0.05, 0.8))
        xdo("keyup", second, "keyup", first)
        self.count("key")
        self.count("key")

    def click(self, window):
        geometry = xdo("getwindowgeometry", window)
        match = re.search(r"Geometry: (\d+)x(\d+)", geometry)
        width, height = (int(match.group(1)), int(match.group(2))) if match else (640, 360)
        x, y = self.rng.randrange(max(width, 1)), self.rng.randrange(max(height, 1))
        button = 1 if self.rng.random() < 0.85 else self.rng.choice([2, 3])
        xdo("mousemove", "--window", window, x, y, "click", button)
        self.count("click")

    def focus_change(self, window):
        # Focus goes to the helper window, sometimes with a key still held, then comes back.
        held = self.rng.choice(GAME_KEYS) if self.rng.random() < 0.3 else None
        if held:
            xdo("keydown", held)
        if self.helper_window:
            xdo("windowfocus", self.helper_window)
        time.sleep(self.rng.uniform(0.1, 1.0))
        if held:
            xdo("keyup", held)
        xdo("windowfocus", window)
        self.count("focus change")

    def resize(self, window):
        width, height = self.rng.randint(320, 1280), self.rng.randint(200, 720)
        xdo("windowsize", window, width, height)
        self.count("resize")

    def hide_show(self, window):
        xdo("windowunmap", window)
        time.sleep(self.rng.uniform(0.2, 1.5))
        xdo("windowmap", window)
        xdo("windowfocus", window)
        self.count("hide and show")


def sanitizer_reports(out_dir):
    found = []
    for name in sorted(os.listdir(out_dir)):
        if not (name.startswith("sanitizer") or name.endswith(".stderr")):
            continue
        with open(os.path.join(out_dir, name), errors="replace") as handle:
            for line in handle:
                if SANITIZER_PATTERN.search(line):
                    found.append(f"{name}: {line.strip()}")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--minutes", type=float, default=10.0)
    parser.add_argument("--max-growth-mib", type=float, required=True)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--helper-window", default="")
    parser.add_argument("--exit-grace", type=float, default=120.0)
    args = parser.parse_args()

    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    env = dict(os.environ)
    driver = Driver(rng, args.helper_window)
    deadline = time.monotonic() + args.minutes * 60.0
    games, statuses, failures = [], [], []

    while time.monotonic() < deadline:
        game = Game(args.build, args.out, len(games), env)
        games.append(game)
        next_sample = time.monotonic()
        while time.monotonic() < deadline and game.running():
            if time.monotonic() >= next_sample:
                game.sample()
                next_sample += 1.0
            if game.age() > 3.0:
                driver.act(game)
            else:
                time.sleep(0.2)
        if game.running():
            statuses.append(game.stop(args.exit_grace))
            break
        status = game.proc.returncode
        statuses.append(status)
        if status != 0:
            failures.append(f"run {game.index} ended with status {status} after {game.age():.0f} s")
            break
        # A clean quit (the Quit box answered Yes by a random click or Enter): start again.
        print(f"run {game.index} quit by the input after {game.age():.0f} s; starting again", flush=True)

    reports = sanitizer_reports(args.out)
    if reports:
        failures.append(f"{len(reports)} sanitizer line(s), first: {reports[0]}")
    for status in statuses:
        if status != 0 and not any("status" in f for f in failures):
            failures.append(f"exit status {status}")

    peak = max((kib for g in games for _, kib in g.samples), default=0)
    growths = [(g.index, g.growth_kib()) for g in games if g.growth_kib() is not None]
    worst = max((kib for _, kib in growths), default=None)
    if worst is not None and worst > args.max_growth_mib * 1024:
        failures.append(f"memory grew {worst / 1024:.1f} MiB after the first minute (limit {args.max_growth_mib} MiB)")

    with open(os.path.join(args.out, "rss.csv"), "w") as csv:
        csv.write("run,seconds,rss_kib\n")
        for g in games:
            for t, kib in g.samples:
                csv.write(f"{g.index},{t:.1f},{kib}\n")

    minutes = sum(g.age() for g in games) / 60.0
    print(f"seed: {seed}")
    print(f"minutes run: {minutes:.1f} in {len(games)} run(s)")
    print(f"inputs sent: {driver.inputs} ({', '.join(f'{k} {v}' for k, v in sorted(driver.kinds.items()))})")
    print(f"peak RSS: {peak / 1024:.1f} MiB")
    for index, kib in growths:
        g = games[index]
        first = max(k for t, k in g.samples if t <= 60.0)
        print(f"run {index}: RSS at 1 min (peak) {first / 1024:.1f} MiB, later peak "
              f"{(first + kib) / 1024:.1f} MiB, growth after the first minute {kib / 1024:+.1f} MiB")
    if worst is None:
        print("growth after the first minute: not measured (no run lasted past its first minute)")
    print(f"exit status: {', '.join(str(s) for s in statuses)}")
    print(f"sanitizer reports: {len(reports)}")
    for failure in failures:
        print(f"FAIL: {failure}")
    print("RESULT: " + ("FAIL" if failures else "PASS"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
