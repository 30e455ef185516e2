#!/usr/bin/env python3
"""The README's Linux runtime packages provide every shared library the natives load: those they
link (ELF NEEDED) and those they dlopen (the library names written in them), apart from the C
and C++ runtimes every system has. A dependency added to the code but not to the README fails.

Usage: runtime_packages.py README NATIVES_FOLDER
"""
import re
import subprocess
import sys
from pathlib import Path

EVERYWHERE = {"libc6", "libstdc++6", "libgcc-s1"}


def listed_packages(readme: str) -> set:
    command = re.search(r"```sh\napt-get install (.*?)```", readme, re.S).group(1)
    command = command.replace("\\\n", " ")
    return {word for line in command.splitlines() for word in line.split("#", 1)[0].split()}


def loaded_libraries(library: Path) -> set:
    dynamic = subprocess.run(["readelf", "-d", str(library)], capture_output=True, text=True,
                             check=True).stdout
    needed = set(re.findall(r"\(NEEDED\)\s+Shared library: \[([^]]+)\]", dynamic))
    named = set(re.findall(rb"lib[\w+-]+\.so\.\d+", library.read_bytes()))
    return needed | {name.decode() for name in named}


def package_of(name: str) -> str:
    found = subprocess.run(["dpkg", "-S", f"*/{name}"], capture_output=True, text=True).stdout
    packages = {line.split(":")[0] for line in found.splitlines() if ":amd64:" in line}
    return min(packages) if packages else f"(nothing installs {name})"


def main() -> int:
    readme, natives = Path(sys.argv[1]), Path(sys.argv[2])
    listed = listed_packages(readme.read_text())
    missing = []
    for library in sorted(natives.glob("*.so")):
        for name in sorted(loaded_libraries(library) - {library.name}):
            package = package_of(name)
            if package not in listed | EVERYWHERE:
                missing.append(f"{library.name} loads {name}, from {package}")
    print("listed:", *sorted(listed))
    if missing:
        print("not in the README's list:", *missing, sep="\n  ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
