#!/usr/bin/env python3
"""End-to-end runs of zemtra -json on the simulated drive. Every document
is checked against the schema and for its layout (json_document.py). Then:
the error documents and their exit statuses; the disc's own CD-TEXT with
its control bytes; ISRCs, gaps and indexes read without -toc and nothing
read unasked; the audio's checksums, verdicts and read offsets with the
text report's exit statuses; text switches beside -json changing nothing;
and, on many random discs (some with gaps, a few small ones with audio and
an AccurateRip record), every line of the text report (every switch on)
against its field in the document, and every field of the document against
a line.

Usage: json_report_test.py <zemtra> <simdrive.so> <report.schema.json> [runtime to preload first]
"""
import copy
import json
import os
import random
import re
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import json_document  # noqa: E402

TEXT_SWITCHES = ["-cdid", "-mbid", "-mbtoc", "-mburl", "-mbws", "-arid", "-arurl", "-cddb",
                 "-length", "-tracks", "-toc", "-tocstart", "-toclength", "-tocend", "-tocctrl",
                 "-tocidx", "-secs", "-frames", "-ctdbid"]
READING_SWITCHES = ["-mcn", "-tocisrc", "-cdtext"]
GAP_SWITCHES = ["-tocpregap", "-tocindex"]


class Absent:
    """Stands for a key that a document does not have."""

    def __repr__(self):
        return "absent"


ABSENT = Absent()
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


def msf_frames(text):
    """The frame count of an mmm:ss:ff time."""
    m, sec, f = (int(n) for n in text.split(":"))
    return m * 4500 + sec * 75 + f


def index_column(tokens):
    """The document's "indexes" of a -tocindex column: absent (None) for
    "-", null for "?", else one object per "<n>@<time>" ("<n>@?": unknown)."""
    if tokens == ["-"]:
        return None
    if tokens == ["?"]:
        return "null"
    indexes = []
    for token in tokens:
        number, _, start = token.partition("@")
        known = start != "?"
        indexes.append({"number": int(number), "frames": msf_frames(start) if known else None,
                        "msf": start if known else None})
    return indexes


VERDICT = re.compile(r"^accurate \(confidence (\d+), v([12])\)$|"
                     r"^not accurate \((\d+) rips of other pressings\)$|^not in the record$")
CHECKSUMS = re.compile(r"^AR1 ([0-9a-f]{8}) AR2 ([0-9a-f]{8}) AR450 ([0-9a-f]{8}) "
                       r"CRC32 ([0-9a-f]{8})$|^unreadable at sector (\d+)$")
READ_OFFSET = re.compile(r"^([+-]\d+) \(matches (\d+) of (\d+) tracks, confidence (\d+)\)$")


def compare(runner, name, lines, document, gaps=(), status=0):
    """Checks every text line against its field, then that every field of
    the document was met; a field is taken out of a copy as it is checked.
    gaps: the gap switches given (their columns stand in the rows); status:
    the text report's exit status, which the verification lines explain."""
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

    first = rest["firstTrack"]
    for key in ("device", "firstTrack", "lastTrack", "sectors"):
        rest.pop(key)  # checked against the disc by the caller
    mb = rest.get("musicbrainz", {})
    ar = rest.get("accurateRip", {})
    tracks = rest["tracks"]
    offsets = rest.get("readOffset") or []
    rows = 0
    # The text report's exit status: 2 when a track is unreadable or not
    # accurate.
    bad = False

    def track_of(head):
        """The document's track of a "Track <n> ..." line."""
        k = int(head.split()[1]) - first
        if not 0 <= k < len(tracks):
            runner.fail(name, "no track object for %r" % head)
            return {}
        return tracks[k]

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
        elif head == "CTDBID":
            same(head, {"tocId": value}, take(rest, "ctdb", head))
        elif head == "CDDB":
            same(head, value, take(rest, "cddbQuery", head))
        elif head == "MCN":
            same(head, value, take(rest, "mcn", head))
        elif head == "Length":
            same(head, time_triple(value.split()), take(rest, "length", head))
        elif head == "Tracks":
            same(head, int(value), take(rest, "trackCount", head))
            same("track objects", int(value), len(tracks))
        elif re.match(r"^Track \d+ checksums$", head):
            sums = CHECKSUMS.match(value)
            track = track_of(head)
            if not sums:
                ok = runner.fail(name, "line %r" % line)
            elif sums.group(5) is not None:
                bad = True
                same(head, int(sums.group(5)), take(track, "unreadable", head))
            else:
                same(head, dict(zip(("ar1", "ar2", "ar450", "crc32"), sums.groups()[:4])),
                     take(track, "checksums", head))
        elif head == "Offset fill":
            same(head, int(value.split()[0]), take(rest, "offsetFill", head))
        elif re.match(r"^Track \d+ AccurateRip$", head):
            verdict = VERDICT.match(value)
            if not verdict:
                ok = runner.fail(name, "line %r" % line)
                continue
            accurate, version, others = verdict.group(1), verdict.group(2), verdict.group(3)
            wanted = {"accurate": accurate is not None,
                      "confidence": int(accurate or others or 0)}
            if version:
                wanted["version"] = int(version)
            same(head, wanted, take(track_of(head), "accurateRip", head))
        elif head == "AccurateRip":
            numbers = re.match(r"^(\d+) of (\d+) tracks accurate$", value)
            counts = {"accurate": int(numbers.group(1)), "tracks": int(numbers.group(2))} \
                if numbers else None
            bad = bad or not numbers or counts["accurate"] != counts["tracks"]
            same(head, counts, take(rest, "accurateRipSummary", head))
        elif head == "Read offset":
            found = READ_OFFSET.match(value)
            if value == "not found":
                same(head, None, take(rest, "readOffset", head))
            elif not found or not offsets:
                ok = runner.fail(name, "line %r, offsets %r" % (line, offsets))
            else:
                same(head, {"offset": int(found.group(1)), "matches": int(found.group(2)),
                            "tracks": int(found.group(3)), "confidence": int(found.group(4))},
                     offsets.pop(0))
                if not offsets:
                    rest.pop("readOffset", None)
        elif re.match(r"^(Album|Track \d+) (%s)$" % "|".join(FIELDS), head):
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
            pregap_width = 0
            if "-tocpregap" in gaps:
                pregap_width = 1 if len(tokens) > 9 and tokens[9] == "?" else 3
            index_at = 12 + pregap_width
            if not 0 <= k < len(tracks) or len(tokens) < index_at or \
                    (len(tokens) > index_at) != ("-tocindex" in gaps):
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
            if pregap_width:
                pregap = None if pregap_width == 1 else time_triple(tokens[9:12])
                if pregap:
                    pregap.pop("seconds")
                same("pregap", pregap, take(track, "pregap", line))
            tokens = tokens[9 + pregap_width:]
            control = int(tokens[0], 16)
            same("control", control, take(track, "control", line))
            same("audio", control & 4 == 0, take(track, "audio", line))
            same("preEmphasis", control & 1 != 0, take(track, "preEmphasis", line))
            same("copyPermitted", control & 2 != 0, take(track, "copyPermitted", line))
            same("fourChannel", control & 8 != 0, take(track, "fourChannel", line))
            same("number", int(tokens[1]), take(track, "number", line))
            same("isrc", tokens[2], track.pop("isrc", "-"))
            if "-tocindex" in gaps:
                indexes = track.pop("indexes", ABSENT)
                same("indexes", index_column(tokens[3:]),
                     None if indexes is ABSENT else "null" if indexes is None else indexes)
        else:
            ok = runner.fail(name, "unknown line %r" % line)
    same("rows", rows, len(tracks))
    same("exit status", 2 if bad else 0, status)
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


def random_disc(rng, small=False):
    """Lines of a random disc file, its TOC's first track and lead-out, and
    its tracks' controls and starts. A small disc has up to five tracks of
    audio (the last ones data on an enhanced CD) of at most 2,500 frames."""
    first = rng.choice([1] * 6 + [2, 3, 9])
    count = rng.choice([1, 2, rng.randint(1, 20), rng.randint(1, 99 - first + 1)])
    count = min(rng.randint(1, 5) if small else count, 100 - first)
    kind = rng.choice(["audio", "audio", "enhanced"] if small else
                      ["audio", "audio", "enhanced", "datafirst", "mixed", "dataonly"])
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
        frames += rng.randint(300, 2500) if small else rng.randint(500, min(40000, 1100000 // count))
    if count > 2 and rng.random() < 0.05 and not small:  # a TOC that cannot be right
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
    return lines, first, frames, controls, starts


def gap_lines(rng, first, controls, starts, leadout):
    """Random pregaps and further indexes of a disc's audio tracks, and now
    and then Q answers that leave some of them unknown."""
    lines = []
    ends = starts[1:] + [leadout]
    for t, control in enumerate(controls):
        if control & 4:
            continue
        if t > 0 and not controls[t - 1] & 4 and rng.random() < 0.4:
            lines.append("pregap %d %d" % (first + t, rng.randint(1, (starts[t] - starts[t - 1]) // 2)))
        if rng.random() < 0.25:
            room = (ends[t] - starts[t]) // 2
            marks = sorted(rng.sample(range(1, room), min(rng.randint(1, 3), room - 1)))
            for n, mark in enumerate(marks):
                lines.append("index %d %d %s" % (first + t, n + 2, msf(starts[t] + mark)))
    if rng.random() < 0.3:
        lba = rng.randint(0, leadout - 150)
        lines.append("%s %d %d" % (rng.choice(["qbadcrc", "qfail", "qjunk"]), lba,
                                   lba + rng.randint(0, 20)))
    if rng.random() < 0.2:
        lines.append(rng.choice(["qbinary", "qnocrc", "qslip 1", "qother 97 3"]))
    return lines


def audio_lines(rng, first, controls, starts):
    """Random audio for a small disc: seeds, a silent track, the drive's
    offset and now and then a sector that fails."""
    lines = ["driveoffset %d" % rng.choice([0, 6, 667, -1200, 30, -2939])]
    audio = [t for t, control in enumerate(controls) if not control & 4]
    for t in audio:
        roll = rng.random()
        if roll < 0.1:
            lines.append("silence %d" % (first + t))
        elif roll < 0.5:
            lines.append("seed %d %d" % (first + t, rng.randint(1, 1000)))
    if rng.random() < 0.3:
        t = rng.choice(audio)
        lines.append("readfail %d" % (starts[t] - 150 + rng.randint(0, 200)))
    return lines


def write_record(path, document, rng, matching):
    """An AccurateRip record for the disc of the document (read with
    -arcrc): one or two chunks, each track's entry matching its v2 or v1
    checksum, another pressing's or a rip of none (confidence 0), all
    matching when matching is set."""
    ar = document["accurateRip"]
    read = [t for t in document["tracks"] if "checksums" in t or "unreadable" in t]
    out = b""
    for _ in range(rng.randint(1, 2)):
        out += struct.pack("<BIII", ar["audioTracks"], int(ar["id1"], 16), int(ar["id2"], 16),
                           int(document["freedb"], 16))
        for k in range(ar["audioTracks"]):
            sums = read[k].get("checksums") if k < len(read) else None
            kind = rng.choice(["ar2", "ar1"] if matching else ["ar2", "ar1", "other", "none"])
            if not sums:
                sums, kind = {"ar1": "0", "ar2": "0", "ar450": "0"}, "other"
            confidence = 0 if kind == "none" else rng.randint(1, 200)
            checksum = int(sums["ar1" if kind == "ar1" else "ar2"], 16) ^ (kind in ("other", "none"))
            out += struct.pack("<BII", confidence, checksum, int(sums["ar450"], 16))
    with open(path, "wb") as f:
        f.write(out)


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
        _, raw = runner.run(runner.device, *TEXT_SWITCHES, "-json", "-msf", "-cue", "-cuetracks")
        if raw != plain[1] or runner.requests() != ["open", "close"]:
            runner.fail("text switches beside -json", "other bytes or requests %r"
                        % runner.requests())
        else:
            print("ok: text switches beside -json change nothing")


def gap_cases(runner):
    """The gap discs' pregaps and indexes without -toc, known and unknown."""
    here = os.path.dirname(os.path.abspath(__file__))

    def disc(file, *extra):
        with open(os.path.join(here, "gap_discs", file)) as f:
            runner.write_disc(f.read().splitlines() + list(extra))

    def time(frames):
        return {"frames": frames, "msf": "%03d:%02d:%02d" % (frames // 4500, frames // 75 % 60,
                                                             frames % 75)}

    def index(number, frames):
        return dict({"number": number}, **(time(frames) if frames is not None else
                                           {"frames": None, "msf": None}))

    def gaps_of(document):
        return [(t.get("pregap", ABSENT), t.get("indexes", ABSENT)) for t in document["tracks"]]

    sample = [(time(0), ABSENT), (time(150), ABSENT),
              (time(0), [index(2, 45000), index(3, 49500)]), (time(37), ABSENT)]
    for extra, wanted in (
            ([], sample),
            # The boundary sector before track 2 does not count: its pregap
            # and the indexes of track 1 (its last sector) are unknown.
            (["qbadcrc 18711 18712"], [(time(0), None), (None, ABSENT)] + sample[2:]),
            # INDEX 02 of track 3 unknown, INDEX 03 known.
            (["qbadcrc 44845 44855"], sample[:2] + [(time(0), [index(2, None), index(3, 49500)])] +
             sample[3:]),
            (["qfail 0 99999"], [(time(0), None)] + [(None, None)] * 3)):
        disc("sample.disc", *extra)
        got = runner.document("sample %r" % extra, runner.device, "-json", "-tocindex", "-tocpregap")
        if got and gaps_of(got[0]) != wanted:
            runner.fail("sample %r" % extra, "gaps %r" % gaps_of(got[0]))
    # Each switch adds its own key only.
    disc("sample.disc")
    for switch, key in (("-tocpregap", "indexes"), ("-tocindex", "pregap")):
        got = runner.document(switch, switch, runner.device, "-json")
        if got and any(key in t for t in got[0]["tracks"]):
            runner.fail(switch, "has %s" % key)
    disc("htoa.disc")
    got = runner.document("hidden track one audio", runner.device, "-json", "-tocpregap")
    if got and [t["pregap"] for t in got[0]["tracks"]] != [time(2400), time(75)]:
        runner.fail("hidden track one audio", "tracks %r" % got[0]["tracks"])
    disc("enhanced.disc")
    got = runner.document("enhanced CD", runner.device, "-json", "-tocpregap", "-tocindex")
    if got and gaps_of(got[0]) != [(time(0), ABSENT), (time(200), [index(2, 18000)]),
                                   (None, None)]:
        runner.fail("enhanced CD", "gaps %r" % gaps_of(got[0]))


def verify_cases(runner):
    """The verification's fields and exit statuses on the verify test's
    disc: three audio tracks, sectors 0-600, 600-1100 (seed 77), 1100-1700."""
    base = ["tracks 1 3", "track 1 0 0:2:0", "track 2 0 0:10:0", "track 3 0 0:16:50",
            "leadout 0:24:50", "seed 2 77"]
    record = os.path.join(runner.work, "v2.bin")
    runner.write_disc(base + ["driveoffset 667"])
    got = runner.document("read at the drive's offset", runner.device, "-json", "-arcrc",
                          "-offset=667")
    if not got:
        return
    read = got[0]
    # The drive's last 667 samples lie past the lead-out: zero.
    if any(set(t) & {"accurateRip", "unreadable"} for t in read["tracks"]) or \
            set(read) & {"accurateRipSummary", "readOffset"} or read.get("offsetFill") != 667:
        runner.fail("read at the drive's offset", "document %r" % read)
    # A one-chunk record of every track's v2 checksum, confidence 12.
    ar = read["accurateRip"]
    chunk = struct.pack("<BIII", 3, int(ar["id1"], 16), int(ar["id2"], 16),
                        int(read["freedb"], 16))
    for track in read["tracks"]:
        chunk += struct.pack("<BII", 12, int(track["checksums"]["ar2"], 16),
                             int(track["checksums"]["ar450"], 16))
    with open(record, "wb") as f:
        f.write(chunk)
    accurate = {"accurate": True, "confidence": 12, "version": 2}
    for name, arguments, status, check in (
            ("accurate", ["-ardb=" + record, "-offset=667"], 0,
             lambda d: [t["accurateRip"] for t in d["tracks"]] == [accurate] * 3 and
             [t["checksums"] for t in d["tracks"]] == [t["checksums"] for t in read["tracks"]] and
             d["accurateRipSummary"] == {"accurate": 3, "tracks": 3} and "readOffset" not in d),
            ("another pressing, the offset found", ["-ardb=" + record, "-findoffset"], 2,
             lambda d: [t["accurateRip"] for t in d["tracks"]] ==
             [{"accurate": False, "confidence": 12}] * 3 and
             d["accurateRipSummary"] == {"accurate": 0, "tracks": 3} and
             d["readOffset"] == [{"offset": 667, "matches": 3, "tracks": 3, "confidence": 36}]),
            ("zero fill", ["-arcrc", "-offset=-1000"], 0,
             lambda d: d["offsetFill"] == 1000 and "accurateRip" not in d["tracks"][0])):
        got = runner.document(name, runner.device, "-json", *arguments, status=status)
        if got and not check(got[0]):
            runner.fail(name, "document %r" % got[0])

    runner.write_disc(base + ["driveoffset 667", "readfail 700"])
    got = runner.document("unreadable", runner.device, "-json", "-ardb=" + record, "-findoffset",
                          status=2)
    if got:
        tracks = got[0]["tracks"]
        if tracks[1].get("unreadable") != 700 or set(tracks[1]) & {"checksums", "accurateRip"} or \
                got[0]["accurateRipSummary"] != {"accurate": 0, "tracks": 3} or \
                got[0]["readOffset"][0]["matches"] != 2:
            runner.fail("unreadable", "document %r" % got[0])
    # The text report's reads, with the text switches changing nothing.
    text_reads = [r for r in runner.requests() if r.startswith("read")]
    _, raw = runner.run(runner.device, "-json", "-ardb=" + record, "-findoffset", "-cue",
                        "-cuetracks", *TEXT_SWITCHES)
    if raw != got[1] if got else True:
        runner.fail("text switches beside -json, audio read", "other bytes")
    runner.run(runner.device, "-ardb=" + record, "-findoffset", "-cdid")
    if [r for r in runner.requests() if r.startswith("read")] != text_reads or not text_reads:
        runner.fail("audio read", "other reads than the text report's")

    runner.write_disc(base)
    with open(record, "r+b") as f:
        f.seek(1)
        f.write(b"\xff")  # id1 of another disc
    for name, arguments, message in (
            ("record of another disc", ["-ardb=" + record, "-arcrc"],
             record + " is not the AccurateRip record of this disc"),
            ("-findoffset without a record", ["-findoffset", "-arcrc"],
             "-findoffset needs -ardb=FILE")):
        got = runner.document(name, runner.device, "-json", *arguments, status=1)
        if got and got[0] != {"error": message}:
            runner.fail(name, "document %r" % got[0])
        if any(r.startswith("readcd") for r in runner.requests()):
            runner.fail(name, "audio read")


def audio_round(runner, rng, lines):
    """The switches of a run that reads a small disc's audio: -arcrc, or a
    record (written from a read at the drive's offset), with the offset
    search at times, at the drive's offset, another or none."""
    drive_offset = next(int(line.split()[1]) for line in lines if line.startswith("driveoffset"))
    _, raw = runner.run(runner.device, "-json", "-arcrc", "-offset=%d" % drive_offset)
    switches = [rng.choice(["-arcrc", "-ardb", "-findoffset", "-findoffset"])]
    if switches[0] != "-arcrc":
        record = os.path.join(runner.work, "record.bin")
        write_record(record, json.loads(raw), rng, rng.random() < 0.4)
        switches = ["-ardb=" + record] + (["-findoffset"] if switches[0] == "-findoffset" else [])
    roll = rng.random()
    if roll < 0.4:
        switches.append("-offset=%+d" % drive_offset)
    elif roll < 0.7:
        switches.append("-offset=%d" % rng.randint(-3000, 3000))
    return switches


def main():
    zemtra, shim, schema = sys.argv[1:4]
    preload_first = sys.argv[4] if len(sys.argv) > 4 else ""
    with tempfile.TemporaryDirectory() as work:
        runner = Runner(zemtra, shim, schema, preload_first, work)
        fixed_cases(runner)
        gap_cases(runner)
        verify_cases(runner)
        print("fixed cases: %d failure(s)" % runner.failures)

        rng = random.Random(26)
        seen = {}
        for round_number in range(100):
            # Every tenth disc is small and its audio is read.
            small = round_number % 10 == 5
            lines, first, leadout, controls, starts = random_disc(rng, small)
            gaps = rng.choice([[], [], ["-tocpregap"], ["-tocindex"], GAP_SWITCHES])
            if gaps:
                lines += gap_lines(rng, first, controls, starts, leadout)
            if small:
                lines += audio_lines(rng, first, controls, starts)
            runner.write_disc(lines)
            name = "random disc %d" % round_number
            reading = READING_SWITCHES + gaps + (audio_round(runner, rng, lines) if small else [])
            status, text = runner.run(runner.device, *TEXT_SWITCHES, *reading)
            got = runner.document(name, runner.device, "-json", *reading, status=status)
            if not got:
                continue
            document = got[0]
            for key in ("musicbrainz", "accurateRip", "ctdb", "mcn", "cdText", "offsetFill",
                        "accurateRipSummary", "readOffset"):
                seen[key] = seen.get(key, 0) + (key in document)
            for key in ("isrc", "pregap", "indexes", "checksums", "unreadable", "accurateRip"):
                seen["track " + key] = seen.get("track " + key, 0) + \
                    any(key in t for t in document["tracks"])
            seen["unknown gap"] = seen.get("unknown gap", 0) + \
                any(t.get("pregap", 0) is None or t.get("indexes", 0) is None
                    for t in document["tracks"])
            if (document["device"], document["firstTrack"], document["sectors"]) != \
                    (runner.device, first, leadout):
                runner.fail(name, "device, first track or lead-out")
            if not text.endswith(b"\r\r\n"):
                runner.fail(name, "text report ends in %r" % text[-3:])
            text_lines = text.decode("utf-8")[:-3].split("\r\r\n")
            if not compare(runner, name, text_lines, document, gaps, status):
                print("\n".join(lines))
        print("random discs with each field: %r" % seen)
        print("random discs: %d failure(s) in all" % runner.failures)
    return 1 if runner.failures else 0


if __name__ == "__main__":
    sys.exit(main())
