"""libpaneknob.so on the headless GNOME Shell bench: GNOME offers ordinary clients nothing for
native windows, so an X11 window under XWayland (xterm "X Red") is acted on over X11, each
answer checked against what GNOME's window manager reports on X11 (WM_STATE, the active
window): restore without activation, which GNOME ignores, answers -2 and leaves the window
minimized; the rest happen and answer 0.

Usage: desktop-bench gnome run BENCH_DIR gnome_windows_test.py LIBPANEKNOB BENCH_DIR
"""
import os
import re
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "frametake" / "tests" / "linux"))
from wayland_bench import check, enter_bench, failures, load_paneknob  # noqa: E402

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)
os.environ["DISPLAY"] = dict(line.split("=", 1) for line in
                             (BENCH / "env").read_text().splitlines())["DISPLAY"]  # XWayland's
paneknob = load_paneknob(LIBRARY)
TITLE = "X Red"


def xprop(*arguments):
    return subprocess.run(["xprop", *arguments], capture_output=True, text=True).stdout


def state(window):
    """(iconic, active) as GNOME's window manager reports them on X11."""
    iconic = "Iconic" in xprop("-id", window, "WM_STATE")
    active = re.findall(r"0x[0-9a-f]+", xprop("-root", "_NET_ACTIVE_WINDOW"))
    return iconic, bool(active) and int(active[0], 16) == int(window, 16)


xterm = subprocess.Popen(["xterm", "-T", TITLE, "-e", "sleep", "1d"])
try:
    window = ""
    for _ in range(100):
        found = subprocess.run(["xwininfo", "-name", TITLE], capture_output=True, text=True)
        window = (re.findall(r"Window id: (0x[0-9a-f]+)", found.stdout) or [""])[0]
        if window and "Normal" in xprop("-id", window, "WM_STATE"):
            break
        time.sleep(0.1)
    # export, answer, the window afterwards: (iconic, active)
    CASES = [
        ("restoreAndActivate", 0, (False, True)),
        ("minimize", 0, (True, False)),
        ("restore", -2, (True, False)),
        ("restoreAndActivate", 0, (False, True)),
        ("setWindowFlags", 0, (False, True)),
    ]
    for export, answer, after in CASES:
        code = getattr(paneknob, export)(TITLE.encode())
        check(f"{export}: {answer}, as GNOME reports the window", (code, state(window)),
              (answer, after))
finally:
    xterm.kill()
    xterm.wait()
sys.exit(1 if failures else 0)
