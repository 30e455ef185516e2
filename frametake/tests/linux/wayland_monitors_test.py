"""libframetake.so's monitors on the headless sway bench, against sway's own report
(swaymsg -t get_outputs): two outputs at scales 1, 1.5 and 2; which session the library takes
(forced by HALVEX_DESKTOP_BACKEND, or a compositor that is missing); a stalled compositor.

Usage: wayland_monitors_test.py LIBFRAMETAKE BENCH_DIR
"""
import ctypes
import json
import os
import signal
import subprocess
import sys
from pathlib import Path

from wayland_bench import ScreenInfo, check, enter_bench, failures

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)



frametake = ctypes.CDLL(LIBRARY)
frametake.getScreenCountEx.argtypes = [ctypes.c_uint8]
frametake.getScreen.argtypes = [ctypes.c_int32, ctypes.POINTER(ScreenInfo)]


def sway(*command):
    return subprocess.run(["swaymsg", *command], capture_output=True, text=True, check=True).stdout


def records(unaware):
    count = frametake.getScreenCountEx(1 if unaware else 0)
    found = []
    for index in range(count):
        info = ScreenInfo()
        frametake.getScreen(index, ctypes.byref(info))
        found.append((info.boundsX, info.boundsY, info.width, info.height))
    return sorted(found)


def sway_records(unaware):
    """What sway reports, as records: logical rectangles, or device pixels at the logical
    position times the output's scale; the output at logical (0, 0) is the origin."""
    expected = []
    for output in json.loads(sway("-r", "-t", "get_outputs")):
        rect, mode, scale = output["rect"], output["current_mode"], output["scale"]
        if unaware:
            expected.append((rect["x"], rect["y"], rect["width"], rect["height"]))
        else:
            expected.append((round(rect["x"] * scale), round(rect["y"] * scale), mode["width"],
                              mode["height"]))
    return sorted((float(x), float(y), w, h) for x, y, w, h in expected)


LAYOUTS = {
    "scale 1": ["HEADLESS-1 scale 1 position 0 0", "HEADLESS-2 scale 1 position 1920 0"],
    "scales 1.5 and 2": ["HEADLESS-1 scale 1.5 position 0 0", "HEADLESS-2 scale 2 position 1280 0"],
    "the second output at the origin, the first at scale 2 right of it":
        ["HEADLESS-2 scale 1 position 0 0", "HEADLESS-1 scale 2 position 1280 0"],
}
for name, outputs in LAYOUTS.items():
    for output in outputs:
        sway("output", *output.split())
    for unaware in (False, True):
        check(f"{name}: {'logical units' if unaware else 'device pixels'} as sway reports them",
              records(unaware), sway_records(unaware))



def fresh_count(**changes):
    """getScreenCount in a new process (an empty table) with the environment changed."""
    environment = {**os.environ, **changes}
    program = (f"import ctypes; print(ctypes.CDLL({LIBRARY!r}).getScreenCount())")
    return int(subprocess.run([sys.executable, "-c", program], env=environment, check=True,
                              capture_output=True, text=True).stdout)


check("on its own, the library takes the Wayland session", fresh_count(), 2)
check("forced X11 without an X display: no monitors",
      fresh_count(HALVEX_DESKTOP_BACKEND="x11"), 0)
check("forced Wayland without a compositor: no monitors",
      fresh_count(HALVEX_DESKTOP_BACKEND="wayland", WAYLAND_DISPLAY="no-such-compositor"), 0)

sway_group = int((BENCH / "sway.pid").read_text())
os.killpg(sway_group, signal.SIGSTOP)
try:
    check("a stalled compositor: no monitors, and the call returns", frametake.getScreenCount(), 0)
finally:
    os.killpg(sway_group, signal.SIGCONT)
check("the compositor going on: its monitors again", frametake.getScreenCount(), 2)

print(f"{len(LAYOUTS) * 2 + 5 - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
