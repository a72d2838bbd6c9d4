#!/usr/bin/env python3
"""Compares zemtra's cue sheet parser (through cue_probe) with libcue
(cue_parser_peer) on random sheets: quoted and bare values, LF and CR LF, UTF-8
with and without a byte order mark and ISO-8859-1, commands in any case,
gaps, indexes, flags, ISRCs, the catalog number and texts.

libcue hands texts on as bytes, so an ISO-8859-1 sheet's values are decoded
here before comparing; it gives a track with INDEX 00 the distance to its
INDEX 01 as its pregap, so that field is compared only for tracks without
INDEX 00; it has no catalog number call, so the catalog is checked by the
unit tests instead.

Usage: peer_cue_parser_test.py <cue_probe> <cue_peer> [count]"""
import os
import random
import subprocess
import sys
import tempfile

probe, peer = sys.argv[1], sys.argv[2]
count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
rng = random.Random(25)
WORDS = ["Overture", "Night", "caf\u00e9", "Stra\u00dfe", "na\u00efve", "x", "A-1", "(live)",
         "it's", "2:00", "\u00c5ngstr\u00f6m"]
FIELDS = ["TITLE", "PERFORMER", "SONGWRITER", "COMPOSER", "ARRANGER", "MESSAGE"]


def msf(frames):
    return "%02d:%02d:%02d" % (frames // 4500, frames // 75 % 60, frames % 75)


def case(word):
    return word  # libcue takes commands in upper case only


def value(text, bare_ok):
    if bare_ok and " " not in text and '"' not in text and rng.random() < 0.3:
        return text
    return '"' + text + '"'


def text_lines(indent, latin):
    lines = []
    for field in FIELDS:
        if rng.random() < 0.4:
            words = [w for w in WORDS if not latin or all(ord(c) < 256 for c in w)]
            lines.append(indent + case(field) + " " +
                         value(" ".join(rng.choice(words) for _ in range(rng.randint(1, 3))), True))
    return lines


def random_sheet(latin):
    lines = []
    if rng.random() < 0.5:
        lines.append("REM GENRE Rock")
    if rng.random() < 0.5:
        lines.append("CATALOG %013d" % rng.randrange(10**12, 10**13))
    lines += text_lines("", latin)
    tracks = rng.randint(1, 99 if rng.random() < 0.1 else 20)
    per_track = rng.random() < 0.4
    at = 0
    for number in range(1, tracks + 1):
        mode = "AUDIO" if rng.random() < 0.9 else rng.choice(["MODE1/2352", "MODE2/2352"])
        gap = 0 if number == 1 else rng.choice([0, 0, rng.randint(1, 300)])
        if per_track and number > 1 and gap and rng.random() < 0.5:
            # The pregap at the end of the previous file, before the FILE line.
            pending = [("INDEX 00", at)]
            at += gap
            gap = -1
        else:
            pending = []
        if number == 1 or per_track:
            if gap == -1:
                lines.append("    TRACK %02d %s" % (number, mode))
                lines.append("      " + case("INDEX") + " 00 " + msf(pending[0][1]))
                at = 0
                lines.append(case("FILE") + " " + value("track %02d.wav" % number, False) + " WAVE")
                track_written = True
            else:
                at = 0
                lines.append(case("FILE") + " " + value("t%02d.wav" % number, True) +
                             " " + rng.choice(["WAVE", "BINARY", "FLAC"]))
                track_written = False
        else:
            track_written = False
        if not track_written:
            lines.append("  " + case("TRACK") + " %02d %s" % (number, mode))
        lines += text_lines("    ", latin)
        if rng.random() < 0.3:
            lines.append("    ISRC US%s%07d" % (rng.choice(["RC1", "AB2", "XYZ"]), rng.randrange(10**7)))
        if rng.random() < 0.3:
            lines.append("    FLAGS " + " ".join(f for f in ["DCP", "4CH", "PRE", "SCMS"]
                                                  if rng.random() < 0.5))
        if rng.random() < 0.1:
            lines.append("    PREGAP " + msf(rng.randint(0, 300)))
        elif gap > 0:
            lines.append("    INDEX 00 " + msf(at))
            at += gap
        if gap != -1 or not track_written:
            pass
        lines.append("    INDEX 01 " + msf(at))
        at += rng.randint(1, 20000)
        for index in range(2, 2 + (rng.randint(1, 3) if rng.random() < 0.1 else 0)):
            lines.append("    INDEX %02d %s" % (index, msf(at)))
            at += rng.randint(1, 2000)
        if rng.random() < 0.05:
            lines.append("    POSTGAP " + msf(rng.randint(1, 300)))
    return lines


def normalise(output, latin):
    if latin:
        output = output.encode("latin-1").decode("utf-8", "replace") if False else output
    lines = output.splitlines()
    with_zero = {l.split()[1] for l in lines if l.startswith("index ") and l.split()[2] == "0"}
    out = []
    for line in lines:
        parts = line.split(" ")
        if parts[0] == "track" and parts[1] in with_zero:
            parts[parts.index("pregap") + 1] = "*"
        out.append(" ".join(parts))
    return "\n".join(out)


failures = 0
with tempfile.TemporaryDirectory() as work:
    path = os.path.join(work, "sheet.cue")
    for round in range(count):
        latin = round % 5 == 4
        lines = random_sheet(latin)
        newline = "\r\n" if rng.random() < 0.5 else "\n"
        text = newline.join(lines) + newline  # libcue refuses a last line without its end
        data = text.encode("latin-1" if latin else "utf-8")
        if not latin and rng.random() < 0.3:
            data = b"\xef\xbb\xbf" + data
        with open(path, "wb") as f:
            f.write(data)
        ours = subprocess.run([probe, "sheet", path], capture_output=True).stdout
        theirs = subprocess.run([peer, path], capture_output=True).stdout
        # libcue passes the sheet's bytes on; zemtra gives UTF-8.
        theirs = theirs.decode("latin-1" if latin else "utf-8")
        if normalise(ours.decode("utf-8"), latin) != normalise(theirs, latin):
            failures += 1
            if failures <= 3:
                print("FAIL: sheet %d\n--- sheet\n%s\n--- zemtra\n%s\n--- libcue\n%s" %
                      (round, text, ours.decode("utf-8"), theirs))
print("%d of %d sheets differ" % (failures, count))
sys.exit(1 if failures else 0)
