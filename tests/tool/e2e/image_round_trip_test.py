#!/usr/bin/env python3
"""Round trips: the -cue and -cuetracks sheets of random simulated discs,
with the disc's audio written as WAVE or FLAC files beside them, read back
as images. Every report line (ids, table, gaps, indexes, catalog number,
ISRCs, CD-TEXT, checksums, verdicts against a record of the drive's
checksums, the offset found), the exit status, both cue sheets and the
JSON document (its device aside) must be those of the drive.

Usage: image_round_trip_test.py <zemtra> <simdrive.so> <sim_rip> <flac_encode or -> [runtime to preload first]
"""
import json
import os
import random
import struct
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing left in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peer_cdtext_test import Block  # noqa: E402

REPORT = ["-cdid", "-mbid", "-mbtoc", "-mburl", "-arid", "-arurl", "-ctdbid", "-cddb", "-length",
          "-tracks", "-mcn", "-cdtext", "-toc", "-tocend", "-tocctrl", "-tocidx", "-tocpregap",
          "-tocindex", "-tocisrc", "-arcrc"]
JSON = ["-json", "-mcn", "-cdtext", "-tocisrc", "-tocpregap", "-tocindex"]


def msf(frames):
    return "%d:%d:%d" % (frames // 4500, frames // 75 % 60, frames % 75)


def words(rng):
    return " ".join("".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(1, 8)))
                    for _ in range(rng.randint(1, 4))).encode()


class Disc:
    """A small audio disc: hidden audio before track 1 now and then,
    pregaps, further indexes, flags, silent tracks, ISRCs, a catalog number
    and CD-TEXT."""

    def __init__(self, rng):
        self.first = rng.choice([1, 1, 1, 4])
        count = rng.randint(1, 6)
        lba = rng.choice([0, 0, rng.randint(1, 200)])
        self.tracks = []  # (start, pregap, control, index starts, seed, silent)
        for k in range(count):
            pregap = 0 if k == 0 else rng.choice([0, rng.randint(1, 90)])
            lba += pregap
            # Some tracks long enough for the offset search's frame 450.
            length = rng.randint(100, 700)
            indexes, at = [], lba
            while rng.random() < 0.3 and at + 40 < lba + length - 2:
                at = rng.randint(at + 1, at + 40)
                indexes.append(at)
            self.tracks.append((lba, lba if k == 0 else pregap, rng.choice([0, 0, 1, 2, 8]),
                                indexes, rng.randint(1, 1 << 30), rng.random() < 0.1))
            lba += length
        self.lead_out = lba
        self.mcn = "".join(rng.choice("0123456789") for _ in range(13)) if rng.random() < 0.5 else None
        self.isrcs = {k: "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(2)) +
                      "".join(rng.choice("0123456789") for _ in range(10))
                      for k in range(count) if rng.random() < 0.5}
        self.block = Block(0, 0, self.first, self.first + count - 1)
        if rng.random() < 0.7:
            for kind in range(0x80, 0x86):
                if rng.random() < 0.5:
                    self.block.strings[kind] = [words(rng) for _ in range(self.first + count)]
                    self.block.firsts[kind] = 0

    def file(self):
        count = len(self.tracks)
        lines = ["tracks %d %d" % (self.first, self.first + count - 1)]
        for k, (lba, pregap, control, indexes, seed, silent) in enumerate(self.tracks):
            number = self.first + k
            lines.append("track %d %d %s" % (number, control, msf(lba + 150)))
            lines.append("seed %d %d" % (number, seed))
            if silent:
                lines.append("silence %d" % number)
            if k > 0 and pregap:
                lines.append("pregap %d %d" % (number, pregap))
            for i, at in enumerate(indexes):
                lines.append("index %d %d %s" % (number, i + 2, msf(at + 150)))
            if k in self.isrcs:
                lines.append("isrc %d %s" % (number, self.isrcs[k]))
        lines.append("leadout %s" % msf(self.lead_out + 150))
        if self.mcn:
            lines.append("mcn " + self.mcn)
        if self.block.strings:
            lines += ["cdtext " + p.hex(" ") for p in self.block.packs(0)[0]]
        return "\n".join(lines) + "\n"

    def audio(self):
        """The tracks as sim_rip takes them."""
        ends = [t[0] for t in self.tracks[1:]] + [self.lead_out]
        return ["%d:%d:%d:%d:%d" % (self.first + k, t[0], end, t[4], t[5])
                for k, (t, end) in enumerate(zip(self.tracks, ends))]


def record(path, arid, checksums):
    """An AccurateRip record of one pressing holding the given checksum
    lines' v2 sums, confidence 7."""
    count, id1, id2, cdid = arid.split("-")
    out = struct.pack("<BIII", int(count), int(id1, 16), int(id2, 16), int(cdid, 16))
    for line in checksums:
        f = line.split()
        out += struct.pack("<BII", 7, int(f[f.index("AR2") + 1], 16), int(f[f.index("AR450") + 1], 16))
    with open(path, "wb") as f:
        f.write(out)


def main():
    zemtra, shim, sim_rip, flac_encode = sys.argv[1:5]
    preload = (sys.argv[5] + ":" if len(sys.argv) > 5 else "") + shim
    rng = random.Random(25)
    failures, rounds = 0, 16
    with tempfile.TemporaryDirectory() as work:
        device, disc_file = os.path.join(work, "simcd"), os.path.join(work, "disc.txt")
        env = dict(os.environ, LD_PRELOAD=preload, ZEMTRA_SIMDRIVE_DEVICE=device,
                   ZEMTRA_SIMDRIVE_DISC=disc_file)

        def run(args, drive):
            r = subprocess.run([zemtra] + args, env=env if drive else None, capture_output=True)
            return r.returncode, r.stdout.decode("utf-8", "replace")

        for round_ in range(rounds):
            disc = Disc(rng)
            with open(disc_file, "w") as out:
                out.write(disc.file())
            code, out = run([device, "-arid", "-arcrc"], True)
            arid = [l for l in out.splitlines() if l.startswith("ARID: ")][0][6:].strip()
            rec = os.path.join(work, "record.bin")
            record(rec, arid, [l for l in out.splitlines() if " checksums: " in l])
            report = REPORT + ["-ardb=" + rec, "-findoffset"]
            drive = {"report": run([device] + report, True), "-cue": run([device, "-cue"], True),
                     "-cuetracks": run([device, "-cuetracks"], True)}
            # The document with everything the disc carries, and without it.
            drive_json = [json.loads(run([device] + args, True)[1]) for args in (JSON, ["-json"])]
            fmt = "flac" if flac_encode != "-" and round_ % 2 else "wav"
            problems = []
            for switch in ("-cue", "-cuetracks"):
                folder = os.path.join(work, "r%d%s" % (round_, switch))
                os.makedirs(folder)
                sheet = drive[switch][1]
                ends = [t[0] for t in disc.tracks[1:]] + [disc.lead_out]
                files = [("CDImage", 0, disc.lead_out)] if switch == "-cue" else \
                    [("Track%02d" % (disc.first + k), t[0], end) for k, (t, end) in
                     enumerate(zip(disc.tracks, ends))]
                for name, start, end in files:
                    base = os.path.join(folder, name)
                    if fmt == "wav":
                        subprocess.run([sim_rip, base + ".wav", str(start), str(end)] + disc.audio(),
                                       check=True)
                    else:
                        subprocess.run([sim_rip, base + ".raw", str(start), str(end)] + disc.audio(),
                                       check=True)
                        subprocess.run([flac_encode, base + ".raw", base + ".flac"], check=True)
                        os.remove(base + ".raw")
                        # Read by its content; the FILE line still says WAVE.
                        sheet = sheet.replace('"%s.wav"' % name, '"%s.flac"' % name)
                cue = os.path.join(folder, "disc.cue")
                with open(cue, "w", newline="") as f:
                    f.write(sheet)
                for what, args in (("report", report), ("-cue", ["-cue"]),
                                   ("-cuetracks", ["-cuetracks"])):
                    got = run([cue] + args, False)
                    if got != drive[what]:
                        problems.append("%s %s %s:\nimage (exit %d):\n%s\ndrive (exit %d):\n%s" % (
                            switch, fmt, what, got[0], got[1], drive[what][0], drive[what][1]))
                for args, theirs in zip((JSON, ["-json"]), drive_json):
                    ours = json.loads(run([cue] + args, False)[1])
                    if ours.get("device") != cue or dict(theirs, device=None) != dict(ours, device=None):
                        problems.append("%s %s %s:\n%s\n%s" % (switch, fmt, args, ours, theirs))
            # The search needs a track's frame 450 that is not silence.
            searchable = any(end - t[0] > 460 and not t[5] for t, end in
                             zip(disc.tracks, [t[0] for t in disc.tracks[1:]] + [disc.lead_out]))
            if "accurate (confidence 7, " not in drive["report"][1] or drive["report"][0] != 0 or \
                    (searchable and "Read offset: +0 (" not in drive["report"][1]):
                problems.append("the drive's own record does not make it accurate at offset 0:\n" +
                                drive["report"][1])
            if problems:
                failures += 1
                print("FAIL: round %d\n%s\n%s" % (round_, "\n".join(problems), disc.file()))
    print("%d discs read back as images, %d differ" % (rounds, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
