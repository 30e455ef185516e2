"""libframetake.so's captures on the headless sway bench, compared pixel by pixel with grim's
picture of each output (both read the compositor's screencopy), the outputs showing a tiled
pattern (swaybg) at scales 1, 1.5 and 2; a rectangle across both outputs and beyond them; a
stalled compositor: no path and no file.

Usage: wayland_capture_test.py LIBFRAMETAKE BENCH_DIR   (Debian's python3, for PIL)
"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image

from wayland_bench import ScreenInfo, enter_bench

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)
work = Path(tempfile.mkdtemp(prefix="wayland-capture-"))
os.chmod(work, 0o755)  # the compositor's user reads the wallpaper
os.environ["TMPDIR"] = str(work)



frametake = ctypes.CDLL(LIBRARY)
frametake.getScreen.argtypes = [ctypes.c_int32, ctypes.POINTER(ScreenInfo)]
frametake.captureScreen.argtypes = [ctypes.POINTER(ScreenInfo)] + [ctypes.c_int32] * 4
frametake.captureScreen.restype = ctypes.c_char_p
failures = []


def check(what, good, detail=""):
    print(("ok   " if good else "FAIL ") + what + ("" if good else f": {detail}"))
    if not good:
        failures.append(what)


def sway(*command):
    subprocess.run(["swaymsg", *command], capture_output=True, check=True)


def pattern(path):
    picture = Image.new("RGB", (64, 48))
    picture.putdata([((x * 4) & 255, (y * 5) & 255, (x * y) & 255)
                     for y in range(48) for x in range(64)])
    picture.save(path)


def grim(output):
    path = work / f"grim-{output}.png"
    subprocess.run(["grim", "-o", output, str(path)], check=True)
    return Image.open(path).convert("RGB")


def settled(*outputs):
    """The outputs' pictures once the compositor has drawn the new layout: swaybg redraws the
    wallpaper after a change of scale or place, so two pictures in a row must agree."""
    shots = [grim(output) for output in outputs]
    for _ in range(50):
        again = [grim(output) for output in outputs]
        if all(a.tobytes() == b.tobytes() for a, b in zip(shots, again)):
            return again
        shots = again
    raise SystemExit("the outputs' pictures never settled")


def capture(x, y, width, height):
    """The record of the output at the origin (device pixels), and a capture relative to it."""
    assert frametake.getScreenCountEx(0) == 2
    records = []
    for index in range(2):
        info = ScreenInfo()
        frametake.getScreen(index, ctypes.byref(info))
        records.append(info)
    origin = next(r for r in records if r.boundsX == 0 and r.boundsY == 0)
    path = frametake.captureScreen(ctypes.byref(origin), x, y, width, height).decode()
    return (Image.open(path).convert("RGB"), path) if path else (None, path)


def differences(picture, expected, origin=(0, 0)):
    """Pixels of `picture` that differ from `expected` (a function of desktop x, y)."""
    return sum(1 for y in range(picture.height) for x in range(picture.width)
               if picture.getpixel((x, y)) != expected(origin[0] + x, origin[1] + y))


wallpaper = work / "pattern.png"
pattern(wallpaper)
sway("output", "*", "bg", str(wallpaper), "tile")
for scale in ("1", "1.5", "2"):
    sway("output", "HEADLESS-1", "scale", scale, "position", "0", "0")
    sway("output", "HEADLESS-2", "scale", "1", "position", "5000", "0")
    shot, = settled("HEADLESS-1")
    picture, path = capture(37, 21, 301, 157)
    differing = -1 if picture is None or picture.size != (301, 157) else differences(
        picture, lambda x, y: shot.getpixel((x, y)), (37, 21))
    check(f"scale {scale}: a rectangle of the output as grim sees it", differing == 0,
          f"{differing} pixels differ ({path})")

# Across both outputs and below the shorter one: each part from its output, the rest black.
sway("output", "HEADLESS-1", "scale", "1", "position", "0", "0")
sway("output", "HEADLESS-2", "scale", "1", "position", "1920", "0")
first, second = settled("HEADLESS-1", "HEADLESS-2")


def desktop(x, y):
    if x < 1920:
        return first.getpixel((x, y)) if y < 1080 else (0, 0, 0)
    return second.getpixel((x - 1920, y)) if y < 720 else (0, 0, 0)


picture, path = capture(1900, 700, 40, 400)
check("across both outputs and beyond them", picture is not None
      and differences(picture, desktop, (1900, 700)) == 0, path)

# A compositor that stalls: the capture gives up at its limit, with no path and no file.
record = ScreenInfo()
frametake.getScreen(0, ctypes.byref(record))
before = sorted(work.glob("scr*.png"))
sway_group = int((BENCH / "sway.pid").read_text())
os.killpg(sway_group, signal.SIGSTOP)
try:
    path = frametake.captureScreen(ctypes.byref(record), 0, 0, 16, 16).decode()
finally:
    os.killpg(sway_group, signal.SIGCONT)
check("a stalled compositor: no path and no file",
      path == "" and sorted(work.glob("scr*.png")) == before, path)

shutil.rmtree(work)
print(f"{5 - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
