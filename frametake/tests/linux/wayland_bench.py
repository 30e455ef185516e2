"""What the Wayland tests of libframetake.so and libpaneknob.so share: the bench's session taken
into this process's environment (no X display, no forced backend), the ScreenInfo record,
libpaneknob.so's exports, and checks that compare what was got with what was expected."""
import ctypes
import os
from pathlib import Path


def enter_bench(bench: Path):
    """The bench's XDG_RUNTIME_DIR, WAYLAND_DISPLAY and SWAYSOCK, set in this process."""
    for line in (bench / "env").read_text().splitlines():
        name, value = line.split("=", 1)
        os.environ[name] = value
    os.environ.pop("DISPLAY", None)
    os.environ.pop("HALVEX_DESKTOP_BACKEND", None)


class ScreenInfo(ctypes.Structure):
    _fields_ = [("monitorHandle", ctypes.c_int32), ("width", ctypes.c_int32),
                ("height", ctypes.c_int32), ("reserved", ctypes.c_int32),
                ("boundsX", ctypes.c_double), ("boundsY", ctypes.c_double),
                ("boundsWidth", ctypes.c_double), ("boundsHeight", ctypes.c_double)]


failures = []


def check(what, got, expected):
    """Prints the check's outcome; a failed one is recorded in failures."""
    print(("ok   " if got == expected else "FAIL ") + what)
    if got != expected:
        print(f"     got      {got}\n     expected {expected}")
        failures.append(what)


def load_paneknob(library):
    """libpaneknob.so with its four exports' argument types, titles read as UTF-8."""
    os.environ["LC_ALL"] = "C.UTF-8"
    paneknob = ctypes.CDLL(library)
    for name in ("setWindowFlags", "minimize", "restore", "restoreAndActivate"):
        getattr(paneknob, name).argtypes = [ctypes.c_char_p]
    return paneknob
