"""libframetake.so on a headless KWin or GNOME Shell bench (cmake/wayland/desktop-bench), whose
captures go over the session bus (KWin's ScreenShot2, the Screenshot portal): the monitor
against the compositor's own report (wayland-info), captures of the bench's one-colour window,
and the ways a capture must fail cleanly, with no file: a process KWin does not grant, a
stalled session bus; a denied and a stalled portal, whose files are never left behind.

Usage: desktop-bench kwin|gnome run BENCH_DIR desktop_capture_test.py LIBFRAMETAKE BENCH_DIR
       (and for one capture in another process: ... LIBFRAMETAKE BENCH_DIR --capture)
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

from wayland_bench import ScreenInfo, check, enter_bench, failures

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)
WINDOW = (0x33, 0x66, 0x99)  # the bench's window
GNOME = os.environ.get("XDG_CURRENT_DESKTOP") == "GNOME"
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



def compositor_records(unaware):
    """The outputs as wayland-info reports them (wl_output's position, scale and current mode):
    device pixels, or divided by the scale. The benches' one output lies at the origin."""
    report = subprocess.run(["wayland-info"], capture_output=True, text=True, check=True).stdout
    modes = re.findall(r"width: (\d+) px, height: (\d+) px, refresh: [\d.]+ Hz,\s+flags: current",
                       report)
    places = re.findall(r"\bx: (-?\d+), y: (-?\d+), scale: (\d+)", report)
    return sorted(tuple(float(value) / (int(scale) if unaware else 1) for value in (x, y)) +
                  tuple(int(value) // (int(scale) if unaware else 1) for value in (w, h))
                  for (x, y, scale), (w, h) in zip(places, modes))


def records(unaware):
    found = []
    for index in range(frametake.getScreenCountEx(1 if unaware else 0)):
        info = ScreenInfo()
        frametake.getScreen(index, ctypes.byref(info))
        found.append((info.boundsX, info.boundsY, info.width, info.height))
    return sorted(found)


for unaware in (False, True):
    check(f"monitors in {'logical units' if unaware else 'device pixels'} as the compositor "
          "reports them", records(unaware), compositor_records(unaware))

os.environ["TMPDIR"] = tempfile.mkdtemp(prefix="kwin-captures.")


def colours_of(rectangle):
    path = capture(*rectangle)
    if not path:
        return {}
    with Image.open(path) as picture:
        found = {colour: count for count, colour in picture.convert("RGB").getcolors(1 << 20)}
    os.unlink(path)
    return found


def bus(*arguments):
    return subprocess.run(["dbus-send", "--print-reply", *arguments], capture_output=True,
                          text=True).stdout


def shell_overview_off():
    bus("--dest=org.gnome.Shell", "/org/gnome/Shell", "org.freedesktop.DBus.Properties.Set",
        "string:org.gnome.Shell", "string:OverviewActive", "variant:boolean:false")


def portal_files():
    return sorted(path.name for path in Path.home().rglob("Screenshot*"))


_, _, WIDTH, HEIGHT = records(False)[0]
for _ in range(100):  # the bench's window may still be on its way to filling the output
    if colours_of((WIDTH - 8, HEIGHT - 8, 8, 8)) == {WINDOW: 64}:
        break
    if GNOME:
        shell_overview_off()
    time.sleep(0.2)
BLACK = (0, 0, 0)
# name, rectangle, {colour: pixels}: inside the window, and across the desktop's corner.
CAPTURES = [
    ("inside the window", (600, 400, 200, 100), {WINDOW: 200 * 100}),
    ("across the bottom-right corner", (WIDTH - 100, HEIGHT - 40, 200, 100),
     {WINDOW: 100 * 40, BLACK: 200 * 100 - 100 * 40}),
]
for name, rectangle, colours in CAPTURES:
    check(f"capture {name}: the window's colour where it lies, black beyond",
          colours_of(rectangle), colours)



def capture_elsewhere(interpreter):
    return subprocess.run([interpreter, *sys.argv[:3], "--capture"], capture_output=True,
                          text=True, check=True, env=os.environ).stdout.strip()


def stopped(pid, what):
    """Runs what() with the process (group, when pid is negative) stopped."""
    signal_stop = os.killpg if pid < 0 else os.kill
    signal_stop(abs(pid), signal.SIGSTOP)
    try:
        began = time.monotonic()
        return what(), time.monotonic() - began < 15
    finally:
        signal_stop(abs(pid), signal.SIGCONT)


def set_screenshot_permission(answer):
    bus("--dest=org.freedesktop.impl.portal.PermissionStore",
        "/org/freedesktop/impl/portal/PermissionStore",
        "org.freedesktop.impl.portal.PermissionStore.SetPermission", "string:screenshot",
        "boolean:true", "string:screenshot", "string:", f"array:string:{answer}")


def tmp_files():
    return os.listdir(os.environ["TMPDIR"])


if GNOME:
    check("the portal's files are deleted", portal_files(), [])
    set_screenshot_permission("no")
    check("a denied portal: no capture, no file",
          (capture_elsewhere(sys.executable), tmp_files(), portal_files()), ("", [], []))
    set_screenshot_permission("yes")
    reply = bus("--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                "org.freedesktop.DBus.GetConnectionUnixProcessID",
                "string:org.freedesktop.portal.Desktop")
    portal = int(reply.split()[-1])
    check("a stalled portal: no capture, no file, within the capture's limit",
          (stopped(portal, lambda: capture(600, 400, 64, 64)), tmp_files()), (("", True), []))
else:
    check("a process KWin does not grant: no capture, no file",
          (capture_elsewhere("/usr/bin/python3"), tmp_files()), ("", []))
    session_bus = -int((BENCH / "bus.pid").read_text())
    check("a stalled session bus: no capture, no file, within the capture's limit",
          (stopped(session_bus, lambda: capture(600, 400, 64, 64)), tmp_files()),
          (("", True), []))

for leftover in tmp_files():
    os.unlink(Path(os.environ["TMPDIR"]) / leftover)
os.rmdir(os.environ["TMPDIR"])
sys.exit(1 if failures else 0)
