"""The Screenshot portal's capture time (not a test), run by scripts/bench on the GNOME Shell
bench: a 1920x1080 rectangle captured through libframetake.so, whose portal saves the whole
2560x1600 output as a PNG that the library reads, decodes, cuts and deletes. Median of the
rounds, with the fastest and slowest.

Usage: desktop-bench gnome run BENCH_DIR portal_capture_time.py LIBFRAMETAKE
"""
import ctypes
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "linux"))
from wayland_bench import ScreenInfo  # noqa: E402


frametake = ctypes.CDLL(sys.argv[1])
frametake.getScreen.argtypes = [ctypes.c_int32, ctypes.POINTER(ScreenInfo)]
frametake.captureScreen.argtypes = [ctypes.POINTER(ScreenInfo)] + [ctypes.c_int32] * 4
frametake.captureScreen.restype = ctypes.c_char_p
frametake.getScreenCount()
origin = ScreenInfo()
frametake.getScreen(0, ctypes.byref(origin))
rounds = []
for _ in range(7):
    began = time.monotonic()
    path = frametake.captureScreen(ctypes.byref(origin), 0, 0, 1920, 1080).decode()
    rounds.append(time.monotonic() - began)
    if not path:
        sys.exit("the portal gave no capture")
    os.unlink(path)
print(f"portal capture, 1920x1080 of a 2560x1600 output: median {statistics.median(rounds):.3f} s"
      f" (fastest {min(rounds):.3f} s, slowest {max(rounds):.3f} s, {len(rounds)} rounds)")
