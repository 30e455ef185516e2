#!/usr/bin/env python3
"""The Linux waypost program for real, with proxy settings given through the environment that
libproxy reads: each case runs it and checks its output line, standard error and exit status."""

import os
import subprocess
import sys

PROGRAM = sys.argv[1]
CLEAN = {k: v for k, v in os.environ.items() if k.lower() not in ("http_proxy", "https_proxy", "no_proxy", "all_proxy")}

CASES = [
    # name, environment, arguments, status, standard output
    ("no proxy settings", {}, ["http://example.org/"], 0, "DIRECT\n"),
    ("http proxy", {"http_proxy": "http://gate:3128"}, ["http://example.org/"], 0, "gate:3128\n"),
    ("https URL uses https_proxy", {"http_proxy": "http://gate:3128", "https_proxy": "http://sec:8443"},
     ["https://example.org/"], 0, "sec:8443\n"),
    ("no_proxy host goes direct", {"http_proxy": "http://gate:3128", "no_proxy": "example.org"},
     ["http://example.org/"], 0, "DIRECT\n"),
    ("socks proxy keeps its scheme prefix", {"http_proxy": "socks5://s:1080"}, ["http://x.org/"], 0,
     "socks=s:1080\n"),
    ("proxy without port", {"http_proxy": "http://gate"}, ["http://example.org/"], 0, "gate:8080\n"),
    ("empty argument is resolved", {"http_proxy": "http://gate:3128"}, [""], 0, "DIRECT\n"),
    ("extra arguments ignored", {"http_proxy": "http://gate:3128"}, ["http://a/", "--help", "x"], 0,
     "gate:3128\n"),
    ("ill-formed UTF-8", {"http_proxy": "http://gate:3128"}, [b"http://\xff\xfe/\xc3("], 0, "gate:3128\n"),
    ("no argument", {"http_proxy": "http://gate:3128"}, [], 1, ""),
]

failed = 0
for name, environment, arguments, status, output in CASES:
    run = subprocess.run([PROGRAM, *arguments], env={**CLEAN, **environment}, capture_output=True, timeout=60)
    problems = []
    if run.returncode != status:
        problems.append(f"exit status {run.returncode}, expected {status}")
    if run.stdout.decode(errors="replace") != output:
        problems.append(f"output {run.stdout!r}, expected {output!r}")
    if run.stderr:
        problems.append(f"standard error {run.stderr!r}")
    print(("FAIL " if problems else "ok   ") + name + ("".join("\n     " + p for p in problems)))
    failed += bool(problems)

print(f"{len(CASES) - failed} passed, {failed} failed")
sys.exit(1 if failed else 0)
