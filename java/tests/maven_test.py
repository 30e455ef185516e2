#!/usr/bin/env python3
"""The README's Java quick start as a Maven user follows it offline, with Debian's Maven and
plugins: the README's own settings.xml (its mirror, /usr/share/maven-repo, stands in for every
remote repository) beside copies of the build's jars, its install commands run as written
(their `-s settings.xml` included) into a private local repository, and a project with its
dependency lines compiles its Java. Maven resolves the runtime scope for that, so a
natives jar the POM or the commands leave out fails the run as surely as a wrong JNA line.

Usage: maven_test.py README JARS_FOLDER VERSION WORK_FOLDER
"""
import re
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

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
    """The quick start's blocks by what they are (settings.xml, the dependency lines, the shell
    commands, the Java), the README's version replaced."""
    section = readme.split("## Java quick start", 1)[1].split("\n## ", 1)[0]
    blocks = {}
    for language, body in re.findall(r"```(\w+)\n(.*?)```", section, re.S):
        kind = "settings" if body.startswith("<settings>") else language
        blocks.setdefault(kind, body.replace("1.0.0", version))
    return blocks


def maven(repository: Path, arguments: list, folder: Path):
    """mvn with the README's arguments; only the local repository is the test's own."""
    command = ["mvn", "-q", "-B", f"-Dmaven.repo.local={repository}"] + arguments
    result = subprocess.run(command, cwd=folder, capture_output=True, text=True)
    if result.returncode:
        sys.exit(f"maven_test: {shlex.join(command)} failed:\n{result.stdout}{result.stderr}")


def main() -> int:
    readme, jars, version, work = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3], Path(sys.argv[4])
    shutil.rmtree(work, ignore_errors=True)
    (work / "app/src/main/java").mkdir(parents=True)
    downloads, repository = work / "downloads", work / "repo"
    shutil.copytree(jars, downloads)
    blocks = quick_start_blocks(readme.read_text(), version)
    (downloads / "settings.xml").write_text(blocks["settings"])
    shutil.copy(downloads / "settings.xml", work / "app")

    commands = blocks["sh"].replace("\\\n", " ").splitlines()
    for line in commands:
        words = shlex.split(line, comments=True)
        if words:
            assert words[:3] == ["mvn", "-s", "settings.xml"], line
            maven(repository, words[1:], downloads)

    (work / "app/pom.xml").write_text(CONSUMER.format(dependencies=blocks["xml"]))
    (work / "app/src/main/java/QuickStart.java").write_text(blocks["java"])
    maven(repository, ["-s", "settings.xml", "test-compile"], work / "app")
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
