#!/usr/bin/env python3
"""Jars of the Java library, written by the JDK's jar tool the same way on every build: the files
of one or more folders in sorted order, every entry with one date, a manifest naming the
project (and not the JDK's exact build); the check that a jar holds exactly the entries it
should; and the licence texts of what every deliverable links in, which the archives and the
natives jars carry.

  jars.py write OUT --epoch N --title T --version V [--module-version] [--automatic-module M]
                FOLDER...
  jars.py licences FOLDER    (writes the texts common to every platform into FOLDER)
  jars.py check JAR LIST [--at-least]
      LIST: the expected entries, one a line; exit 1 with the difference (with --at-least,
      entries beyond the list pass)
"""
import argparse
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

ZIP_EPOCH = 315532802  # 1980-01-01 00:00:02, the earliest time a zip entry (and jar --date) takes
ROOT = Path(__file__).resolve().parent.parent


def common_licences() -> dict:
    """File name -> text: LodePNG's (from its header) and {fmt}'s, linked into every platform."""
    header = (ROOT / ".tools/lodepng/vendor/lodepng.h").read_text()
    return {"fmt.txt": Path("/usr/share/doc/libfmt-dev/copyright").read_text(),
            "lodepng.txt": header[header.index("Copyright"):header.index("*/")].rstrip() + "\n"}


def files_of(folders):
    """(name in the jar, folder) for every file under `folders`, sorted; names may not repeat.
    Marker files of the build (dot files) are left out."""
    found = {}
    for folder in folders:
        for path in Path(folder).rglob("*"):
            name = path.relative_to(folder).as_posix()
            if path.is_file() and not path.name.startswith("."):
                if name in found:
                    sys.exit(f"jars.py: {name} is in both {found[name]} and {folder}")
                found[name] = folder
    return sorted(found.items())


def write(out, folders, epoch, title, version, module_version=False, automatic_module=None,
          jar_tool="jar"):
    date = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(max(int(epoch), ZIP_EPOCH)))
    # The jar tool would name its JDK's exact build in Created-By; a given one is kept.
    manifest = ["Created-By: desktop-natives java/jars.py", f"Implementation-Title: {title}",
                f"Implementation-Version: {version}", "Implementation-Vendor: org.halvex"]
    if automatic_module:
        manifest.append(f"Automatic-Module-Name: {automatic_module}")
    with tempfile.NamedTemporaryFile("w", suffix=".mf") as lines:
        lines.write("\n".join(manifest) + "\n")
        lines.flush()
        command = [jar_tool, "--create", "--file", str(out), f"--date={date}",
                   f"--manifest={lines.name}"]
        if module_version:
            command.append(f"--module-version={version}")
        with tempfile.TemporaryDirectory() as licence:
            # Every jar carries the project's licence, as META-INF/LICENSE.
            (Path(licence) / "META-INF").mkdir()
            shutil.copyfile(ROOT / "LICENSE", Path(licence) / "META-INF/LICENSE")
            for name, folder in files_of(list(folders) + [licence]):
                command += ["-C", str(folder), name]
            Path(out).unlink(missing_ok=True)
            subprocess.run(command, check=True)


def check(jar, expected_list, at_least=False) -> int:
    with zipfile.ZipFile(jar) as archive:
        found = [name for name in archive.namelist() if not name.endswith("/")]
    expected = [line.strip() for line in Path(expected_list).read_text().splitlines()
                if line.strip() and not line.startswith("#")]
    missing = sorted(set(expected) - set(found))
    extra = [] if at_least else sorted(set(found) - set(expected))
    for name in missing:
        print(f"{jar}: missing {name}")
    for name in extra:
        print(f"{jar}: not expected {name}")
    if not missing and not extra:
        print(f"{Path(jar).name}: the {len(expected)} expected entries"
              + (f" among {len(found)}" if at_least else ""))
    return 1 if missing or extra else 0


def main() -> int:
    parser = argparse.ArgumentParser()
    verbs = parser.add_subparsers(dest="verb", required=True)
    writing = verbs.add_parser("write")
    writing.add_argument("out")
    writing.add_argument("folders", nargs="+")
    writing.add_argument("--epoch", type=int, default=ZIP_EPOCH)
    writing.add_argument("--title", required=True)
    writing.add_argument("--version", required=True)
    writing.add_argument("--module-version", action="store_true")
    writing.add_argument("--automatic-module")
    writing.add_argument("--jar-tool", default="jar")
    checking = verbs.add_parser("check")
    checking.add_argument("jar")
    checking.add_argument("expected")
    checking.add_argument("--at-least", action="store_true")
    verbs.add_parser("licences").add_argument("folder")
    args = parser.parse_args()
    if args.verb == "check":
        return check(args.jar, args.expected, args.at_least)
    if args.verb == "licences":
        Path(args.folder).mkdir(parents=True, exist_ok=True)
        for name, text in common_licences().items():
            (Path(args.folder) / name).write_text(text)
        return 0
    write(args.out, args.folders, args.epoch, args.title, args.version, args.module_version,
          args.automatic_module, args.jar_tool)
    return 0


if __name__ == "__main__":
    sys.exit(main())
