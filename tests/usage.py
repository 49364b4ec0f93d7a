#!/usr/bin/env python3
"""usage.py: a header's usage block as C++ lines, for usage_test.cpp to compile.

  python3 tests/usage.py ROOT HEADER OUT     HEADER from the root ("engine/engine.h")

The usage block is the first run of lines in the header's opening comment that
are indented by at least three spaces after the "//"; it ends at the first line
that is not (a blank "//" line, a line of prose, the end of the comment). Each
line is C++ as a caller writes it. What follows "//" on a line explains it and
is dropped. "..." outside a string stands for the caller's own code and is
compiled as "{}" (between braces of its own, "p{...}", as nothing). Every line is written with a #line directive, so a compiler
error names the header and the line of the usage block.

Exit 1 (and no output file) when the header has no usage block.
"""
import os
import sys


def codeof(text):
    """The code of one usage line: its comment dropped, "..." made "{}"."""
    out = []
    i = 0
    quote = None
    while i < len(text):
        c = text[i]
        if quote:
            out.append(c)
            if c == "\\" and i + 1 < len(text):
                out.append(text[i + 1])
                i += 1
            elif c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif text.startswith("//", i):
            break
        elif text.startswith("...", i):
            # inside braces of its own ("p{...}") it is simply left out
            inbraces = "".join(out).rstrip().endswith("{") and text[i + 3:].lstrip().startswith("}")
            out.append("" if inbraces else "{}")
            i += 2
        else:
            out.append(c)
        i += 1
    return "".join(out).rstrip()


def usageblock(lines):
    """[(line number, code)] of the usage block, or None."""
    block = []
    started = False
    for number, line in enumerate(lines, 1):
        if not line.startswith("//"):
            break
        if line.startswith("//   "):
            started = True
            code = codeof(line[len("//   "):])
            if code.strip():
                block.append((number, code))
        elif started:
            break
    return block if started else None


def main():
    root, header, out = sys.argv[1:4]
    with open(os.path.join(root, header), encoding="utf-8") as f:
        block = usageblock(f.read().splitlines())
    if not block:
        print(f"{header}: no usage block (lines indented three spaces at the top)")
        return 1
    text = "".join(f'#line {n} "{header}"\n{code}\n' for n, code in block)
    os.makedirs(os.path.dirname(out) or ".", exist_ok=True)
    with open(out, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
