#!/usr/bin/env python3
"""Runs a JVM command line (started with -Xcheck:jni) and fails it when the JVM warned about a
JNI call made by one of our natives: a warning ("WARNING in native method: ...", "WARNING: JNI
local refs: ...") whose stack trace starts in an org.halvex method. Warnings about other code
(the JVM's own, JNA's) pass. The command's output is passed through; its exit status is kept
unless it succeeded and such a warning was seen."""

import re
import subprocess
import sys

WARNING = re.compile(r"^WARNING(?: in native method)?:.*(JNI|native)")
FRAME = re.compile(r"^\s+at\s+(\S+)\(")
OURS = "org.halvex."


def main():
    run = subprocess.Popen(sys.argv[1:], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                           errors="replace")
    ours = []
    pending = None  # a warning whose first frame is still to come
    for line in run.stdout:
        sys.stdout.write(line)
        if WARNING.search(line):
            pending = line.strip()
            continue
        frame = FRAME.match(line)
        if pending is not None and frame:
            if frame.group(1).startswith(OURS):
                ours.append(f"{pending} (in {frame.group(1)})")
            pending = None
    status = run.wait()
    if ours:
        print(f"jni_warnings: {len(ours)} JNI warnings about our natives:", *ours, sep="\n  ")
        return status if status != 0 else 1
    return status


if __name__ == "__main__":
    sys.exit(main())
