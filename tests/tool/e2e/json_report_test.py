#!/usr/bin/env python3
"""End-to-end runs of zemtra -json on the simulated drive. Every document
is checked against the schema and for its layout (json_document.py). Then:
the error documents and their exit statuses; the disc's own CD-TEXT with
its control bytes; ISRCs read for -tocisrc without -toc and nothing read
unasked; text switches beside -json changing nothing; and, on many random
discs, every line of the text report (every switch on) against its field
in the document, and every field of the document against a line.

Usage: json_report_test.py <zemtra> <simdrive.so> <report.schema.json> [runtime to preload first]
"""
import copy
import json
import os
import random
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import json_document  # noqa: E402

TEXT_SWITCHES = ["-cdid", "-mbid", "-mbtoc", "-mburl", "-mbws", "-arid", "-arurl", "-cddb",
                 "-length", "-tracks", "-toc", "-tocstart", "-toclength", "-tocend", "-tocctrl",
                 "-tocidx", "-secs", "-frames"]
READING_SWITCHES = ["-mcn", "-tocisrc", "-cdtext"]
FIELDS = ["title", "performer", "songwriter", "composer", "arranger", "message"]


class Runner:
    def __init__(self, zemtra, shim, schema, preload_first, work):
        self.zemtra, self.work = zemtra, work
        self.check = json_document.validator(schema)
        self.device = os.path.join(work, "simcd")
        self.disc = os.path.join(work, "disc.txt")
        self.log = os.path.join(work, "requests.log")
        self.env = dict(os.environ, LD_PRELOAD=(preload_first + ":" if preload_first else "") + shim,
                        ZEMTRA_SIMDRIVE_DEVICE=self.device, ZEMTRA_SIMDRIVE_DISC=self.disc,
                        ZEMTRA_SIMDRIVE_LOG=self.log)
        self.failures = 0

    def fail(self, name, why):
        self.failures += 1
        print("FAIL: %s: %s" % (name, why))
        return False

    def run(self, *arguments):
        if os.path.exists(self.log):
            os.remove(self.log)
        done = subprocess.run([self.zemtra, *arguments], env=self.env, stdout=subprocess.PIPE,
                              stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log) as f:
            return [line.strip() for line in f if not line.startswith("toc")]

    def document(self, name, *arguments, status=0):
        """Runs zemtra, checks its exit status and its document; returns the
        document and its bytes, or None after a failure."""
        got, raw = self.run(*arguments)
        document, problems = json_document.problems(self.check, raw)
        if got != status:
            return self.fail(name, "status %d, wanted %d" % (got, status)) and None
        if problems:
            return self.fail(name, "; ".join(problems) + "\n" + raw.decode("utf-8", "replace")) \
                and None
        return document, raw

    def write_disc(self, lines):
        with open(self.disc, "w") as f:
            f.write("\n".join(lines) + "\n")


def msf(frames):
    return "%d:%d:%d" % (frames // 4500, frames // 75 % 60, frames % 75)


def cdtext_lines(strings_by_type):
    """The simulated drive's cdtext lines for runs of strings from track 0
    (byte strings; CRCs zero, so none is checked)."""
    packs, seq = [], 0
    for kind, strings in strings_by_type.items():
        run = b"".join(s + b"\0" for s in strings)
        run += b"\0" * (-len(run) % 12)
        for offset in range(0, len(run), 12):
            packs.append(bytes([kind, 0, seq, 0]) + run[offset:offset + 12] + b"\0\0")
            seq += 1
    return ["cdtext " + " ".join("%02x" % b for b in p) for p in packs]


# The text report, parsed.

def printable(text):
    return "".join("?" if ord(c) < 0x20 or c in "\x7f\ufffd" else c for c in text)


def time_triple(tokens):
    """msf, seconds, frames of one time with -secs -frames."""
    return {"msf": tokens[0], "seconds": int(tokens[1]), "frames": int(tokens[2])}


def compare(runner, name, lines, document):
    """Checks every text line against its field, then that every field of
    the document was met; a field is taken out of a copy as it is checked."""
    rest = copy.deepcopy(document)
    ok = True

    def same(what, line_value, json_value):
        nonlocal ok
        if line_value != json_value:
            ok = runner.fail(name, "%s: text %r, JSON %r" % (what, line_value, json_value))

    def take(obj, key, what):
        nonlocal ok
        if key not in obj:
            ok = runner.fail(name, "%s: no field %s" % (what, key))
            return None
        return obj.pop(key)

    for key in ("device", "firstTrack", "lastTrack", "sectors"):
        rest.pop(key)  # checked against the disc by the caller
    mb = rest.get("musicbrainz", {})
    ar = rest.get("accurateRip", {})
    tracks = rest["tracks"]
    rows = 0
    for line in lines:
        head, _, value = line.partition(": ")
        if head == "CDID":
            same(head, value, take(rest, "freedb", head))
        elif head == "MBID":
            same(head, value, take(mb, "id", head))
        elif head == "MBTOC":
            same(head, value, take(mb, "toc", head))
            numbers = [int(n) for n in value.split()]
            same("MBTOC lead-out", numbers[2], take(mb, "sectors", head))
            same("MBTOC offsets", numbers[3:], take(mb, "offsets", head))
            same("MBTOC count", numbers[1] - numbers[0] + 1, take(mb, "offset-count", head))
        elif head == "MBURL":
            same(head, value, take(mb, "submissionUrl", head))
        elif head == "MBWS":
            same(head, value, take(mb, "lookupUrl", head))
        elif head == "ARID":
            same(head, value, take(ar, "id", head))
            count, id1, id2, _ = value.split("-")
            same("ARID count", int(count), take(ar, "audioTracks", head))
            same("ARID id1", id1, take(ar, "id1", head))
            same("ARID id2", id2, take(ar, "id2", head))
        elif head == "ARURL":
            same(head, value, take(ar, "url", head))
        elif head == "CDDB":
            same(head, value, take(rest, "cddbQuery", head))
        elif head == "MCN":
            same(head, value, take(rest, "mcn", head))
        elif head == "Length":
            same(head, time_triple(value.split()), take(rest, "length", head))
        elif head == "Tracks":
            same(head, int(value), take(rest, "trackCount", head))
            same("track objects", int(value), len(tracks))
        elif re.match(r"^(Album|Track \d+) \w+$", head):
            words = head.split()
            fields = rest.get("cdText", {})
            owner = fields.get("album", {}) if words[0] == "Album" else \
                fields.get("tracks", {}).get(words[1], {})
            own = take(owner, words[-1], head)
            same(head, value, printable(own) if own is not None else None)
        elif re.match(r"^ *\d+:", line):
            number, _, columns = line.partition(":")
            tokens = columns.split()
            k = int(number) - 1
            if not 0 <= k < len(tracks) or len(tokens) != 12:
                ok = runner.fail(name, "row %r" % line)
                continue
            rows += 1
            track = tracks[k]
            start = take(track, "start", line)
            for what, value, tokens3 in (("start", start, tokens[0:3]),
                                         ("length", take(track, "length", line), tokens[3:6]),
                                         ("end", take(track, "end", line), tokens[6:9])):
                triple = time_triple(tokens3)
                same(what, {"msf": triple["msf"], "frames": triple["frames"]}, value)
            same("offset", start["frames"] if start else None, take(track, "offset", line))
            control = int(tokens[9], 16)
            same("control", control, take(track, "control", line))
            same("audio", control & 4 == 0, take(track, "audio", line))
            same("preEmphasis", control & 1 != 0, take(track, "preEmphasis", line))
            same("copyPermitted", control & 2 != 0, take(track, "copyPermitted", line))
            same("fourChannel", control & 8 != 0, take(track, "fourChannel", line))
            same("number", int(tokens[10]), take(track, "number", line))
            same("isrc", tokens[11], track.pop("isrc", "-"))
        else:
            ok = runner.fail(name, "unknown line %r" % line)
    same("rows", rows, len(tracks))
    # What is left: empty objects where every field was met.
    for key in ("musicbrainz", "accurateRip"):
        if key in rest and not rest[key]:
            del rest[key]
    if "cdText" in rest:
        for owner in [rest["cdText"].get("album", {})] + list(rest["cdText"].get("tracks", {}).values()):
            if owner:
                ok = runner.fail(name, "CD-TEXT without a line: %r" % owner)
        del rest["cdText"]
    if all(not t for t in tracks):
        del rest["tracks"]
    if rest:
        ok = runner.fail(name, "fields without a line: %r" % rest)
    return ok


def random_disc(rng):
    """Lines of a random disc file and its TOC's first track and lead-out."""
    first = rng.choice([1] * 6 + [2, 3, 9])
    count = rng.choice([1, 2, rng.randint(1, 20), rng.randint(1, 99 - first + 1)])
    count = min(count, 100 - first)
    kind = rng.choice(["audio", "audio", "enhanced", "datafirst", "mixed", "dataonly"])
    frames, lines = 150 + rng.randint(0, 100), ["tracks %d %d" % (first, first + count - 1)]
    controls, starts = [], []
    for t in range(count):
        control = rng.choice([0, 0, 0, 1, 2, 3, 8])
        if (kind == "enhanced" and t > 0 and t >= count - 2) or (kind == "datafirst" and t == 0) \
                or kind == "dataonly" or (kind == "mixed" and rng.random() < 0.25):
            control = rng.choice([4, 6])
        if control & 4 and t > 0 and not controls[-1] & 4:
            frames += 11400 + rng.randint(0, 300)
        controls.append(control)
        starts.append(frames)
        frames += rng.randint(500, min(40000, 1100000 // count))
    if count > 2 and rng.random() < 0.05:  # a TOC that cannot be right
        starts[1], starts[2] = starts[2], starts[1]
    for t in range(count):
        lines.append("track %d %d %s" % (first + t, controls[t], msf(starts[t])))
    lines.append("leadout " + msf(frames))
    if rng.random() < 0.5:
        lines.append("mcn %013d" % rng.randint(1, 10 ** 13 - 1))
    for t in range(count):
        if rng.random() < 0.3:
            isrc = "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(2)) + \
                   "".join(rng.choice("ABC0123456789") for _ in range(3)) + \
                   "%07d" % rng.randint(0, 9999999)
            lines.append("isrc %d %s" % (first + t, isrc))
    if rng.random() < 0.6:
        alphabet = [bytes([b]) for b in range(1, 256)] + [b"a", b"e", b" "] * 20
        runs = {}
        for kind_code in rng.sample(range(0x80, 0x86), rng.randint(1, 3)):
            strings = []
            for _ in range(rng.randint(1, first + count + 2)):  # past the last track too
                roll = rng.random()
                strings.append(b"\t" if roll < 0.1 and strings else b"" if roll < 0.2 else
                               b"".join(rng.choice(alphabet) for _ in range(rng.randint(1, 30))))
            runs[kind_code] = strings
        lines += cdtext_lines(runs)
    return lines, first, frames


def fixed_cases(runner):
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "worked_example.disc")) as f:
        example = f.read().splitlines()

    # Errors: the text report's message and exit status, as a document.
    for name, arguments, message in (
            ("unknown switch before -json", ["-tocEnd", runner.device, "-json"],
             "Unknown parameter -tocEnd"),
            ("unknown switch after -json", ["-json", "-x", "-y"], "Unknown parameter -x"),
            ("no drive", ["-json", "-mcn"], "No drive specified"),
            ("no disc", [runner.device, "-json", "-cdtext"], "Can't read disk TOC"),
            ("no device", [runner.device + "x", "-json"], "Can't read disk TOC")):
        runner.write_disc(["nodisc"])
        got = runner.document(name, *arguments, status=1)
        if got and got[0] != {"error": message}:
            runner.fail(name, "document %r" % got[0])
    status, out = runner.run("-tocEnd", runner.device, "-json", "-cdid")
    if out != b'{\n  "error": "Unknown parameter -tocEnd"\n}\n':
        runner.fail("error bytes", repr(out))

    # The disc's own CD-TEXT: control bytes escaped, ISO-8859-1 as UTF-8.
    runner.write_disc(example + ["mcn 0724384260927", "isrc 1 USRC17607839",
                                 "isrc 2 GBAYE0000001"] +
                      cdtext_lines({0x80: [b"Caf\xe9 \x1b[2J\x7f", b"One", b"\t"],
                                    0x81: [b"", b'Q "\\" \x01']}))
    got = runner.document("CD-TEXT", runner.device, "-json", "-cdtext", "-mcn")
    if got:
        document, raw = got
        wanted = {"album": {"title": "Caf\u00e9 \x1b[2J\x7f"},
                  "tracks": {"1": {"title": "One", "performer": 'Q "\\" \x01'},
                             "2": {"title": "One"}}}
        if document.get("cdText") != wanted or document.get("mcn") != "0724384260927":
            runner.fail("CD-TEXT", "document %r" % document)
        for escaped in (b'"Caf\xc3\xa9 \\u001b[2J\\u007f"', rb'"Q \"\\\" \u0001"'):
            if escaped not in raw:
                runner.fail("CD-TEXT", "no %r in the bytes" % escaped)
        if any("isrc" in t for t in document["tracks"]):
            runner.fail("CD-TEXT", "ISRCs read unasked")
        if runner.requests() != ["open", "subchannel 2 0", "cdtext 4", "cdtext 58", "close"]:
            runner.fail("CD-TEXT", "requests %r" % runner.requests())

    # -tocisrc needs no -toc; the text switches change no byte.
    got = runner.document("ISRCs", "-tocisrc", runner.device, "-json")
    if got and [t.get("isrc") for t in got[0]["tracks"]] != ["USRC17607839", "GBAYE0000001", None]:
        runner.fail("ISRCs", "tracks %r" % got[0]["tracks"])
    plain = runner.document("nothing asked", runner.device, "-json")
    if plain:
        if runner.requests() != ["open", "close"]:
            runner.fail("nothing asked", "requests %r" % runner.requests())
        for key in ("mcn", "cdText"):
            if key in plain[0]:
                runner.fail("nothing asked", "has %s" % key)
        _, raw = runner.run(runner.device, *TEXT_SWITCHES, "-json", "-msf")
        if raw != plain[1]:
            runner.fail("text switches beside -json", "other bytes")
        else:
            print("ok: text switches beside -json change nothing")


def main():
    zemtra, shim, schema = sys.argv[1:4]
    preload_first = sys.argv[4] if len(sys.argv) > 4 else ""
    with tempfile.TemporaryDirectory() as work:
        runner = Runner(zemtra, shim, schema, preload_first, work)
        fixed_cases(runner)
        print("fixed cases: %d failure(s)" % runner.failures)

        rng = random.Random(26)
        seen = {}
        for round_number in range(100):
            lines, first, leadout = random_disc(rng)
            runner.write_disc(lines)
            name = "random disc %d" % round_number
            got = runner.document(name, runner.device, "-json", *READING_SWITCHES)
            status, text = runner.run(runner.device, *TEXT_SWITCHES, *READING_SWITCHES)
            if not got:
                continue
            if status != 0:
                runner.fail(name, "text report's status %d" % status)
                continue
            document = got[0]
            for key in ("musicbrainz", "accurateRip", "mcn", "cdText"):
                seen[key] = seen.get(key, 0) + (key in document)
            seen["isrc"] = seen.get("isrc", 0) + any("isrc" in t for t in document["tracks"])
            if (document["device"], document["firstTrack"], document["sectors"]) != \
                    (runner.device, first, leadout):
                runner.fail(name, "device, first track or lead-out")
            if not text.endswith(b"\r\r\n"):
                runner.fail(name, "text report ends in %r" % text[-3:])
            text_lines = text.decode("utf-8")[:-3].split("\r\r\n")
            if not compare(runner, name, text_lines, document):
                print("\n".join(lines))
        print("random discs with each field: %r" % seen)
        print("random discs: %d failure(s) in all" % runner.failures)
    return 1 if runner.failures else 0


if __name__ == "__main__":
    sys.exit(main())
