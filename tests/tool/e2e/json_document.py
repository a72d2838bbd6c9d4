#!/usr/bin/env python3
"""Checks documents of zemtra -json: their bytes (UTF-8 without a BOM,
LF line ends, no raw control byte, indented by two spaces as a standard
writer lays the same value out, one LF at the end) and the published
schema (JSON Schema draft 2020-12).

As a program: json_document.py <schema> <document file>...; prints each
problem and exits 1 when there is one.
"""
import json
import sys

import jsonschema


def validator(schema_path):
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def problems(check, raw):
    """The document in the bytes raw and the list of what is wrong with it."""
    found = []
    if raw.startswith(b"\xef\xbb\xbf"):
        found.append("begins with a BOM")
    if b"\r" in raw:
        found.append("holds a CR")
    if not raw.endswith(b"\n") or raw.endswith(b"\n\n"):
        found.append("does not end in exactly one LF")
    raw_controls = [b for b in raw if (b < 0x20 and b != 0x0A) or b == 0x7F]
    if raw_controls:
        found.append("holds raw control bytes %r" % sorted(set(raw_controls)))
    try:
        text = raw.decode("utf-8")
        document = json.loads(text)
    except ValueError as error:
        return None, found + ["is no UTF-8 JSON: %s" % error]
    laid_out = json.dumps(document, indent=2, ensure_ascii=False).replace("\x7f", "\\u007f")
    if text != laid_out + "\n":
        found.append("is not laid out with two-space indentation")
    for error in check.iter_errors(document):
        found.append("schema: %s at %s" % (error.message, "/".join(map(str, error.path))))
    return document, found


def main():
    check = validator(sys.argv[1])
    failures = 0
    for path in sys.argv[2:]:
        with open(path, "rb") as f:
            _, found = problems(check, f.read())
        for problem in found:
            print("FAIL: %s %s" % (path, problem))
        failures += len(found)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
