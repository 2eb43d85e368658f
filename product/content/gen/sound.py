"""Basic.asn: the basic sound scheme, an INI text that maps events to sounds.

An event's sound is a sequence of tones, each "frequency/duration" in hertz and
milliseconds, with "0/duration" for a pause; the word processor plays them in
order. An empty value keeps the event silent.
"""

EVENTS = [
    ("ProgramStart", "Starting the program", "523/70 659/70 784/110"),
    ("ProgramExit", "Closing the program", "784/70 659/70 523/110"),
    ("DocumentNew", "Creating a document", "880/60"),
    ("DocumentOpen", "Opening a document", "659/50 880/80"),
    ("DocumentSave", "Saving a document", "880/50 1047/80"),
    ("DocumentClose", "Closing a document", "1047/50 880/80"),
    ("PrintDone", "Printing finished", "784/60 0/40 784/60 1047/120"),
    ("SpellingError", "A misspelt word is typed", "330/120"),
    ("SpellingDone", "The spelling check is complete", "659/60 784/60 1047/100"),
    ("AutoCorrect", "A word is corrected as it is typed", "1319/30"),
    ("SearchNotFound", "Find reaches the end without a match", "440/80 330/120"),
    ("Undo", "Undoing an action", "698/40 587/40"),
    ("Redo", "Redoing an action", "587/40 698/40"),
    ("PageBreak", "Inserting a page break", "392/50"),
    ("Warning", "A warning message", "587/100 0/50 587/100"),
    ("Error", "An error message", "220/200"),
    ("Question", "A question to the user", "523/80 659/120"),
    ("Information", "An information message", "784/100"),
    ("ClipInserted", "Inserting a clip-library piece", "988/40 1319/60"),
    ("ReachMargin", "Typing reaches the right margin", ""),
]


def sound_scheme():
    lines = [
        "; Vellumar sound scheme",
        "; Each event: tones as frequency/duration (Hz/ms), 0 for a pause; empty = silent.",
        "[Scheme]",
        "Name=Basic",
        "Description=Short tones for the common events",
        "Format=1",
        "Events=%d" % len(EVENTS),
        "",
        "[Events]",
    ]
    for key, _, tones in EVENTS:
        lines.append("%s=%s" % (key, tones))
    lines += ["", "[Descriptions]"] + ["%s=%s" % (key, text) for key, text, _ in EVENTS]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")
