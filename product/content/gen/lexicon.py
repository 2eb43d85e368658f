"""Spellchecker data derived from the system's American and British word lists.

english.zlx holds the words both spellings share, us.zlx and uk.zlx the words
only one of them uses. A .zlx file is a compiled lexicon:

    "VZLX", version (u16) = 1, bucket count (u16), word count (u32),
    language tag (16 bytes, NUL padded), then the words, sorted by their lower
    case and then by their bytes, each as: shared prefix length with the word
    before (u8), suffix length (u8), suffix bytes (Windows-1252).

The first word of every bucket (words whose lower-case first two letters are
the same) is stored whole, so a reader can start decoding there.

The .cache file indexes english.zlx by bucket:

    "VCCH", version (u16) = 1, bucket count (u16), word count of the lexicon
    (u32), then per bucket: two lower-case letters (the second 0 for one-letter
    words), index of its first word (u32), its word count (u32), byte offset of
    its first entry in the lexicon file (u32).

Both variants read the same shared lexicon, so one cache serves both.
The .asc files are the language descriptions (INI text): which lexicons,
cache and user dictionary make up the language, and the respellings offered
when a word is spelt the other variant's way.
"""
import struct

ZLX_HEADER = 4 + 2 + 2 + 4 + 16


def read_words(path):
    words = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            w = line.strip()
            if not w or w.endswith("'s") or not w.isalpha():
                continue
            try:
                w.encode("cp1252")
            except UnicodeEncodeError:
                continue
            words.add(w)
    return words


def _key(w):
    return (w.lower().encode("cp1252"), w.encode("cp1252"))


def _bucket(w):
    return w.lower()[:2]


class Lexicons:
    def __init__(self, american_path, british_path):
        us = read_words(american_path)
        uk = read_words(british_path)
        self.common = sorted(us & uk, key=_key)
        self.us_only = sorted(us - uk, key=_key)
        self.uk_only = sorted(uk - us, key=_key)


def compile_lexicon(words, tag):
    entries = bytearray()
    buckets = []
    previous = b""
    for i, w in enumerate(words):
        raw = w.encode("cp1252")
        if len(raw) > 255:
            raise ValueError("word too long: %r" % w)
        if not buckets or buckets[-1][0] != _bucket(w):
            buckets.append((_bucket(w), i, ZLX_HEADER + len(entries)))
            shared = 0
        else:
            shared = 0
            limit = min(len(raw), len(previous), 255)
            while shared < limit and raw[shared] == previous[shared]:
                shared += 1
        entries += bytes((shared, len(raw) - shared)) + raw[shared:]
        previous = raw
    header = b"VZLX" + struct.pack("<HHI", 1, len(buckets), len(words)) + tag.encode("ascii").ljust(16, b"\0")
    return header + bytes(entries), buckets


def compile_cache(words, tag):
    _, buckets = compile_lexicon(words, tag)
    out = bytearray(b"VCCH" + struct.pack("<HHI", 1, len(buckets), len(words)))
    ends = [b[1] for b in buckets[1:]] + [len(words)]
    for (prefix, first, offset), end in zip(buckets, ends):
        letters = prefix.encode("cp1252").ljust(2, b"\0")
        out += letters + struct.pack("<III", first, end - first, offset)
    return bytes(out)


# Regular differences between the two spellings, British -> American.
RESPELLINGS = [("our", "or"), ("isation", "ization"), ("ise", "ize"), ("ising", "izing"), ("ised", "ized"),
               ("yse", "yze"), ("ysed", "yzed"), ("tre", "ter"), ("tres", "ters"), ("ogue", "og"),
               ("ence", "ense"), ("lled", "led"), ("lling", "ling"), ("ller", "ler"), ("ae", "e"), ("oe", "e")]


def respelling_pairs(lex):
    """(British, American) pairs where a regular rule turns one list's word into the other's."""
    us = set(lex.us_only)
    pairs = []
    for word in lex.uk_only:
        for british, american in RESPELLINGS:
            start = word.find(british)
            while start >= 0:
                candidate = word[:start] + american + word[start + len(british):]
                if candidate in us:
                    pairs.append((word, candidate))
                    break
                start = word.find(british, start + 1)
            else:
                continue
            break
    return sorted(set(pairs), key=lambda p: _key(p[0]))


def _ini(lines):
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def language_description(lex, variant):
    american = variant == "American"
    pairs = respelling_pairs(lex)
    lines = [
        "; Vellumar spellchecker language description",
        "[Language]",
        "Name=English (%s)" % variant,
        "Tag=%s" % ("en-US" if american else "en-GB"),
        "Lexicons=english.zlx,%s" % ("us.zlx" if american else "uk.zlx"),
        "UserDictionary=userdicen.tlx",
        "Cache=English (%s).cache" % variant,
        "WordCount=%d" % (len(lex.common) + len(lex.us_only if american else lex.uk_only)),
        "",
        "; Words spelt the other variant's way, and the spelling offered instead.",
        "[Respellings]",
    ]
    for british, american_word in pairs:
        lines.append("%s=%s" % ((british, american_word) if american else (american_word, british)))
    return _ini(lines)
