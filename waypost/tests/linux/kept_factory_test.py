#!/usr/bin/env python3
"""libwaypost.so keeps one libproxy factory for the process: five queries through a PAC script
fetch it once. A query stuck in a script that never ends retires its factory: the queries
after it answer from a fresh one at once, not queued behind it.

Usage: kept_factory_test.py LIBWAYPOST"""
import ctypes
import os
import sys
import time

import pac_server

fetches = {}
pac = pac_server.serve({
    "/office.pac": 'function FindProxyForURL(url, host) { return "PROXY pacproxy.example:3128"; }',
    "/forever.pac": "function FindProxyForURL(url, host) { while (true) {} }",
}, fetches=fetches)
for name in ("https_proxy", "no_proxy", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "GNOME_DESKTOP_SESSION_ID"):
    os.environ.pop(name, None)

waypost = ctypes.CDLL(sys.argv[1])
waypost.detectProxy.restype = ctypes.c_char_p
waypost.detectProxy.argtypes = [ctypes.c_char_p]


def ask(url):
    began = time.monotonic()
    return waypost.detectProxy(url.encode()).decode(), time.monotonic() - began


failed = 0


def check(name, got, expected):
    global failed
    failed += got != expected
    print(("ok   " if got == expected else "FAIL ") + f"{name}: {got}" + ("" if got == expected else f", expected {expected}"))


os.environ["http_proxy"] = pac + "/office.pac"
answers = [ask(f"http://host{i}.example/")[0] for i in range(5)]
check("five queries through a PAC script", (answers, fetches.get("/office.pac")), (["pacproxy.example:3128"] * 5, 1))

os.environ["http_proxy"] = pac + "/forever.pac"
check("a script that never ends", ask("http://a.example/")[0], "DIRECT")
os.environ["http_proxy"] = pac + "/office.pac"
answer, took = ask("http://b.example/")
check("the next query, from a fresh factory, at once", (answer, took < 3, fetches.get("/office.pac")),
      ("pacproxy.example:3128", True, 2))

sys.stdout.flush()
os._exit(1 if failed else 0)  # a script engine thread still runs the endless script
