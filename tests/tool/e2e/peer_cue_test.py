#!/usr/bin/env python3
"""Reads the cue sheets of zemtra -cue and -cuetracks back with libcue
(the cue_peer program) on many random discs of the simulated drive: hidden
audio before track 1, pregaps, further indexes, flags, a data session at the
end, catalog numbers, ISRCs and CD-TEXT with quotes, backslashes and control
bytes. libcue must hold the tracks, files, indexes, ISRCs, flags and texts
the disc has; every line ends in exactly one CR and an LF. (libcue keeps the
CATALOG value to itself, so the sheet's own line is compared.)

Usage: peer_cue_test.py <zemtra> <simdrive.so> <cue_peer> [runtime to preload first]
"""
import os
import random
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_cdtext_test import Block, random_text  # noqa: E402

FIELDS = range(6)


def msf(frames):
    return "%d:%d:%d" % (frames // 4500, frames // 75 % 60, frames % 75)


def cue_text(raw):
    """A CD-TEXT string as the sheet and then libcue hold it."""
    text = "".join(chr(b) for b in raw if b >= 0x20 and b != 0x7F).replace('"', "'")
    return text.rstrip("\\")


class Disc:
    def __init__(self, rng):
        self.first = rng.choice([1, 1, 1, 4])
        count = rng.randint(1, 25)
        lba = rng.choice([0, 0, rng.randint(1, 3000)])
        self.tracks = []  # (lba, pregap, control, index LBAs)
        for k in range(count):
            pregap = 0 if k == 0 else rng.choice([0, rng.randint(1, 600)])
            lba += pregap
            length = rng.randint(600, 300000 // count)
            indexes, at = [], lba
            while rng.random() < 0.3 and at + 200 < lba + length - 2:
                at = rng.randint(at + 1, at + 200)
                indexes.append(at)
            self.tracks.append((lba, lba if k == 0 else pregap, rng.choice([0, 0, 2, 1, 8, 11]),
                                indexes))
            lba += length
        self.data = rng.random() < 0.25
        if self.data:
            self.data_start = lba + 11400
            lba = self.data_start + 5000
        self.lead_out = lba
        self.mcn = "".join(rng.choice("0123456789") for _ in range(13)) \
            if rng.random() < 0.5 else None
        self.isrcs = {}
        for k in range(count):
            if rng.random() < 0.5:
                self.isrcs[k] = "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(2)) + \
                    "".join(rng.choice("ABC0123456789") for _ in range(3)) + \
                    "".join(rng.choice("0123456789") for _ in range(7))
        last = self.first + count - 1 + (1 if self.data else 0)
        self.block = Block(0, 0, self.first, last)
        if rng.random() < 0.8:
            for kind in range(0x80, 0x86):
                if rng.random() < 0.5:
                    continue
                strings = [random_text(rng, False) for _ in range(rng.randint(1, count + 1))]
                strings = [s.replace(b"\t", b" ") for s in strings]
                for s in strings:
                    if rng.random() < 0.2:
                        strings[strings.index(s)] = s + b'"\\\\' if rng.random() < 0.5 else s + b'\\'
                self.block.strings[kind], self.block.firsts[kind] = strings, 0

    def text(self, track, field):
        strings = self.block.strings.get(0x80 + field, [])
        return cue_text(strings[track]) if track < len(strings) else ""

    def file(self):
        count = len(self.tracks)
        lines = ["tracks %d %d" % (self.first, self.first + count - 1 + (1 if self.data else 0))]
        for k, (lba, pregap, control, indexes) in enumerate(self.tracks):
            number = self.first + k
            lines.append("track %d %d %s" % (number, control, msf(lba + 150)))
            if k > 0 and pregap:
                lines.append("pregap %d %d" % (number, pregap))
            for i, at in enumerate(indexes):
                lines.append("index %d %d %s" % (number, i + 2, msf(at + 150)))
            if k in self.isrcs:
                lines.append("isrc %d %s" % (number, self.isrcs[k]))
        if self.data:
            lines.append("track %d 4 %s" % (self.first + count, msf(self.data_start + 150)))
        lines.append("leadout %s" % msf(self.lead_out + 150))
        if self.mcn:
            lines.append("mcn " + self.mcn)
        packs, _ = self.block.packs(0) if self.block.strings else ([], 0)
        lines += ["cdtext " + p.hex(" ") for p in packs]
        return "\n".join(lines) + "\n"

    def expected(self, per_track):
        out = []
        for field in FIELDS:
            if self.text(0, field):
                out.append("album %d %s" % (field, self.text(0, field)))
        previous = None
        for k, (lba, pregap, control, indexes) in enumerate(self.tracks):
            number = self.first + k
            name = "Track%02d.wav" % number if per_track else "CDImage.wav"
            out.append("track %d %s" % (k + 1, name))
            base = lba if per_track else 0
            if pregap and not (per_track and k == 0):
                out.append("index 0 %d" % (lba - pregap - (previous if per_track else 0)))
            out.append("index 1 %d" % (lba - base))
            out += ["index %d %d" % (i + 2, at - base) for i, at in enumerate(indexes)]
            if pregap:
                out.append("pregap %d" % pregap) if not per_track or k == 0 else None
            if k in self.isrcs:
                out.append("isrc " + self.isrcs[k])
            out.append("flags %d %d %d" % (control >> 1 & 1, control >> 3 & 1, control & 1))
            for field in FIELDS:
                if self.text(number, field):
                    out.append("text %d %s" % (field, self.text(number, field)))
            previous = lba
        return "\n".join(out) + "\n"


def main():
    zemtra, shim, peer = sys.argv[1:4]
    preload = (sys.argv[4] + ":" if len(sys.argv) > 4 else "") + shim
    rng = random.Random(23)
    failures = 0
    rounds = 60
    with tempfile.TemporaryDirectory() as work:
        device, disc_file = os.path.join(work, "simcd"), os.path.join(work, "disc.txt")
        env = dict(os.environ, LD_PRELOAD=preload, ZEMTRA_SIMDRIVE_DEVICE=device,
                   ZEMTRA_SIMDRIVE_DISC=disc_file)
        for round_ in range(rounds):
            disc = Disc(rng)
            with open(disc_file, "w") as out:
                out.write(disc.file())
            for switch, per_track in (("-cue", False), ("-cuetracks", True)):
                sheet = subprocess.run([zemtra, device, switch], env=env, check=False,
                                       capture_output=True).stdout
                problems = []
                if sheet.count(b"\n") != sheet.count(b"\r\n") or b"\r\r" in sheet:
                    problems.append("line ends are not CR LF")
                catalog = [l for l in sheet.split(b"\r\n") if l.startswith(b"CATALOG")]
                if catalog != ([b"CATALOG " + disc.mcn.encode()] if disc.mcn else []):
                    problems.append("catalog %r" % catalog)
                if b"REM GAP UNKNOWN" in sheet:
                    problems.append("a gap left unknown")
                read = subprocess.run([peer], input=sheet, capture_output=True, check=False)
                got = read.stdout.decode("utf-8", "replace")
                wanted = disc.expected(per_track)
                if read.returncode != 0 or got != wanted:
                    problems.append("libcue read:\n%s\nwanted:\n%s" % (got, wanted))
                if problems:
                    failures += 1
                    print("FAIL: round %d %s: %s" % (round_, switch, "; ".join(problems)))
                    print(disc.file())
                    print(sheet.decode("utf-8", "replace"))
    print("%d sheets read back, %d differ" % (2 * rounds, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
