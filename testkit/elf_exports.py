#!/usr/bin/env python3
"""Checks that an ELF shared library exports exactly the given names (the defined symbols of its
dynamic table, as nm reads them). Prints what it found; exits 1 on any difference."""

import argparse
import subprocess
import sys


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--nm", required=True)
    parser.add_argument("library")
    parser.add_argument("--exports", nargs="+", required=True)
    args = parser.parse_args()
    listing = subprocess.run([args.nm, "-D", "--defined-only", "--format=posix", args.library],
                             check=True, capture_output=True, text=True).stdout
    found = sorted(line.split()[0] for line in listing.splitlines() if line.strip())
    print(f"{args.library}: exports {' '.join(found)}")
    if found != sorted(args.exports):
        print(f"expected exactly {' '.join(sorted(args.exports))}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
