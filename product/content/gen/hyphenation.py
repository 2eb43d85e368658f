"""Hyphenation.dat: hyphenation patterns for Liang's algorithm, as CR LF text.

Derived from the system's en-US pattern file. Patterns with characters outside
ASCII (the ligature forms) are left out: the word processor hyphenates text in
the ANSI code page, where those characters do not occur.
"""


def hyphenation_data(pattern_path):
    left, right = 2, 3
    patterns = []
    with open(pattern_path, encoding="utf-8") as f:
        lines = [line.strip() for line in f]
    for line in lines[1:]:  # the first line names the file's encoding
        if not line or line.startswith("%"):
            continue
        key, _, value = line.partition(" ")
        if key == "LEFTHYPHENMIN":
            left = int(value)
        elif key == "RIGHTHYPHENMIN":
            right = int(value)
        elif line.isascii():
            patterns.append(line)
    out = [
        "; Vellumar hyphenation patterns, English (American)",
        "; A digit between letters is the hyphenation value of that position; odd values allow a break.",
        "; The patterns come from the en-US hyphenation dictionary distributed under GPL-2+, LGPL-2.1+ or MPL-1.1+.",
        "Language=en-US",
        "LeftMin=%d" % left,
        "RightMin=%d" % right,
        "Patterns=%d" % len(patterns),
    ] + patterns
    return ("\r\n".join(out) + "\r\n").encode("ascii")
