#!/usr/bin/env python3
"""Walks the wizard as a person does, on a real X server with a window
manager: Xvfb and openbox, keys and clicks sent by xdotool to the window the
manager gave focus to. The demo disc is in the emulated drive and its titles
are in the title cache of a sandbox of the walk's own.

  desktop_walk.py BUILD_DIR SKIN keys|mouse

keys:  only the keyboard: Return on every page, Alt+F for FLAC on the format
       page; every track is ripped to FLAC.
mouse: only the mouse: the second track's box is clicked off, then Next,
       Start and Close are clicked; the other three tracks are ripped to MP3.

The walk waits for each page by watching the window's picture: an action is
done when the picture has changed and then kept still a while. It fails when
the files are not what the walk asked for, or the wizard does not close.
"""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

# Where things are in each skin's window at 1x, from its bottom-right corner
# (the Next button, which is also Start; the Cancel button, which is Close on
# the final page) and from its top-left corner (the second track's check box
# on the tracks page).
LAYOUT = {
    "aero": {"next": (141, 22), "close": (53, 22), "second_track": (53, 111)},
    "classic": {"next": (230, 23), "close": (138, 23), "second_track": (47, 148)},
}
SETTLE = 0.6  # seconds the picture stays the same for a page to count as shown
LIMIT = 60    # seconds any one step may take


def fail(message):
    print("desktop walk: " + message, file=sys.stderr)
    sys.exit(1)


class Desktop:
    """Xvfb on a free display with openbox on it."""

    def __init__(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as answer:
            number = answer.readline().strip()
        if not number:
            fail("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + number)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The manager is there once it names itself on the root window.
        self.until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(["xprop", "-root"]), "openbox to start")

    def run(self, args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True).stdout

    def until(self, ready, what, limit=LIMIT):
        end = time.monotonic() + limit
        while not ready():
            if time.monotonic() > end:
                fail("gave up waiting for " + what)
            time.sleep(0.05)

    def close(self):
        for process in (self.wm, self.xvfb):
            process.terminate()
            process.wait()


class Wizard:
    def __init__(self, desktop, build, skin, sandbox):
        self.desktop = desktop
        env = dict(desktop.env, HOME=sandbox, XDG_CONFIG_HOME=sandbox + "/.config",
                   XDG_DATA_HOME=sandbox + "/.local/share", XDG_CONFIG_DIRS=sandbox + "/xdg",
                   TESSLOW_DRIVES=build + "/demo/demo.cue", TESSLOW_SKIN=skin,
                   TESSLOW_MUSICBRAINZ_URL="http://127.0.0.1:9", TESSLOW_ACCURATERIP_URL="http://127.0.0.1:9",
                   TESSLOW_COVERART_URL="http://127.0.0.1:9")
        self.process = subprocess.Popen([build + "/bin/tesslow"], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = ""
        desktop.until(self.found, "the wizard's window to be shown and focused")
        self.picture = self.grab()
        self.settle()

    def found(self):
        active = self.desktop.run(["xdotool", "getactivewindow"]).strip()
        if active and self.desktop.run(["xdotool", "getwindowname", active]).strip() == "Tesslow":
            self.window = active
        return bool(self.window)

    def grab(self):
        shot = subprocess.run(["xwd", "-silent", "-id", self.window], env=self.desktop.env, capture_output=True)
        return hashlib.sha256(shot.stdout).hexdigest()

    def settle(self, still=SETTLE):
        """Waits until the picture has kept still for `still` seconds."""
        still_since = time.monotonic()
        end = still_since + LIMIT
        while time.monotonic() - still_since < still:
            if time.monotonic() > end:
                fail("the window never kept still")
            time.sleep(0.1)
            now = self.grab()
            if now != self.picture:
                self.picture, still_since = now, time.monotonic()

    def act(self, *xdotool, still=SETTLE):
        """Does one thing and waits for the window to show its effect."""
        before = self.picture
        self.desktop.run(["xdotool"] + list(xdotool))
        self.desktop.until(lambda: self.grab() != before, "the window to change after " + " ".join(xdotool))
        self.picture = ""
        self.settle(still)

    def size(self):
        geometry = self.desktop.run(["xdotool", "getwindowgeometry", "--shell", self.window])
        values = dict(line.split("=") for line in geometry.split() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def click(self, x, y, still=SETTLE):
        self.act("mousemove", "--window", self.window, str(x), str(y), "click", "1", still=still)

    def click_button(self, skin, button, still=SETTLE):
        width, height = self.size()
        right, bottom = LAYOUT[skin][button]
        self.click(width - right, height - bottom, still)


def main():
    build, skin, input_kind = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
    for tool in ("Xvfb", "openbox", "xdotool", "xwd", "xprop"):
        if not shutil.which(tool):
            fail(tool + " is missing (scripts/install-deps.sh installs it)")
    sandbox = tempfile.mkdtemp(prefix="tesslow-walk-")
    music = os.path.join(sandbox, "Music")
    os.makedirs(os.path.join(sandbox, ".local/share/Corvalen"))
    os.makedirs(music)
    shutil.copy(build + "/demo/CDDBCache.xml", os.path.join(sandbox, ".local/share/Corvalen"))
    desktop = Desktop()
    try:
        wizard = Wizard(desktop, build, skin, sandbox)
        # Welcome; the waiting page finds the disc and goes on to the tracks
        # by itself (it looks every 2 seconds, so a longer stillness is waited for).
        if input_kind == "keys":
            wizard.act("key", "Return", still=2.5)
        else:
            wizard.click_button(skin, "next", still=2.5)
        if input_kind == "keys":
            wizard.act("key", "Return")        # tracks
            wizard.act("key", "alt+f")         # format: FLAC
            for _ in range(4):                 # format, quality, folder, ready (Start)
                wizard.act("key", "Return")
        else:
            x, y = LAYOUT[skin]["second_track"]
            wizard.click(x, y)
            for _ in range(5):                 # tracks, format, quality, folder, ready (Start)
                wizard.click_button(skin, "next")
        log = os.path.join(music, "The Tesslow Ensemble - Plucked Strings & Other Stories.log")
        desktop.until(lambda: os.path.exists(log), "the rip to end")
        wizard.settle()
        # Close, in Cancel's place on the final page.
        if input_kind == "keys":
            desktop.run(["xdotool", "key", "Escape"])
        else:
            width, height = wizard.size()
            right, bottom = LAYOUT[skin]["close"]
            desktop.run(["xdotool", "mousemove", "--window", wizard.window, str(width - right), str(height - bottom),
                         "click", "1"])
        try:
            wizard.process.wait(LIMIT)
        except subprocess.TimeoutExpired:
            fail("the wizard did not close")

        ripped = sorted(name for name in os.listdir(music) if not name.endswith((".log", ".cue")))
        titles = ["[01] Morning Pluck", "[02] Café Étude", "[03] Lantern Waltz", "[04] Coda _ Fade"]
        if input_kind == "keys":
            wanted = ["The Tesslow Ensemble - %s.flac" % title for title in titles]
        else:
            wanted = ["The Tesslow Ensemble - %s.mp3" % title for title in titles if "[02]" not in title]
        if ripped != wanted:
            fail("ripped %s, wanted %s" % (ripped, wanted))
    finally:
        desktop.close()
        shutil.rmtree(sandbox, ignore_errors=True)
    print("desktop walk (%s, %s): ripped what was asked" % (skin, input_kind))


if __name__ == "__main__":
    main()
