"""libframetake.so on the headless KWin bench (cmake/wayland/kwin-bench), run by the bench's
granted interpreter: the monitor against KWin's own report (wayland-info), captures of the
bench's one-colour window through ScreenShot2, and the ways a capture must fail cleanly: a
process KWin does not grant, a stalled session bus.

Usage: kwin-bench run BENCH_DIR kwin_capture_test.py LIBFRAMETAKE BENCH_DIR
       (and, for the ungranted process: kwin_capture_test.py LIBFRAMETAKE BENCH_DIR --capture)
"""
import ctypes
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from PIL import Image

from wayland_bench import ScreenInfo, enter_bench

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)
WINDOW = (0x33, 0x66, 0x99)  # the bench's xterm
frametake = ctypes.CDLL(LIBRARY)
frametake.getScreenCountEx.argtypes = [ctypes.c_uint8]
frametake.getScreen.argtypes = [ctypes.c_int32, ctypes.POINTER(ScreenInfo)]
frametake.captureScreen.argtypes = [ctypes.POINTER(ScreenInfo)] + [ctypes.c_int32] * 4
frametake.captureScreen.restype = ctypes.c_char_p


def capture(x, y, width, height):
    frametake.getScreenCount()
    origin = ScreenInfo()
    frametake.getScreen(0, ctypes.byref(origin))
    return frametake.captureScreen(ctypes.byref(origin), x, y, width, height).decode()


if sys.argv[3:] == ["--capture"]:
    print(capture(600, 400, 64, 64))
    sys.exit(0)

failures = []


def check(what, got, expected):
    print(("ok   " if got == expected else "FAIL ") + what)
    if got != expected:
        print(f"     got      {got}\n     expected {expected}")
        failures.append(what)


def kwin_records():
    """KWin's outputs as wayland-info reports them: (x, y, width, height) in both modes."""
    report = subprocess.run(["wayland-info"], capture_output=True, text=True, check=True).stdout
    modes = re.findall(r"width: (\d+) px, height: (\d+) px, refresh: [\d.]+ Hz,\s+flags: current",
                       report)
    places = re.findall(r"\bx: (-?\d+), y: (-?\d+), scale: (\d+)", report)
    return sorted((float(x), float(y), int(w), int(h)) for (x, y, _), (w, h) in zip(places, modes))


def records(unaware):
    found = []
    for index in range(frametake.getScreenCountEx(1 if unaware else 0)):
        info = ScreenInfo()
        frametake.getScreen(index, ctypes.byref(info))
        found.append((info.boundsX, info.boundsY, info.width, info.height))
    return sorted(found)


for unaware in (False, True):
    check(f"monitors in {'logical units' if unaware else 'device pixels'} as KWin reports them",
          records(unaware), kwin_records())

os.environ["TMPDIR"] = tempfile.mkdtemp(prefix="kwin-captures.")


def colours_of(rectangle):
    path = capture(*rectangle)
    if not path:
        return {}
    with Image.open(path) as picture:
        found = {colour: count for count, colour in picture.convert("RGB").getcolors(1 << 20)}
    os.unlink(path)
    return found


for _ in range(100):  # the bench's window may still be on its way
    if colours_of((600, 400, 8, 8)) == {WINDOW: 64}:
        break
    time.sleep(0.2)
BLACK = (0, 0, 0)
# name, rectangle, {colour: pixels}: inside the window, and across the desktop's corner.
CAPTURES = [
    ("inside the window", (600, 400, 200, 100), {WINDOW: 200 * 100}),
    ("across the bottom-right corner", (1180, 760, 200, 100),
     {WINDOW: 100 * 40, BLACK: 200 * 100 - 100 * 40}),
]
for name, rectangle, colours in CAPTURES:
    check(f"capture {name}: the window's colour where it lies, black beyond",
          colours_of(rectangle), colours)

ungranted = subprocess.run(["/usr/bin/python3", *sys.argv[:3], "--capture"],
                           capture_output=True, text=True, check=True, env=os.environ).stdout
check("a process KWin does not grant: no capture, no file",
      (ungranted.strip(), os.listdir(os.environ["TMPDIR"])), ("", []))

bus = int((BENCH / "bus.pid").read_text())
os.killpg(bus, signal.SIGSTOP)
try:
    began = time.monotonic()
    stalled = capture(600, 400, 64, 64)
    check("a stalled session bus: no capture, no file, within the capture's limit",
          (stalled, os.listdir(os.environ["TMPDIR"]), time.monotonic() - began < 15),
          ("", [], True))
finally:
    os.killpg(bus, signal.SIGCONT)

os.rmdir(os.environ["TMPDIR"])
sys.exit(1 if failures else 0)
