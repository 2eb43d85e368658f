"""Makes the payload's generated content: every manifest record whose source is
"$BUILD/product/content/...". The manifest decides what is shipped; this script
only knows how to make a file of each name.

    generate.py --manifest FILE --out-dir DIR --dict-dir DIR --hyphen-file FILE --stamp FILE
"""
import argparse
import os
import sys

import clips
import hyphenation
import images
import lexicon
import sound
import templates

PREFIX = "$BUILD/product/content/"


def makers(args):
    lexicons = []

    def lex():
        if not lexicons:
            lexicons.append(lexicon.Lexicons(os.path.join(args.dict_dir, "american-english"),
                                             os.path.join(args.dict_dir, "british-english")))
        return lexicons[0]

    return {
        "English (American).asc": lambda: lexicon.language_description(lex(), "American"),
        "English (British).asc": lambda: lexicon.language_description(lex(), "British"),
        "us.zlx": lambda: lexicon.compile_lexicon(lex().us_only, "en-US")[0],
        "uk.zlx": lambda: lexicon.compile_lexicon(lex().uk_only, "en-GB")[0],
        "english.zlx": lambda: lexicon.compile_lexicon(lex().common, "en")[0],
        "English (American).cache": lambda: lexicon.compile_cache(lex().common, "en"),
        "Basic.asn": sound.sound_scheme,
        "Hyphenation.dat": lambda: hyphenation.hyphenation_data(args.hyphen_file),
    }


def content_for(name, named):
    if name in named:
        return named[name]()
    folder, _, rest = name.partition("\\")
    if folder == "Templates" and rest in templates.TEMPLATES:
        return templates.TEMPLATES[rest]()
    if folder == "Clip Library":
        if rest.startswith("Images\\"):
            parts = rest.split("\\")
            if len(parts) == 3 and parts[2] in images.PICTURES.get(parts[1], {}):
                return images.picture(parts[1], parts[2])
        elif rest in clips.CLIPS:
            return clips.CLIPS[rest]()
    return None


def write_if_changed(path, data):
    """Leaves an unchanged file alone so that the payload is not repacked for nothing."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    p = argparse.ArgumentParser()
    for option in ("--manifest", "--out-dir", "--dict-dir", "--hyphen-file", "--stamp"):
        p.add_argument(option, required=True)
    args = p.parse_args()
    named = makers(args)
    made = 0
    with open(args.manifest, encoding="cp1252") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("//"):
                continue
            fields = line.split("\t")
            if len(fields) != 3 or not fields[2].startswith(PREFIX):
                continue
            name, source = fields[0], fields[2][len(PREFIX):]
            data = content_for(name, named)
            if data is None:
                sys.exit("%s:%d: no content is known for \"%s\"" % (args.manifest, number, name))
            write_if_changed(os.path.join(args.out_dir, *source.split("/")), data)
            made += 1
    with open(args.stamp, "w") as f:
        f.write("%d files\n" % made)


if __name__ == "__main__":
    main()
