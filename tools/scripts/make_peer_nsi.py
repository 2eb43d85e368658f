#!/usr/bin/env python3
"""Writes the benchmark's peer installer script: a Modern UI 2 wizard of the
same payload the setup carries, one section per entry of the setup's component
table, the files placed where the install plan puts them.

  make_peer_nsi.py MANIFEST COMPONENTS_CPP BUILD_DIR OUT_NSI OUT_EXE
"""
import os
import re
import sys

# Where the install plan puts each component (by its row in the table): the
# program, licence and hyphenation data in the destination, the spellchecker
# under the shared Public\Spellcheck, the rest in the shared Public folder.
SHARED = r"$APPDATA\Vellumar\Public"
PLACES = ["$INSTDIR", SHARED + r"\Spellcheck", "$INSTDIR", SHARED, SHARED, SHARED]


def names(cpp_path):
    """The product's name macros (contract/Names.h beside the sources), each as
    the one string literal it stands for."""
    header = os.path.join(os.path.dirname(os.path.abspath(cpp_path)), "..", "contract", "Names.h")
    macros = {}
    for name, body in re.findall(r"^#define (\w+) ([^/\n]*)", open(header, encoding="utf-8").read(), re.M):
        parts = re.findall(r'"((?:[^"\\]|\\.)*)"|(\w+)', body)
        macros[name] = "".join(literal or macros.get(word, "") for literal, word in parts)
    return macros


def components(cpp_path):
    """(name, [patterns]) per row of the component table; "X\\" is a folder."""
    text = open(cpp_path, encoding="utf-8").read()
    table = text[text.index("ComponentTable["):]
    table = table[:table.index("};")]
    for macro, value in names(cpp_path).items():
        table = re.sub(r"\b%s\b" % macro, '"%s"' % value, table)
    rows = []
    for name, patterns in re.findall(r'\{\s*"([^"]+)",\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\}', table):
        joined = "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', patterns))
        joined = joined.replace("\\r", "\r").replace("\\\\", "\\")
        rows.append((name, [p for p in joined.split("\r") if p]))
    return rows


def records(manifest_path, build_dir):
    """(stored name, source path) per record, in archive order."""
    base = os.path.dirname(os.path.abspath(manifest_path))
    out = []
    for line in open(manifest_path, encoding="utf-8"):
        line = line.rstrip("\r\n")
        if not line or line.startswith("//"):
            continue
        name, _stamp, source = line.split("\t")
        if source.startswith("$BUILD/"):
            source = os.path.join(build_dir, source[len("$BUILD/"):])
        else:
            source = os.path.join(base, source)
        out.append((name, os.path.abspath(source)))
    return out


def matches(name, pattern):
    if pattern.endswith("\\"):
        return name.lower().startswith(pattern.lower())
    return name.lower() == pattern.lower()


def escaped(text):
    # NSIS expands $ everywhere, and a quote needs its own escape.
    return text.replace("$", "$$").replace('"', '$\\"')


def quoted(text):
    return '"' + escaped(text) + '"'


def main(argv):
    if len(argv) != 6:
        sys.exit(__doc__)
    manifest, cpp, build_dir, out_nsi, out_exe = argv[1:]
    table = components(cpp)
    if len(table) != len(PLACES):
        sys.exit(f"make_peer_nsi: the component table has {len(table)} rows, expected {len(PLACES)}")
    files = [[] for _ in table]
    licence = None
    for name, source in records(manifest, os.path.abspath(build_dir)):
        owners = [i for i, (_, patterns) in enumerate(table) if any(matches(name, p) for p in patterns)]
        if len(owners) != 1:
            sys.exit(f"make_peer_nsi: record {name!r} belongs to {len(owners)} components, not one")
        files[owners[0]].append((name, source))
        if name.lower() == "license.txt":
            licence = source
    if licence is None:
        sys.exit("make_peer_nsi: the payload has no License.txt")

    lines = [
        "Unicode false",
        "SetCompressor /SOLID zlib",
        '!include "MUI2.nsh"',
        'Name "Vellumar Word Processor Lite"',
        "OutFile " + quoted(os.path.abspath(out_exe)),
        'InstallDir "$PROGRAMFILES\\Vellumar Word Processor Lite"',
        "RequestExecutionLevel admin",
        # Stays on the install page when done: the benchmark's end mark is its Next.
        "!define MUI_FINISHPAGE_NOAUTOCLOSE",
        "!insertmacro MUI_PAGE_WELCOME",
        "!insertmacro MUI_PAGE_LICENSE " + quoted(licence),
        "!insertmacro MUI_PAGE_DIRECTORY",
        "!insertmacro MUI_PAGE_COMPONENTS",
        "!insertmacro MUI_PAGE_INSTFILES",
        "!insertmacro MUI_PAGE_FINISH",
        '!insertmacro MUI_LANGUAGE "English"',
        "Function .onInit",
        "  SetShellVarContext all",
        "FunctionEnd",
    ]
    for i, ((title, _), place) in enumerate(zip(table, PLACES)):
        lines.append("Section " + quoted(title) + f" sec{i}")
        if i == 0:
            lines.append("  SectionIn RO")  # the program cannot be left out
        folder = None
        for name, source in files[i]:
            sub = name.rpartition("\\")[0]
            target = '"' + place + ("\\" + escaped(sub) if sub else "") + '"'  # place holds NSIS variables
            if target != folder:
                lines.append("  SetOutPath " + target)
                folder = target
            lines.append("  File " + quoted("/oname=" + name.split("\\")[-1]) + " " + quoted(source))
        lines.append("SectionEnd")
    with open(out_nsi, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    print(f"make_peer_nsi: {sum(map(len, files))} files in {len(table)} sections")


if __name__ == "__main__":
    main(sys.argv)
