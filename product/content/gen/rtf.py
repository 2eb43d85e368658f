"""Writing RTF documents in the Windows ANSI code page."""

FONTS = {
    "roman": r"{\f0\froman\fcharset0 Times New Roman;}",
    "swiss": r"{\f1\fswiss\fcharset0 Arial;}",
    "modern": r"{\f2\fmodern\fcharset0 Courier New;}",
    "script": r"{\f3\fscript\fcharset0 Comic Sans MS;}",
    "georgia": r"{\f4\froman\fcharset0 Georgia;}",
}
COLOURS = [(0, 0, 0), (31, 73, 125), (192, 0, 0), (0, 112, 60), (128, 128, 128)]
# Colour numbers in the table (0 is "auto").
BLACK, BLUE, RED, GREEN, GREY = 1, 2, 3, 4, 5


def text(s):
    """Escapes plain text; characters outside ASCII become \\'hh in code page 1252."""
    out = []
    for ch in s:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append("\\tab ")
        elif ch == "\n":
            out.append("\\line ")
        elif ord(ch) < 128:
            out.append(ch)
        else:
            out.append("\\'%02x" % ch.encode("cp1252")[0])
    return "".join(out)


def para(s, font=0, size=12, bold=False, italic=False, align="l", colour=0, space_after=6, indent=0,
         border=None, raw=False):
    """One paragraph; size in points."""
    fmt = "\\pard\\plain\\q%s\\sa%d" % (align, space_after * 20)
    if indent:
        fmt += "\\li%d" % (indent * 20)
    if border == "bottom":
        fmt += "\\brdrb\\brdrs\\brdrw15\\brsp40"
    elif border == "top":
        fmt += "\\brdrt\\brdrs\\brdrw15\\brsp40"
    elif border == "box":
        fmt += "\\box\\brdrs\\brdrw15\\brsp80"
    fmt += "\\f%d\\fs%d" % (font, size * 2)
    if bold:
        fmt += "\\b"
    if italic:
        fmt += "\\i"
    if colour:
        fmt += "\\cf%d" % colour
    return fmt + " " + (s if raw else text(s)) + "\\par\n"


def table(rows, widths, font=1, size=10, header=True, border=True, shade_header=True):
    """A simple table; widths in twips; rows are lists of cell strings."""
    out = []
    for r, cells in enumerate(rows):
        row = "\\pard\\plain\\trowd\\trgaph108\\trleft0"
        x = 0
        for w in widths:
            x += w
            if border:
                row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10"
            if header and shade_header and r == 0:
                row += "\\clcbpat5\\clshdng2000"
            row += "\\cellx%d" % x
        row += "\n\\pard\\plain\\intbl\\ql\\sa0\\f%d\\fs%d " % (font, size * 2)
        for cell in cells:
            style = "\\b " if header and r == 0 else ""
            row += "{%s%s}\\cell " % (style, text(cell))
        row += "\\row\n"
        out.append(row)
    return "".join(out) + "\\pard\\plain\\par\n"


def document(body, font=0, size=12, margins=1440, header=None, footer=None, title=None):
    """A whole document: header with font and colour tables, then the body."""
    head = "{\\rtf1\\ansi\\ansicpg1252\\deff%d\\deflang1033\n" % font
    head += "{\\fonttbl" + "".join(FONTS.values()) + "}\n"
    head += "{\\colortbl;" + "".join("\\red%d\\green%d\\blue%d;" % c for c in COLOURS) + "}\n"
    if title:
        head += "{\\info{\\title %s}{\\author Vellumar}}\n" % text(title)
    head += "\\paperw12240\\paperh15840\\margl%d\\margr%d\\margt%d\\margb%d\\widowctrl\n" % (
        margins, margins, margins, margins)
    if header:
        head += "{\\header " + header + "}\n"
    if footer:
        head += "{\\footer " + footer + "}\n"
    head += "\\pard\\plain\\f%d\\fs%d\n" % (font, size * 2)
    return (head + body + "}\r\n").encode("cp1252")


def snippet(body, font=0, size=12):
    """A clip-library piece: a short document meant to be pasted into another."""
    return document(body, font=font, size=size)


# Fields a template or header may carry; the word processor fills them in.
def field(instruction, shown):
    return "{\\field{\\*\\fldinst { %s }}{\\fldrslt {%s}}}" % (instruction, text(shown))


PAGE = field("PAGE", "1")
NUMPAGES = field("NUMPAGES", "1")
DATE = field("DATE \\\\@ \"d MMMM yyyy\"", "24 August 2019")
AUTHOR = field("AUTHOR", "Author")
TITLE = field("TITLE", "Title")
FILENAME = field("FILENAME", "Document")
