"""libpaneknob.so on the headless KWin bench (cmake/wayland/desktop-bench kwin): a native window
(GTK, on Wayland) and the bench's X11 window under XWayland (xterm "X Red"), acted on through
KWin's scripting interface, each answer checked against KWin's own report: a script of this
test's own prints every window's state into KWin's log. Also: boxes, which KWin keeps (-2), an
unknown title (-1) and a stalled KWin (-3 within the call's limit).

Usage: desktop-bench kwin run BENCH_DIR kwin_windows_test.py LIBPANEKNOB BENCH_DIR
"""
import os
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "frametake" / "tests" / "linux"))
from wayland_bench import check, enter_bench, failures, load_paneknob  # noqa: E402

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)
paneknob = load_paneknob(LIBRARY)
NATIVE, X11 = "Native Red", "X Red"
PROBE = """var cs = workspace.clientList();
for (var i = 0; i < cs.length; ++i)
    print("STATE " + MARK + "\\t" + cs[i].caption + "\\t" + cs[i].minimized + "\\t" +
          (workspace.activeClient === cs[i]));
"""
probes = 0


def kwin(*arguments):
    return subprocess.run(["dbus-send", "--print-reply", "--dest=org.kde.KWin", *arguments],
                          capture_output=True, text=True).stdout


def windows():
    """{caption: (minimized, active)} as a script of this test's own prints them into KWin's
    log. KWin reads and runs a script in the background: it is unloaded, and its file
    deleted, only once its lines are in the log."""
    global probes
    probes += 1
    mark = f"{os.getpid()}-{probes}"
    found = {}
    with tempfile.NamedTemporaryFile("w", suffix=".js", dir=os.environ["XDG_RUNTIME_DIR"]) as file:
        file.write(f'var MARK = "{mark}";\n' + PROBE)
        file.flush()
        kwin("/Scripting", "org.kde.kwin.Scripting.loadScript", f"string:{file.name}",
             f"string:probe-{mark}")
        kwin("/Scripting", "org.kde.kwin.Scripting.start")
        for _ in range(50):
            for line in (BENCH / "kwin.log").read_text(errors="replace").splitlines():
                if f"STATE {mark}\t" in line:
                    _, caption, minimized, active = line.split("\t")
                    found[caption] = (minimized == "true", active == "true")
            if found:
                break
            time.sleep(0.1)
        kwin("/Scripting", "org.kde.kwin.Scripting.unloadScript", f"string:probe-{mark}")
    return found


native = subprocess.Popen(["/usr/bin/python3", str(Path(__file__).with_name("native_window.py")),
                           NATIVE], env={**os.environ, "GDK_BACKEND": "wayland"})
try:
    for _ in range(100):
        if {NATIVE, X11} <= windows().keys():
            break
        time.sleep(0.1)
    # export, title, answer, the windows afterwards as KWin reports them: (minimized, active)
    CASES = [
        ("restoreAndActivate", NATIVE, 0, {NATIVE: (False, True), X11: (False, False)}),
        ("minimize", NATIVE, 0, {NATIVE: (True, False)}),
        ("restoreAndActivate", X11, 0, {NATIVE: (True, False), X11: (False, True)}),
        ("restore", NATIVE, 0, {NATIVE: (False, False), X11: (False, True)}),
        ("minimize", X11, 0, {X11: (True, False)}),
        ("restore", X11, 0, {X11: (False, False)}),
        ("restoreAndActivate", X11, 0, {X11: (False, True)}),
        ("setWindowFlags", NATIVE, -2, {NATIVE: (False, False)}),
        ("setWindowFlags", X11, -2, {X11: (False, True)}),
        ("minimize", "Nobody", -1, {X11: (False, True)}),
    ]
    for export, title, answer, states in CASES:
        code = getattr(paneknob, export)(title.encode())
        shown = windows()
        check(f"{export}({title!r}): {answer}, as KWin reports the windows",
              (code, {name: shown.get(name) for name in states}), (answer, states))

    kwin_group = int((BENCH / "kwin.pid").read_text())
    os.killpg(kwin_group, signal.SIGSTOP)
    try:
        began = time.monotonic()
        code = paneknob.minimize(NATIVE.encode())
        check("a stalled KWin: -3 within the call's limit", (code, time.monotonic() - began < 3),
              (-3, True))
    finally:
        os.killpg(kwin_group, signal.SIGCONT)
finally:
    native.kill()
    native.wait()
sys.exit(1 if failures else 0)
