#!/usr/bin/env python3
"""Builds the shipped language files from their UTF-8 source tables.

    python3 tools/language/make_language_files.py          # write LANGUAGE/*.txt
    python3 tools/language/make_language_files.py --check  # fail if they are stale

Each table (tr.tsv, en.tsv) has one "line<TAB>text" row per text; rows starting
with "#" and blank rows are notes. The program reads a language file by position:
line N of the file is text N, so every file has exactly 418 lines, Windows-1254
encoded, each ended by CR LF. Lines a table does not list are written empty.
"""

import argparse
import pathlib
import sys

LINE_COUNT = 418
HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent.parent
TABLES = {
    "tr.tsv": "Türkçe.txt",
    "en.tsv": "English.txt",
}


def read_table(path: pathlib.Path) -> list[str]:
    texts = [""] * LINE_COUNT
    seen = set()
    for number, row in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not row.strip() or row.startswith("#"):
            continue
        key, sep, text = row.partition("\t")
        if not sep or not key.strip().isdigit():
            raise SystemExit(f"{path.name}:{number}: expected 'line<TAB>text'")
        line = int(key)
        if not 1 <= line <= LINE_COUNT:
            raise SystemExit(f"{path.name}:{number}: line {line} outside 1..{LINE_COUNT}")
        if line in seen:
            raise SystemExit(f"{path.name}:{number}: line {line} listed twice")
        if "\r" in text or "\n" in text:
            raise SystemExit(f"{path.name}:{number}: text holds a line break")
        seen.add(line)
        texts[line - 1] = text
    return texts


def encode(texts: list[str], name: str) -> bytes:
    out = bytearray()
    for line, text in enumerate(texts, 1):
        try:
            out += text.encode("cp1254")
        except UnicodeEncodeError as err:
            raise SystemExit(f"{name}: line {line}: {text!r} has a character outside Windows-1254 ({err})")
        out += b"\r\n"
    return bytes(out)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only compare with the files in LANGUAGE/")
    parser.add_argument("--out", type=pathlib.Path, default=REPO / "LANGUAGE", help="output folder")
    args = parser.parse_args()

    tables = {name: read_table(HERE / name) for name in TABLES}
    # Every language must fill the same lines: a text present in one file and
    # missing in another shows as an empty caption or message.
    filled = {name: {i for i, t in enumerate(texts, 1) if t} for name, texts in tables.items()}
    first = next(iter(filled))
    for name, lines in filled.items():
        if lines != filled[first]:
            diff = sorted(lines.symmetric_difference(filled[first]))
            raise SystemExit(f"{name} and {first} fill different lines: {diff}")

    stale = []
    args.out.mkdir(parents=True, exist_ok=True)
    for table, file_name in TABLES.items():
        data = encode(tables[table], file_name)
        target = args.out / file_name
        if args.check:
            if not target.exists() or target.read_bytes() != data:
                stale.append(str(target))
        else:
            target.write_bytes(data)
            print(f"wrote {target} ({len(filled[table])} texts)")
    if stale:
        print("out of date, run make_language_files.py:", *stale, sep="\n  ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
