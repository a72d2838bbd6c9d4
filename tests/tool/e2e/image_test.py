#!/usr/bin/env python3
"""End-to-end runs of zemtra on images: cue sheets with WAVE, FLAC and raw
files. The layout each sheet stands for is worked out here on its own
(sectors of files, PREGAP and POSTGAP silence, INDEX 00 gaps, data tracks,
hidden track-one audio, a padded last file) and compared with zemtra's TOC,
with libdiscid's ids for the same TOC (discid_put), and with the CRC-32 of
each track's bytes as the probe streams them. zemtra's -arcrc on the same
images must give those CRC-32s and the AccurateRip sums computed here,
-ardb= its verdicts and exit statuses; -offset= is
refused; gaps, indexes and the cue sheet come from the sheet; the -json
document keeps to the schema. Hostile images must end in "Error: ..." and
exit status 1. A 780 MB image streams through the probe and through zemtra
-arcrc within 64 MiB of resident memory.

Usage: image_test.py <zemtra> <cue_probe> <discid_peer or -> <flac_encode or -> <peak_rss or -> [wine-run]"""
import json
import os
import random
import re
import resource
import struct
import subprocess
import sys
import tempfile
import zlib

sys.dont_write_bytecode = True  # nothing left in the source tree
here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
try:
    import json_document
except ImportError:  # without python3-jsonschema
    json_document = None

zemtra, probe, discid_peer, flac_encode, peak_rss = sys.argv[1:6]
runner = sys.argv[6:]
rng = random.Random(2025)
failures = 0
SECTOR = 2352


def fail(name, detail):
    global failures
    failures += 1
    print("FAIL: %s\n%s" % (name, detail))


def run(args, **kw):
    r = subprocess.run(runner + args, capture_output=True, **kw)
    return r.returncode, r.stdout.decode("utf-8", "replace").replace("\r", ""), \
        r.stderr.decode("utf-8", "replace")


def run_raw(args):
    r = subprocess.run(runner + args, capture_output=True)
    return r.returncode, r.stdout


def msf(frames):
    return "%02d:%02d:%02d" % (frames // 4500, frames // 75 % 60, frames % 75)


def wav_bytes(data, extensible=False, junk_first=False, odd_chunk=False):
    if extensible:
        fmt = struct.pack("<HHIIHHHHI", 0xFFFE, 2, 44100, 176400, 4, 16, 22, 16, 3) + \
            bytes([1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    else:
        fmt = struct.pack("<HHIIHH", 1, 2, 44100, 176400, 4, 16)
    chunks = [b"fmt " + struct.pack("<I", len(fmt)) + fmt]
    if odd_chunk:
        chunks.append(b"LIST" + struct.pack("<I", 3) + b"abc" + b"\0")
    data_chunk = b"data" + struct.pack("<I", len(data)) + data
    body = [data_chunk] + chunks if junk_first else chunks + [data_chunk]
    riff = b"".join(body)
    return b"RIFF" + struct.pack("<I", 4 + len(riff)) + b"WAVE" + riff


def write_sparse_wav(path, data_bytes):
    header = wav_bytes(b"")[:-8] + b"data" + struct.pack("<I", data_bytes)
    with open(path, "wb") as f:
        f.write(header)
        f.truncate(len(header) + data_bytes)


def freedb_id(starts, lead_out):
    n = sum(sum(int(d) for d in str((s + 150) // 75)) for s in starts)
    total = (lead_out + 150) // 75 - (starts[0] + 150) // 75
    return "%08x" % ((n % 255) << 24 | total << 8 | len(starts))


def random_image(work, name):
    """Writes a random sheet with sparse files; returns its path, the
    tracks' starts, their data flags and the lead-out as worked out here."""
    count = rng.randint(1, 99 if rng.random() < 0.15 else 15)
    kind = rng.choice(["audio", "audio", "enhanced", "datafirst"])
    per_track = rng.random() < 0.4
    lines, starts, data, lba = ['TITLE "Random %s"' % name], [], [], 0
    htoa = 0 if per_track or rng.random() < 0.8 else rng.randint(1, 3000)
    file_lengths = []  # sectors of each file
    pending = None       # (file position, sectors) of a pregap at the end of the last file
    for number in range(1, count + 1):
        is_data = (kind == "enhanced" and number == count and count > 1) or \
                  (kind == "datafirst" and number == 1 and count > 1)
        length = rng.randint(300, min(30000, 300000 // count))
        gap = 0 if number == 1 else rng.choice([0, 0, 150, rng.randint(1, 400)])
        silent = number > 1 and gap == 0 and rng.random() < 0.2  # a PREGAP of silence
        pregap = rng.randint(1, 300) if silent else 0
        if number == 1 or per_track:
            if per_track and gap:
                # Gaps appended: INDEX 00 at the end of the previous file.
                lines.append("  TRACK %02d %s" % (number, "MODE1/2352" if is_data else "AUDIO"))
                lines.append("    INDEX 00 " + msf(file_lengths[-1]))
                file_lengths[-1] += gap
                lba += gap
                lines.append('FILE "%s-%02d.%s" %s' % (name, number, "bin" if is_data else "wav",
                                                        "BINARY" if is_data else "WAVE"))
                file_lengths.append(0)
            else:
                lines.append('FILE "%s-%02d.%s" %s' % (name, number, "bin" if is_data else "wav",
                                                        "BINARY" if is_data else "WAVE"))
                file_lengths.append(0)
                lines.append("  TRACK %02d %s" % (number, "MODE1/2352" if is_data else "AUDIO"))
                if gap:
                    lines.append("    INDEX 00 00:00:00")
                    file_lengths[-1] += gap
                    lba += gap
        else:
            lines.append("  TRACK %02d %s" % (number, "MODE1/2352" if is_data else "AUDIO"))
            if gap:
                lines.append("    INDEX 00 " + msf(file_lengths[-1]))
                file_lengths[-1] += gap
                lba += gap
        if number == 1 and htoa:
            lines.append("    INDEX 00 00:00:00")
            file_lengths[-1] += htoa
            lba += htoa
        if pregap:
            lines.append("    PREGAP " + msf(pregap))
            lba += pregap
        lines.append("    INDEX 01 " + msf(file_lengths[-1]))
        starts.append(lba)
        data.append(is_data)
        file_lengths[-1] += length
        lba += length
    path = os.path.join(work, name + ".cue")
    with open(path, "w") as f:
        f.write("\r\n".join(lines) + "\r\n")
    for i, line in enumerate(l for l in lines if l.startswith("FILE")):
        fname = os.path.join(work, line.split('"')[1])
        if fname.endswith(".bin"):
            with open(fname, "wb") as f:
                f.truncate(file_lengths[i] * SECTOR)
        else:
            write_sparse_wav(fname, file_lengths[i] * SECTOR)
    return path, starts, data, lba


def check_ids(work, round):
    path, starts, data, lead_out = random_image(work, "r%d" % round)
    code, out, err = run([zemtra, path, "-cdid", "-mbid", "-mbtoc", "-tracks", "-toc", "-tocctrl",
                          "-frames"])
    name = "random image %d" % round
    if code != 0:
        return fail(name, out + err)
    lines = out.splitlines()
    expected_cdid = "CDID: " + freedb_id(starts, lead_out)
    if expected_cdid not in lines:
        fail(name + " freedb id", out + "\nexpected " + expected_cdid)
    rows = [l for l in lines if re.match(r"^ *\d+:", l)]
    for k, row in enumerate(rows):
        fields = row.split()
        # With -frames the start column is its time, then its frames.
        start = int(fields[2])
        ctrl = fields[-1]
        if start != starts[k] + 150:
            fail(name + " track %d start" % (k + 1), row)
        if ctrl != ("0004" if data[k] else "0000"):
            fail(name + " track %d control" % (k + 1), row)
    audio = [s for s, d in zip(starts, data) if not d]
    if discid_peer != "-" and audio:
        first = 1 if not data[0] else 2
        last = first + len(audio) - 1
        end = lead_out if not data[-1] or len(starts) == 1 else starts[-1] - 11400
        if data[0] and len(starts) > 1:
            return  # MusicBrainz takes no disc whose first track is data; ids compared above
        r = subprocess.run([discid_peer, "-put", str(first), str(last), str(end + 150)] +
                           [str(s + 150) for s in audio], capture_output=True, text=True)
        theirs = [l for l in r.stdout.splitlines() if not l.startswith("CDID") or not data[-1]]
        ours = [l for l in lines if l.startswith(("MBID", "MBTOC"))] + \
               ([l.lower().replace("cdid", "CDID") for l in lines if l.startswith("CDID")]
                if not data[-1] else [])
        if ours != theirs:
            fail(name + " against libdiscid", "zemtra:\n%s\nlibdiscid:\n%s\nsheet:\n%s" %
                 ("\n".join(ours), r.stdout + r.stderr, open(path).read()))


def accuraterip(tracks):
    """Each track's AccurateRip v1, v2 and frame-450 sums and CRC-32, the
    straightforward way, from the bytes of the disc's tracks in order."""
    sums = []
    for t, data in enumerate(tracks):
        n = len(data) // 4
        samples = struct.unpack("<%dI" % n, data)
        v1 = v2 = 0
        for k in range(1, n + 1):
            if (t == 0 and k < 2940) or (t == len(tracks) - 1 and k + 2940 > n):
                continue
            product = samples[k - 1] * k
            v1 += product
            v2 += product + (product >> 32)
        frame = sum(samples[450 * 588 + j] * (j + 1) for j in range(588)) if n >= 451 * 588 else 0
        sums.append((v1 & 0xFFFFFFFF, v2 & 0xFFFFFFFF, frame & 0xFFFFFFFF,
                     zlib.crc32(data) & 0xFFFFFFFF))
    return sums


def record_file(path, arid, sums, flip=0):
    """A one-pressing AccurateRip record of the v2 sums, confidence 5, each
    xor'ed with flip."""
    count, id1, id2, cdid = arid.split("-")
    out = struct.pack("<BIII", int(count), int(id1, 16), int(id2, 16), int(cdid, 16))
    for v1, v2, frame, crc in sums:
        out += struct.pack("<BII", 5, v2 ^ flip, frame)
    with open(path, "wb") as f:
        f.write(out)


def check_checksums(work, name, path, tracks):
    """-arcrc, -ardb= and -offset= on the image at path, whose tracks hold
    the given bytes (too short for the offset search, which the round
    trips check)."""
    sums = accuraterip(tracks)
    lines = ["Track %d checksums: AR1 %08x AR2 %08x AR450 %08x CRC32 %08x" % ((t + 1,) + s)
             for t, s in enumerate(sums)]
    code, out, err = run([zemtra, path, "-arcrc"])
    if code != 0 or out.splitlines() != lines:
        fail("checksums, " + name, "exit %d\n%s%s\nexpected:\n%s" % (code, out, err, "\n".join(lines)))
    code, out, _ = run([zemtra, path, "-arid"])
    arid = out.split()[-1]
    record = os.path.join(work, "record.bin")
    record_file(record, arid, sums)
    verdicts = ["Track %d AccurateRip: accurate (confidence 5, v2)" % (t + 1) for t in range(len(sums))]
    wanted = lines + verdicts + ["AccurateRip: %d of %d tracks accurate" % (len(sums), len(sums))]
    code, out, err = run([zemtra, path, "-ardb=" + record])
    if code != 0 or out.splitlines() != wanted:
        fail("verdicts, " + name, "exit %d\n%s%s\nexpected:\n%s" % (code, out, err, "\n".join(wanted)))
    record_file(record, arid, sums, flip=1)
    code, out, err = run([zemtra, path, "-ardb=" + record])
    if code != 2 or "Track 1 AccurateRip: not accurate (5 rips of other pressings)" not in out:
        fail("verdicts of another pressing, " + name, "exit %d\n%s%s" % (code, out, err))
    for offset in ("-offset=6", "-offset=0"):
        code, out, err = run([zemtra, path, "-arcrc", offset])
        if code != 1 or out != "Error: -offset= is for a drive: an image's samples are checked " \
                               "as they are.\n":
            fail(offset + " on an image, " + name, "exit %d\n%s%s" % (code, out, err))


def check_content(work):
    """Tracks' bytes: WAVE variants, FLAC, a padded last file, PREGAP and
    POSTGAP silence, against the CRC-32 of the bytes laid out here."""
    a = bytes(rng.getrandbits(8) for _ in range(SECTOR * 40))
    b = bytes(rng.getrandbits(8) for _ in range(SECTOR * 31 + 1000))
    with open(os.path.join(work, "a.wav"), "wb") as f:
        f.write(wav_bytes(a, extensible=True, junk_first=True, odd_chunk=True))
    with open(os.path.join(work, "b.wav"), "wb") as f:
        f.write(wav_bytes(b, odd_chunk=True))
    sheet = ('FILE "a.wav" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n'
             ' TRACK 02 AUDIO\n  INDEX 00 00:00:10\n  INDEX 01 00:00:20\n  POSTGAP 00:00:03\n'
             'FILE "b.wav" WAVE\n TRACK 03 AUDIO\n  PREGAP 00:00:05\n  INDEX 01 00:00:00\n')
    disc = a[:SECTOR * 20] + a[SECTOR * 20:] + bytes(SECTOR * 3) + bytes(SECTOR * 5) + b + \
        bytes(SECTOR - 1000)
    expected = ["track 1 sectors 20 crc32 %08x" % zlib.crc32(a[:SECTOR * 20]),
                "track 2 sectors 28 crc32 %08x" % zlib.crc32(disc[SECTOR * 20:SECTOR * 48]),
                "track 3 sectors 32 crc32 %08x" % zlib.crc32(disc[SECTOR * 48:])]
    variants = [("wave", sheet)]
    if flac_encode != "-":
        for name, data in (("a", a), ("b", b)):
            with open(os.path.join(work, name + ".raw"), "wb") as f:
                f.write(data)
            subprocess.run([flac_encode, os.path.join(work, name + ".raw"),
                            os.path.join(work, name + ".flac")], check=True)
        # FLAC by its content, whatever the FILE line says.
        variants.append(("flac", sheet.replace("a.wav", "a.flac").replace('b.wav" WAVE', 'b.flac" FLAC')))
    for name, text in variants:
        path = os.path.join(work, "content-%s.cue" % name)
        with open(path, "w") as f:
            f.write(text)
        code, out, err = run([probe, "crc", path])
        if code != 0 or out.split("\n")[:3] != expected:
            fail("content, " + name, out + err + "\nexpected:\n" + "\n".join(expected))
        if "b." not in err or "silence" not in err:
            fail("content, %s: no padding note" % name, err)
        check_checksums(work, name, path, [disc[:SECTOR * 20], disc[SECTOR * 20:SECTOR * 48],
                                           disc[SECTOR * 48:]])
    check_sheet_data(work, os.path.join(work, "content-wave.cue"))
    if flac_encode != "-":
        check_broken_flac(work, a)


def check_sheet_data(work, path):
    """Gaps, indexes, ISRCs, the catalog number and texts come from the
    sheet; so do the cue sheets and the JSON document."""
    with open(path) as f:
        text = f.read()
    text = 'CATALOG 0724384260927\nPERFORMER "Someone"\n' + \
        text.replace("  INDEX 01 00:00:20\n", "  INDEX 01 00:00:20\n  INDEX 02 00:00:25\n  ISRC USABC1234567\n"
                                             "  TITLE \"Two\"\n")
    sheet = os.path.join(work, "data.cue")
    with open(sheet, "w") as f:
        f.write(text)
    code, out, err = run([zemtra, sheet, "-mcn", "-cdtext", "-toc", "-frames", "-tocpregap",
                          "-tocindex", "-tocisrc"])
    wanted = ["MCN: 0724384260927", "Album performer: Someone", "Track 2 title: Two",
              "  1:    000:02:00    150    000:00:20     20    000:00:00      0            - -",
              "  2:    000:02:20    170    000:00:28     28    000:00:10     10 USABC1234567 2@000:02:25",
              "  3:    000:02:48    198    000:00:32     32    000:00:05      5            - -"]
    if code != 0 or [" ".join(l.split()) for l in out.splitlines()] != \
            [" ".join(l.split()) for l in wanted]:
        fail("the sheet's gaps and texts", "exit %d\n%s%s\nexpected:\n%s" % (code, out, err, "\n".join(wanted)))
    code, out, err = run([zemtra, sheet, "-cue"])
    wanted = ["REM DISCID 06000103", 'REM COMMENT "zemtra', "CATALOG 0724384260927",
              'PERFORMER "Someone"', 'FILE "CDImage.wav" WAVE', "  TRACK 01 AUDIO",
              "    INDEX 01 00:00:00", "  TRACK 02 AUDIO", '    TITLE "Two"', "    ISRC USABC1234567",
              "    INDEX 00 00:00:10", "    INDEX 01 00:00:20", "    INDEX 02 00:00:25",
              "  TRACK 03 AUDIO", "    INDEX 00 00:00:43", "    INDEX 01 00:00:48"]
    got = out.splitlines()
    if code != 0 or len(got) != len(wanted) or \
            any(not g.startswith(w) for g, w in zip(got, wanted)):
        fail("the cue sheet of an image", "exit %d\n%s%s" % (code, out, err))
    code, raw = run_raw([zemtra, sheet, "-json", "-mcn", "-cdtext", "-tocisrc"])
    document = json.loads(raw) if code == 0 else {}
    if document.get("device") != sheet or document.get("mcn") != "0724384260927" or \
            document["tracks"][1].get("isrc") != "USABC1234567" or \
            document.get("cdText", {}).get("album", {}).get("performer") != "Someone":
        fail("the JSON document of an image", raw.decode("utf-8", "replace"))
    if json_document is not None:
        check = json_document.validator(os.path.join(here, "../../../tool/report/report.schema.json"))
        _, problems = json_document.problems(check, raw)
        if problems:
            fail("the JSON document of an image against the schema", "\n".join(problems))


def check_broken_flac(work, audio):
    """A FLAC file that breaks in its middle: the tracks it holds are
    unreadable, exit status 2, the reason on standard error."""
    raw = os.path.join(work, "long.raw")
    with open(raw, "wb") as f:
        f.write(audio * 20)
    flac = os.path.join(work, "broken.flac")
    subprocess.run([flac_encode, raw, flac], check=True)
    with open(flac, "r+b") as f:
        f.seek(os.path.getsize(flac) // 2)
        f.write(bytes(4096))
    path = os.path.join(work, "broken.cue")
    with open(path, "w") as f:
        f.write('FILE "broken.flac" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n'
                ' TRACK 02 AUDIO\n  INDEX 01 00:10:00\n')
    code, out, err = run([zemtra, path, "-arcrc"])
    if code != 2 or not re.search(r"Track \d checksums: unreadable at sector \d+", out) or \
            "broken.flac: " not in err:
        fail("a broken FLAC file", "exit %d\n%s%s" % (code, out, err))


def check_errors(work):
    with open(os.path.join(work, "ok.wav"), "wb") as f:
        f.write(wav_bytes(bytes(SECTOR * 10)))
    with open(os.path.join(work, "part.wav"), "wb") as f:
        f.write(wav_bytes(bytes(SECTOR * 10 + 4)))
    with open(os.path.join(work, "mono.wav"), "wb") as f:
        f.write(wav_bytes(b"")[:22] + struct.pack("<H", 1) + wav_bytes(b"")[24:])
    with open(os.path.join(work, "song.mp3"), "wb") as f:
        f.write(b"ID3\x03\x00" + bytes(5000))
    with open(os.path.join(work, "cut.flac"), "wb") as f:
        f.write(b"fLaC\x00\x00")
    cases = [
        ("missing file", 'FILE "none.wav" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n', r"none\.wav: it does not open"),
        ("index past the file", 'FILE ok.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:00:10\n', r"\.cue:5: INDEX 1 of track 2 lies past the end"),
        ("part sector not last", 'FILE part.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE ok.wav WAVE\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n', r"part\.wav: .*not whole sectors"),
        ("mono", 'FILE mono.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n', r"mono\.wav: it holds 16-bit PCM, 1 channels"),
        ("not audio", 'FILE song.mp3 MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n', r"song\.mp3: it is neither a WAVE nor a FLAC file"),
        ("broken FLAC", 'FILE cut.flac WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n', r"cut\.flac: it (is not a readable FLAC stream|is a FLAC file, and this build)"),
        ("order", 'FILE ok.wav WAVE\nTRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\nINDEX 01 00:00:01\n', r"\.cue:4: tracks out of order"),
        ("no INDEX 01", 'FILE ok.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:00:01\n', r"\.cue:2: track 1 has no INDEX 01"),
        ("time", 'FILE ok.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n', r"\.cue:3: time \"00:60:00\" does not parse"),
        ("long line", 'FILE ok.wav WAVE\nTRACK 01 AUDIO\nTITLE "%s"\nINDEX 01 00:00:00\n' % ("x" * 70000), r"\.cue:3: line longer than 65536 bytes"),
        ("100 tracks", 'FILE ok.wav WAVE\n' + "".join("TRACK %02d AUDIO\nINDEX 01 %s\n" % (n, msf(n - 1)) for n in range(1, 100)) + "TRACK 100 AUDIO\n", r"\.cue:200: more than 99 tracks"),
    ]
    for name, text, pattern in cases:
        path = os.path.join(work, "error.cue")
        with open(path, "w") as f:
            f.write(text)
        code, out, err = run([zemtra, path, "-cdid"])
        if code != 1 or not re.fullmatch(r"Error: .*" + pattern + r".*\.\n", out):
            fail("error: " + name, "exit %d\n%s%s" % (code, out, err))


def check_memory(work):
    """A 74-minute single-file image streams in a bounded window."""
    path = os.path.join(work, "long.wav")
    write_sparse_wav(path, 333000 * SECTOR)
    sheet = os.path.join(work, "long.cue")
    with open(sheet, "w") as f:
        f.write('FILE "long.wav" WAVE\n' + "".join(
            "  TRACK %02d AUDIO\n    INDEX 01 %s\n" % (n, msf((n - 1) * 16650)) for n in range(1, 21)))
    for what, args in (("streamed", [probe, "crc", sheet]), ("verified", [zemtra, sheet, "-arcrc"])):
        code, out, err, peak = run_measured(args)
        if code != 0 or len(out.splitlines()) != 20:
            fail("780 MB image " + what, out + err)
        print("780 MB image %s: peak resident size %d KiB" % (what, peak))
        if peak > 64 * 1024:
            fail("780 MB image " + what, "peak resident size %d KiB, over 64 MiB" % peak)
    os.remove(path)


def run_measured(args):
    """Runs args through peak_rss; returns the exit status, output, errors
    and the process's own peak resident size in KiB."""
    code, out, err = run([peak_rss] + args)
    peak = re.search(r"^peak (\d+)$", err, re.M)
    return code, out, err, int(peak.group(1)) if peak else 1 << 30


with tempfile.TemporaryDirectory() as work:
    check_errors(work)
    check_content(work)
    # Every Wine process starts slowly: fewer random images there.
    for round in range(10 if runner else 60):
        check_ids(work, round)
    if not runner and peak_rss != "-":
        check_memory(work)
print("%d failures" % failures)
sys.exit(1 if failures else 0)
