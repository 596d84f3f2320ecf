#!/usr/bin/python3
"""Writes the core package's country, language and script tables from Debian's iso-codes.

usage: make-locale-tables.py ISO_CODES_JSON_DIR OUTPUT_DIR

Each table is UTF-8, one header line, then one TAB-separated row per entry, sorted by name:
  countries.csv  alpha-2, alpha-3, name
  languages.csv  ISO 639-1, ISO 639-2/B, ISO 639-2/T, name
  scripts.csv    ISO 15924, name
"""
import json
import os
import sys


def clean(text):
    # Fields are TAB-separated lines without quoting.
    return " ".join(text.replace("\t", " ").split())


def write(path, header, rows):
    rows = sorted(rows, key=lambda r: (r[-1].casefold(), r))
    data = "\t".join(header) + "\n" + "".join("\t".join(r) + "\n" for r in rows)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(data)


def main():
    src, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)

    def load(name, key):
        with open(os.path.join(src, name), encoding="utf-8") as f:
            return json.load(f)[key]

    countries = [(c["alpha_2"], c["alpha_3"], clean(c.get("common_name", c["name"])))
                 for c in load("iso_3166-1.json", "3166-1")]
    write(os.path.join(out, "countries.csv"), ["ISO 3166-1 alpha-2", "ISO 3166-1 alpha-3", "Name"], countries)

    languages = []
    for lang in load("iso_639-2.json", "639-2"):
        code = lang["alpha_3"]
        if "-" in code:  # ranges reserved for local use
            continue
        name = clean(lang.get("common_name", lang["name"]).split(";")[0])
        languages.append((lang.get("alpha_2", ""), lang.get("bibliographic", code), code, name))
    write(os.path.join(out, "languages.csv"), ["ISO 639-1", "ISO 639-2/B", "ISO 639-2/T", "Name"], languages)

    scripts = [(s["alpha_4"], clean(s["name"])) for s in load("iso_15924.json", "15924")]
    write(os.path.join(out, "scripts.csv"), ["ISO 15924", "Name"], scripts)


if __name__ == "__main__":
    main()
