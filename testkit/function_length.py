#!/usr/bin/env python3
"""Fails when a function in the given C++ sources is longer than --max lines.

A function's length runs from the line where its declarator starts to its closing brace, as
clang-format lays the code out. Lambdas and local classes count toward the function around
them. Strings, character literals and comments are skipped, so braces inside them do not count.
"""
import argparse
import re
import sys

# Heads of braces that open something other than a function body.
NOT_A_FUNCTION = re.compile(
    r"^(namespace|class|struct|union|enum|extern|template\s*<[^>]*>\s*(class|struct|union))\b"
    r"|=\s*$|\b(if|for|while|switch|catch|do|else|try|return)\b[^{]*$")


def code_only(text):
    """The text with comments, strings and character literals blanked (newlines kept)."""
    out = []
    i = 0
    n = len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i):
            delimiter = text[i + 2:text.index("(", i)]
            j = text.index(")" + delimiter + '"', i) + len(delimiter) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (j + 1 - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def long_functions(path, limit):
    text = code_only(open(path, encoding="utf-8").read())
    found = []
    stack = []  # (kind, first line) of each open brace
    head_start = None  # offset where the current declaration's text began
    for offset, c in enumerate(text):
        if c in ";{}":
            in_function = any(kind == "function" for kind, _ in stack)
            if c == "{":
                head = text[head_start if head_start is not None else offset:offset].strip()
                head = re.sub(r"\s+", " ", head)
                is_function = (not in_function and ")" in head and "(" in head
                               and not NOT_A_FUNCTION.search(head)
                               and not head.startswith("#"))
                first = text.count("\n", 0, offset) + 1
                if is_function:
                    start = head_start if head_start is not None else offset
                    # skip leading blank space of the head
                    while start < offset and text[start].isspace():
                        start += 1
                    first = text.count("\n", 0, start) + 1
                stack.append(("function" if is_function else "block", first))
            elif c == "}" and stack:
                kind, first = stack.pop()
                if kind == "function":
                    last = text.count("\n", 0, offset) + 1
                    if last - first + 1 > limit:
                        name = text.splitlines()[first - 1].strip()
                        found.append((first, last - first + 1, name))
            head_start = offset + 1
        elif c == "\n" and text[head_start or 0:offset].strip().startswith("#"):
            head_start = offset + 1  # a preprocessor line is never part of a declaration
        elif c == ":" and stack and stack[-1][0] == "block" and re.search(
                r"\b(public|private|protected)\s*$", text[head_start or 0:offset]):
            head_start = offset + 1
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--max", type=int, default=60)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    failed = False
    for path in args.files:
        for line, length, name in long_functions(path, args.max):
            print(f"{path}:{line}: {length} lines (at most {args.max}): {name}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
