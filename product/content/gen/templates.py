"""The document templates: faxes, letters, memos, stories and tables of contents.

Bracketed texts are the places the user fills in.
"""
from rtf import BLUE, DATE, GREEN, GREY, PAGE, RED, document, para, table, text


def _fax(style):
    font, accent = {1: (0, BLUE), 2: (1, RED), 3: (4, GREEN)}[style]
    body = ""
    if style == 1:
        body += para("[Company Name]", font, 20, bold=True, colour=accent, space_after=0)
        body += para("[Street Address], [City], [Postcode]", font, 10, space_after=0)
        body += para("Telephone [000 000 0000]    Fax [000 000 0000]", font, 10, border="bottom", space_after=18)
        body += para("FACSIMILE", font, 28, bold=True, align="c", space_after=18)
    elif style == 2:
        body += para("Fax", font, 36, bold=True, colour=accent, space_after=0)
        body += para("[Company Name]  |  [Telephone]  |  [Fax Number]", font, 10, colour=GREY, space_after=24)
    else:
        body += para("Fax Cover Sheet", font, 26, italic=True, colour=accent, align="r", border="bottom",
                     space_after=18)
    rows = [["To:", "[Recipient name]", "From:", "[Your name]"],
            ["Fax:", "[Recipient fax number]", "Pages:", "[Number of pages, including this one]"],
            ["Phone:", "[Recipient phone number]", "Date:", "[Date]"],
            ["Re:", "[Subject]", "CC:", "[Copies to]"]]
    body += table(rows, [1100, 3400, 1100, 3400], font=font, size=10, header=False, border=(style != 2))
    body += para("[ ] Urgent    [ ] For review    [ ] Please comment    [ ] Please reply    [ ] Please recycle",
                 font, 10, space_after=18)
    body += para("Comments:", font, 12, bold=True)
    body += para("[Type your message here.]", font, 12, space_after=24)
    body += para("If you do not receive all the pages, please call [telephone number] as soon as possible.",
                 font, 9, italic=True, colour=GREY, border="top")
    return document(body, font=font, title="Fax")


def _letter(style):
    font = {1: 0, 2: 1, 3: 4, 4: 0}[style]
    body = ""
    if style == 1:
        body += para("[Your Name]", font, 12, bold=True, align="r", space_after=0)
        body += para("[Street Address]\n[City, Postcode]\n[Telephone]", font, 12, align="r", space_after=24)
        body += para(DATE, font, 12, raw=True, space_after=24)
    elif style == 2:
        body += para("[YOUR COMPANY]", font, 22, bold=True, colour=BLUE, space_after=0)
        body += para("[Street Address]  \u2022  [City, Postcode]  \u2022  [Telephone]  \u2022  [E-mail]",
                     font, 9, colour=GREY, border="bottom", space_after=30)
        body += para(DATE, font, 11, raw=True, space_after=18)
    elif style == 3:
        body += para("[Your Name]", font, 26, italic=True, align="c", colour=GREEN, space_after=0)
        body += para("[Street Address] \u00b7 [City] \u00b7 [Postcode]", font, 10, align="c", space_after=30)
        body += para(DATE, font, 11, raw=True, align="r", space_after=18)
    else:
        body += para(DATE, font, 12, raw=True, space_after=24)
    body += para("[Recipient Name]\n[Title]\n[Company]\n[Street Address]\n[City, Postcode]", font, 12,
                 space_after=18)
    if style in (2, 4):
        body += para("Re: [Subject of the letter]", font, 12, bold=True, space_after=12)
    body += para("Dear [Recipient Name],", font, 12, space_after=12)
    body += para("[Begin your letter here. State why you are writing in the first paragraph.]", font, 12)
    body += para("[Give the details in the following paragraphs.]", font, 12)
    body += para("[Close with what you would like to happen next, and thank the reader.]", font, 12,
                 space_after=18)
    body += para("Yours sincerely," if style != 3 else "With kind regards,", font, 12, space_after=42)
    body += para("[Your Name]", font, 12, bold=(style == 2), space_after=0)
    body += para("[Your Title]", font, 12)
    if style == 4:
        body += para("Enclosure: [Description]", font, 10, space_after=0)
        body += para("cc: [Name]", font, 10)
    return document(body, font=font, title="Letter")


def _memo(style):
    font = {1: 1, 2: 0, 3: 2, 4: 4, 5: 1}[style]
    titles = {1: "MEMORANDUM", 2: "Memo", 3: "INTEROFFICE MEMO", 4: "Memorandum", 5: "Internal Memo"}
    colour = {1: 0, 2: BLUE, 3: 0, 4: GREEN, 5: RED}[style]
    align = {1: "l", 2: "c", 3: "l", 4: "r", 5: "l"}[style]
    body = para(titles[style], font, 26 if style != 3 else 18, bold=True, colour=colour, align=align,
                border="bottom" if style in (1, 4, 5) else None, space_after=18)
    fields = [("To:", "[Names]"), ("From:", "[Your name]"), ("CC:", "[Names]"), ("Date:", None),
              ("Subject:", "[Subject]")]
    if style == 5:
        body += table([[k, v if v else "[Date]"] for k, v in fields], [1500, 7500], font=font, header=False)
    else:
        for label, value in fields:
            shown = text(value) if value else DATE
            body += para("{\\b %s}\\tab %s" % (text(label), shown), font, 11, raw=True, space_after=4)
    body += para("", font, 6, border="bottom", space_after=12)
    body += para("[Write the purpose of the memo in one or two sentences.]", font, 11)
    if style in (2, 4):
        body += para("Background", font, 12, bold=True)
        body += para("[Explain what led to this memo.]", font, 11)
        body += para("Action required", font, 12, bold=True)
        body += para("[Say who should do what, and by when.]", font, 11)
    else:
        body += para("[Add the details, one point per paragraph.]", font, 11)
    if style == 3:
        body += para("Attachments: [List]", font, 10, italic=True)
    return document(body, font=font, title="Memo")


def _story(style):
    font = 4 if style == 1 else 3
    body = para("[Title of the Story]", font, 28 if style == 1 else 32, bold=True, align="c", space_after=6)
    body += para("by [Author]", font, 14, italic=True, align="c", space_after=36)
    if style == 1:
        body += para("Chapter One", font, 18, bold=True, align="c", space_after=18)
        body += para("[The first line of the story sets the scene. Start with a character in a place.]", font, 12)
        body += para("[Each new paragraph begins here. Dialogue goes on a line of its own.]", font, 12,
                     indent=18)
        body += para("* * *", font, 12, align="c", space_after=12)
        body += para("[A scene break is marked by the three stars above.]", font, 12)
    else:
        body += para("Once upon a time, [who lived where].", font, 16, space_after=12)
        body += para("Every day, [what they did].", font, 16, space_after=12)
        body += para("But one day, [what happened].", font, 16, space_after=12)
        body += para("Because of that, [what followed].", font, 16, space_after=12)
        body += para("Until finally, [how it ended].", font, 16, space_after=12)
        body += para("The End", font, 20, bold=True, align="c", colour=BLUE, space_after=0)
    footer = "\\pard\\plain\\qc\\f%d\\fs18 %s\\par" % (font, PAGE)
    return document(body, font=font, footer=footer, title="Story")


def _toc(style):
    font = {1: 0, 2: 1, 3: 4, 4: 0, 5: 1}[style]
    # Tab with dot, line or no leader before the right-aligned page number.
    leader = {1: "\\tldot", 2: "\\tlul", 3: "", 4: "\\tldot", 5: "\\tlhyph"}[style]
    heading = {1: "Table of Contents", 2: "CONTENTS", 3: "Contents", 4: "Table of Contents", 5: "Contents"}
    body = para(heading[style], font, 20, bold=True, align="c" if style in (1, 4) else "l",
                colour=BLUE if style == 2 else 0, space_after=24)
    entries = [(0, "[Chapter 1 title]", 1), (1, "[Section 1.1]", 2), (1, "[Section 1.2]", 4),
               (0, "[Chapter 2 title]", 7), (1, "[Section 2.1]", 8), (2, "[Subsection 2.1.1]", 9),
               (1, "[Section 2.2]", 12), (0, "[Chapter 3 title]", 15), (0, "[Index]", 21)]
    for level, title, page in entries:
        if style == 5 and level == 2:
            continue
        number = ""
        if style == 4:
            number = {0: "Part ", 1: "", 2: ""}[level]
        bold = "\\b" if level == 0 and style != 3 else ""
        body += ("\\pard\\plain\\li%d\\sa%d\\tqr%s\\tx9360\\f%d\\fs%d%s %s\\tab %d\\par\n" % (
            level * 360, 120 if level else 160, leader, font, 24 if level == 0 else 22, bold,
            text(number + title), page))
    return document(body, font=font, title="Table of Contents")


TEMPLATES = {}
for _n in range(1, 4):
    TEMPLATES["Faxes\\Fax %d.rtf" % _n] = (lambda n: lambda: _fax(n))(_n)
for _n in range(1, 5):
    TEMPLATES["Letters\\Letter %d.rtf" % _n] = (lambda n: lambda: _letter(n))(_n)
for _n in range(1, 6):
    TEMPLATES["Memos\\Memo %d.rtf" % _n] = (lambda n: lambda: _memo(n))(_n)
for _n in range(1, 3):
    TEMPLATES["Stories\\Story %d.rtf" % _n] = (lambda n: lambda: _story(n))(_n)
for _n in range(1, 6):
    TEMPLATES["TOCs\\TOC %d.rtf" % _n] = (lambda n: lambda: _toc(n))(_n)

