#!/usr/bin/env python3
"""The README's Java quick start as a Maven user follows it, with Debian's Maven and plugins and
no network (Debian's repository, /usr/share/maven-repo, stands in for every remote one): its
install commands put the build's jars and POM into a private local repository, and a project
with its dependency lines compiles its Java. Maven resolves the runtime scope for that, so a
natives jar the POM or the commands leave out fails the run as surely as a wrong JNA line.

Usage: maven_test.py README JARS_FOLDER VERSION WORK_FOLDER
"""
import re
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

SETTINGS = """<settings>
  <localRepository>{repo}</localRepository>
  <mirrors>
    <mirror><id>debian</id><mirrorOf>*</mirrorOf><url>file:///usr/share/maven-repo</url></mirror>
  </mirrors>
</settings>
"""

CONSUMER = """<project xmlns="http://maven.apache.org/POM/4.0.0">
  <modelVersion>4.0.0</modelVersion>
  <groupId>com.example</groupId>
  <artifactId>quick-start</artifactId>
  <version>1</version>
  <properties>
    <maven.compiler.release>17</maven.compiler.release>
    <project.build.sourceEncoding>UTF-8</project.build.sourceEncoding>
  </properties>
  <dependencies>
{dependencies}
  </dependencies>
</project>
"""


def quick_start_blocks(readme: str, version: str) -> dict:
    """The first block of each language in the quick start, the README's version replaced."""
    section = readme.split("## Java quick start", 1)[1].split("\n## ", 1)[0]
    blocks = {}
    for language, body in re.findall(r"```(\w+)\n(.*?)```", section, re.S):
        blocks.setdefault(language, body.replace("1.0.0", version))
    return blocks


def maven(settings: Path, arguments: list, folder: Path):
    command = ["mvn", "-q", "-B", "-s", str(settings)] + arguments
    result = subprocess.run(command, cwd=folder, capture_output=True, text=True)
    if result.returncode:
        sys.exit(f"maven_test: {shlex.join(command)} failed:\n{result.stdout}{result.stderr}")


def main() -> int:
    readme, jars, version, work = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3], Path(sys.argv[4])
    shutil.rmtree(work, ignore_errors=True)
    (work / "app/src/main/java").mkdir(parents=True)
    settings = work / "settings.xml"
    settings.write_text(SETTINGS.format(repo=work / "repo"))
    blocks = quick_start_blocks(readme.read_text(), version)

    commands = blocks["sh"].replace("\\\n", " ").splitlines()
    for line in commands:
        words = shlex.split(line, comments=True)
        if words:
            assert words[0] == "mvn", line
            maven(settings, words[1:], jars)

    (work / "app/pom.xml").write_text(CONSUMER.format(dependencies=blocks["xml"]))
    (work / "app/src/main/java/QuickStart.java").write_text(blocks["java"])
    maven(settings, ["test-compile"], work / "app")
    compiled = work / "app/target/classes/QuickStart.class"
    if not compiled.exists():
        sys.exit(f"maven_test: no {compiled}")
    installed = sorted(p.name for p in (work / f"repo/org/halvex/desktop-natives/{version}").glob("*.*")
                       if p.suffix in (".jar", ".pom"))
    print("installed:", *installed, sep="\n  ")
    print("the quick start compiled against them")
    return 0


if __name__ == "__main__":
    sys.exit(main())
