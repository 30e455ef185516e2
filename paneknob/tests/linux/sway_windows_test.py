"""libpaneknob.so on the headless sway bench: a native window (foot) and an X11 window under
XWayland (xterm), found by title and acted on through wlr-foreign-toplevel-management, each
answer checked against sway's own report (swaymsg -t get_tree): activation happens and answers
0; minimize, which sway ignores, answers -2 and changes nothing; a native window keeps its
boxes (-2); a stalled compositor gives -3 within the call's limit.

Usage: sway_windows_test.py LIBPANEKNOB BENCH_DIR
"""
import json
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "frametake" / "tests" / "linux"))
from wayland_bench import check, enter_bench, failures, load_paneknob  # noqa: E402

LIBRARY, BENCH = sys.argv[1], Path(sys.argv[2])
enter_bench(BENCH)
paneknob = load_paneknob(LIBRARY)
NATIVE, X11 = "Native Red", "X Red"


def sway(*command):
    return subprocess.run(["swaymsg", *command], capture_output=True, text=True, check=True).stdout


def windows():
    """{title: (focused, visible)} of sway's windows."""
    found = {}

    def walk(node):
        if node.get("type") in ("con", "floating_con") and node.get("name"):
            found[node["name"]] = (node["focused"], node["visible"])
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            walk(child)
    walk(json.loads(sway("-r", "-t", "get_tree")))
    return found


runtime = Path(os.environ["XDG_RUNTIME_DIR"])
sway("exec", f"foot -T '{NATIVE}' sleep 1d")
sway("exec", f"xterm -T '{X11}' -e sleep 1d")
sway("exec", f"echo $DISPLAY > {runtime}/display")
for _ in range(100):
    if {NATIVE, X11} <= windows().keys() and (runtime / "display").exists():
        break
    time.sleep(0.1)
os.environ["DISPLAY"] = (runtime / "display").read_text().strip()

try:
    # export, title, answer, the windows afterwards as sway reports them ({title: focused})
    CASES = [
        ("restoreAndActivate", NATIVE, 0, {NATIVE: True, X11: False}),
        ("restoreAndActivate", X11, 0, {NATIVE: False, X11: True}),
        ("minimize", NATIVE, -2, {NATIVE: False, X11: True}),
        ("minimize", X11, -2, {NATIVE: False, X11: True}),
        ("restore", NATIVE, 0, {NATIVE: False, X11: True}),
        ("setWindowFlags", NATIVE, -2, {NATIVE: False, X11: True}),
        ("setWindowFlags", X11, 0, {NATIVE: False, X11: True}),
        ("minimize", "Nobody", -1, {NATIVE: False, X11: True}),
    ]
    for export, title, answer, focus in CASES:
        code = getattr(paneknob, export)(title.encode())
        shown = windows()
        check(f"{export}({title!r}): {answer}, as sway reports the windows",
              (code, {name: shown.get(name) for name in focus}),
              (answer, {name: (focused, True) for name, focused in focus.items()}))

    sway_group = int((BENCH / "sway.pid").read_text())
    os.killpg(sway_group, signal.SIGSTOP)
    try:
        began = time.monotonic()
        code = paneknob.restoreAndActivate(NATIVE.encode())
        check("a stalled compositor: -3 within the call's limit",
              (code, time.monotonic() - began < 3), (-3, True))
    finally:
        os.killpg(sway_group, signal.SIGCONT)
finally:
    for title in (NATIVE, X11):
        subprocess.run(["swaymsg", f'[title="{title}"]', "kill"], capture_output=True)
sys.exit(1 if failures else 0)
