"""The clip library's text pieces: each file is a short RTF document to paste."""
from rtf import (AUTHOR, BLUE, DATE, FILENAME, GREY, NUMPAGES, PAGE, RED, TITLE, para, snippet, table, text)

# File name (without ".rtf") -> the closing line; a signature block follows.
CLOSINGS = [
    "All the best", "Best regards", "Best wishes", "Cheers", "Cordially", "Fondly", "Kind regards",
    "Kindest regards", "Love", "Many thanks", "Regards", "Respectfully", "Respectfully yours",
    "See you soon", "Sincerely", "Sincerely yours", "Take care", "Thank you", "Thanks again",
    "Until next time", "Warm regards", "Warm wishes", "Warmly", "With appreciation", "With gratitude",
    "With love", "Yours faithfully", "Yours truly",
]

GREETINGS = {
    "Congratulations": "Congratulations on your wonderful news!",
    "Get Well Soon": "Wishing you a speedy recovery. Get well soon!",
    "Happy Anniversary": "Happy Anniversary! Here's to many more happy years together.",
    "Happy Birthday": "Happy Birthday! Wishing you a year full of joy.",
    "Happy New Year": "Happy New Year! May the coming year bring you health and happiness.",
    "Season's Greetings": "Season's Greetings and best wishes for the holidays.",
    "Welcome": "Welcome! We are delighted to have you with us.",
}

MISCELLANEOUS = {
    "Address Block": ("[Name]\n[Street Address]\n[City, Postcode]\n[Country]", {}),
    "Attention Line": ("For the attention of: [Name]", {"bold": True}),
    "Confidential": ("CONFIDENTIAL", {"bold": True, "colour": RED, "size": 20, "align": "c", "border": "box"}),
    "Copyright Notice": ("Copyright \u00a9 [Year] [Owner]. All rights reserved.", {"size": 9}),
    "Do Not Copy": ("DO NOT COPY", {"bold": True, "colour": RED, "size": 18, "align": "c"}),
    "Draft": ("DRAFT", {"bold": True, "colour": GREY, "size": 36, "align": "c"}),
    "Enclosure Line": ("Enclosure: [Description of what is enclosed]", {}),
    "Fold Here": ("- - - - - - - - - - - - - -  fold here  - - - - - - - - - - - - - -",
                  {"align": "c", "size": 9, "colour": GREY}),
    "Page Break": ("\\page", {"raw": True}),
    "Personal": ("PERSONAL", {"bold": True, "size": 16}),
    "Postscript": ("P.S. [Add a final thought here.]", {"italic": True}),
    "Private and Confidential": ("PRIVATE AND CONFIDENTIAL", {"bold": True, "size": 14}),
    "Return Address": ("[Your Name] \u00b7 [Street Address] \u00b7 [City, Postcode]", {"size": 8}),
    "Signature Block": ("\n\n______________________________\n[Name]\n[Title]", {}),
    "Trademark Notice": ("[Product] is a trademark of [Owner].", {"size": 9, "italic": True}),
    "Urgent": ("URGENT", {"bold": True, "colour": RED, "size": 24}),
}

PHRASES = {
    "Further to our conversation": "Further to our telephone conversation of [date], ",
    "I am writing to": "I am writing to [state your purpose].",
    "I look forward to hearing from you": "I look forward to hearing from you.",
    "I look forward to meeting you": "I look forward to meeting you on [date].",
    "If you have any questions": "If you have any questions, please do not hesitate to contact me.",
    "In reply to your letter": "In reply to your letter of [date], ",
    "It was a pleasure": "It was a pleasure to meet you.",
    "Please accept our apologies": "Please accept our apologies for any inconvenience this may have caused.",
    "Please confirm receipt": "Please confirm receipt of this letter.",
    "Please find enclosed": "Please find enclosed [the documents you requested].",
    "Please let me know": "Please let me know if I can be of any further help.",
    "Thank you for your enquiry": "Thank you for your enquiry about [subject].",
    "Thank you for your help": "Thank you very much for your help.",
    "Thank you for your letter": "Thank you for your letter of [date].",
    "Thank you for your order": "Thank you for your order. It will be dispatched within [number] days.",
    "Thank you for your patience": "Thank you for your patience.",
    "Thank you for your time": "Thank you for your time and consideration.",
    "We are pleased to inform you": "We are pleased to inform you that ",
    "We regret to inform you": "We regret to inform you that ",
    "With reference to": "With reference to [your letter, our meeting, the invoice] of [date], ",
    "I would be grateful if": "I would be grateful if you could ",
    "As agreed": "As agreed, ",
    "Attached you will find": "Attached you will find [description].",
    "At your earliest convenience": "Please reply at your earliest convenience.",
    "Do not hesitate to call": "Do not hesitate to call me on [telephone number].",
    "Once again, thank you": "Once again, thank you for [reason].",
    "Payment is now due": "Payment of [amount] is now due. Please settle the invoice by [date].",
    "We would like to invite you": "We would like to invite you to [event] on [date] at [place].",
}

SALUTATIONS = {
    "Dear Colleague": "Dear Colleague,", "Dear Customer": "Dear Customer,", "Dear Friend": "Dear Friend,",
    "Dear Madam": "Dear Madam,", "Dear Member": "Dear Member,", "Dear Mr": "Dear Mr [Surname],",
    "Dear Mrs": "Dear Mrs [Surname],", "Dear Ms": "Dear Ms [Surname],", "Dear Sir": "Dear Sir,",
    "Dear Sir or Madam": "Dear Sir or Madam,", "Dear Sirs": "Dear Sirs,", "Hello": "Hello [Name],",
    "To Whom It May Concern": "To Whom It May Concern:",
}


def _centre_right(left, centre, right, font=1, size=9, border=None):
    """A header or footer line with a left, a centred and a right-aligned part."""
    b = {"bottom": "\\brdrb\\brdrs\\brdrw10\\brsp40", "top": "\\brdrt\\brdrs\\brdrw10\\brsp40", None: ""}[border]
    return "\\pard\\plain%s\\tqc\\tx4680\\tqr\\tx9360\\f%d\\fs%d %s\\tab %s\\tab %s\\par\n" % (
        b, font, size * 2, left, centre, right)


def _header_footer(kind, line):
    return "{\\%s %s}\n" % (kind, line) + para("[Body text]", 1, 11)


HEADERS_FOOTERS = {
    "Author, Page #, Date": ("footer", _centre_right(AUTHOR, "Page " + PAGE, DATE, border="top")),
    "Author and Title": ("header", _centre_right(AUTHOR, "", TITLE, border="bottom")),
    "Chapter Title (Centred)": ("header", _centre_right("", "[Chapter title]", "")),
    "Company Name and Logo Line": ("header", _centre_right("{\\b [Company Name]}", "", "[Slogan]",
                                                           border="bottom")),
    "Confidential, Page #": ("footer", _centre_right("{\\b Confidential}", "", "Page " + PAGE)),
    "Date (Right)": ("header", _centre_right("", "", DATE)),
    "Draft, Date": ("header", _centre_right("{\\b DRAFT}", "", DATE)),
    "File Name and Date": ("footer", _centre_right(FILENAME, "", DATE, size=8)),
    "Page # (Centred)": ("footer", _centre_right("", PAGE, "")),
    "Page # (Right)": ("footer", _centre_right("", "", PAGE)),
    "Page # of # (Centred)": ("footer", _centre_right("", "Page " + PAGE + " of " + NUMPAGES, "")),
    "Page # of #, Title (Right)": ("footer", _centre_right(TITLE, "", "Page " + PAGE + " of " + NUMPAGES)),
    "Page #, Dashes": ("footer", _centre_right("", "- " + PAGE + " -", "")),
    "Title (Centred), Rule": ("header", _centre_right("", TITLE, "", border="bottom")),
    "Title, Author, Date": ("header", _centre_right(TITLE, AUTHOR, DATE, border="bottom")),
    "Copyright, Page #": ("footer", _centre_right(text("\u00a9 [Year] [Owner]"), "", PAGE, size=8)),
}

TABLES = {
    "2 x 2 Grid": ([["", ""], ["", ""]], [4680, 4680], False),
    "3 x 3 Grid": ([["", "", ""]] * 3, [3120, 3120, 3120], False),
    "Address List": ([["Name", "Address", "Telephone", "E-mail"], ["", "", "", ""], ["", "", "", ""]],
                     [2200, 3400, 1800, 1960], True),
    "Invoice": ([["Item", "Description", "Quantity", "Unit Price", "Amount"], ["1", "", "", "", ""],
                 ["2", "", "", "", ""], ["", "", "", "Total", ""]], [800, 3960, 1400, 1600, 1600], True),
    "Monthly Calendar": ([["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]] + [[""] * 7] * 5,
                         [1337] * 6 + [1338], True),
    "Price List": ([["Product", "Code", "Price"], ["", "", ""], ["", "", ""], ["", "", ""]],
                   [5000, 2000, 2360], True),
    "Timetable": ([["Time", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"]] +
                  [[t, "", "", "", "", ""] for t in ("09:00", "10:00", "11:00", "12:00", "14:00", "15:00")],
                  [1000, 1672, 1672, 1672, 1672, 1672], True),
    "To-Do List": ([["Done", "Task", "Due"], ["[ ]", "", ""], ["[ ]", "", ""], ["[ ]", "", ""]],
                   [900, 6660, 1800], True),
    "Weekly Planner": ([["Day", "Morning", "Afternoon", "Evening"]] +
                       [[d, "", "", ""] for d in ("Monday", "Tuesday", "Wednesday", "Thursday", "Friday",
                                                  "Saturday", "Sunday")], [1560, 2600, 2600, 2600], True),
}


def _build():
    clips = {}
    for closing in CLOSINGS:
        body = para(closing + ",", 0, 12, space_after=42) + para("[Your Name]", 0, 12, space_after=0)
        clips["Closings\\%s.rtf" % closing] = body
    for name, line in GREETINGS.items():
        clips["Greetings\\%s.rtf" % name] = para(line, 4, 16, italic=True, align="c", colour=BLUE)
    for name, (kind, line) in HEADERS_FOOTERS.items():
        clips["Headers & Footers\\%s.rtf" % name] = _header_footer(kind, line)
    for name, (words, style) in MISCELLANEOUS.items():
        opts = {"bold": False, "italic": False, "colour": 0, "size": 12, "align": "l", "border": None,
                "raw": False}
        opts.update(style)
        clips["Miscellaneous\\%s.rtf" % name] = para(words, 1, **opts)
    for name, line in PHRASES.items():
        clips["Phrases\\%s.rtf" % name] = para(line, 0, 12)
    for name, line in SALUTATIONS.items():
        clips["Salutations\\%s.rtf" % name] = para(line, 0, 12)
    for name, (rows, widths, header) in TABLES.items():
        clips["Tables\\%s.rtf" % name] = table(rows, widths, header=header)
    return clips


CLIPS = {name: (lambda body: lambda: snippet(body))(body) for name, body in _build().items()}
