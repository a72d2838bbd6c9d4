#!/usr/bin/env python3
"""Compares the lines of zemtra -cdtext on the simulated drive with what
libcdio's CD-TEXT parser (the cdtext_peer program) reads from the same
packs, over hand-made and random blocks: several tracks, TAB repeats,
strings across packs, control bytes, bad CRCs and a double-byte block. The peer is handed the packs whose CRC is right (it
checks none itself).

Usage: peer_cdtext_test.py <zemtra> <simdrive.so> <cdtext_peer> [runtime to preload first]
"""
import os
import random
import subprocess
import sys
import tempfile

PACK_TYPES = range(0x80, 0x86)


def crc16(data):
    crc = 0
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return crc ^ 0xFFFF


def pack(kind, track, seq, block, flags, payload):
    head = bytes([kind, track, seq, block << 4 | flags]) + bytes(payload)
    return head + crc16(head).to_bytes(2, "big")


class Block:
    """One block's texts: strings[type] lists the strings of a run from
    track firsts[type] on."""

    def __init__(self, number, charcode, first, last):
        self.number, self.charcode, self.first, self.last = number, charcode, first, last
        self.strings, self.firsts = {}, {}
        self.double_byte = charcode == 0x80

    def packs(self, seq, last_seqs=(0,) * 8, languages=(9, 8, 0, 0, 0, 0, 0, 0)):
        result = []
        counts = [0] * 16
        for kind in PACK_TYPES:
            if kind not in self.strings:
                continue
            run, owners = b"", []
            for index, text in enumerate(self.strings[kind]):
                owners += [self.firsts[kind] + index] * (len(text) + 1)
                run += text + b"\0"
            run += b"\0" * (-len(run) % 12)
            for offset in range(0, len(run), 12):
                owner = owners[offset] if offset < len(owners) else owners[-1] + 1
                start = offset
                while start > 0 and start - 1 < len(owners) and owners[start - 1] == owner:
                    start -= 1
                flags = (0x80 if self.double_byte else 0) | min(offset - start, 15)
                result.append(pack(kind, owner & 0x7F, seq & 0xFF, self.number, flags,
                                   run[offset:offset + 12]))
                counts[kind - 0x80] += 1
                seq += 1
        counts[15] = 3
        info = bytes([self.charcode, self.first, self.last, 0] + counts + list(last_seqs) +
                     list(languages))
        for part in range(3):
            result.append(pack(0x8F, part, seq & 0xFF, self.number, 0,
                               info[part * 12:part * 12 + 12]))
            seq += 1
        return result, seq


def random_text(rng, ascii_only):
    length = rng.choice([rng.randint(1, 11), rng.randint(1, 40), rng.randint(40, 90)])
    chars = []
    for _ in range(length):
        roll = rng.random()
        if roll < 0.05:
            # (libcdio takes any string that begins with a TAB for a repeat.)
            chars.append(rng.choice([1, 10, 13, 27, 0x7F]))
        elif roll < 0.25 and not ascii_only:
            chars.append(rng.randint(0x80, 0xFF))
        else:
            chars.append(rng.randint(0x20, 0x7E))
    return bytes(chars)


def random_block(rng, number, first, last, charcode):
    block = Block(number, charcode, first, last)
    for kind in PACK_TYPES:
        if rng.random() < 0.4:
            continue
        start = 0 if rng.random() < 0.85 else 1
        # libcdio refuses a TAB that repeats the album's text or that of a
        # track before the first (and the whole block with it), and gives an
        # empty string no track, so runs here hold neither; they may end
        # before the last track.
        strings = []
        for index in range(rng.randint(1, last + 1 - start)):
            if start + index >= max(2, first + 1) and rng.random() < 0.15:
                strings.append(b"\t")
            else:
                strings.append(random_text(rng, charcode == 1))
        block.strings[kind], block.firsts[kind] = strings, start
    return block


def renumbered(packs):
    """The packs with consecutive sequence numbers, as libcdio needs them
    after packs are left out."""
    return [p[:2] + bytes([seq & 0xFF]) + p[3:] for seq, p in enumerate(packs)]


def toc_lines(first, last):
    lines = ["tracks %d %d" % (first, last)]
    frames = 150
    for track in range(first, last + 1):
        lines.append("track %d 0 %d:%d:%d" % (track, frames // 4500, frames // 75 % 60,
                                              frames % 75))
        frames += 15000
    lines.append("leadout %d:%d:%d" % (frames // 4500, frames // 75 % 60, frames % 75))
    return lines


def main():
    zemtra, shim, peer = sys.argv[1:4]
    preload = (sys.argv[4] + ":" if len(sys.argv) > 4 else "") + shim
    rng = random.Random(17)
    failures, texts, cases = 0, 0, 0
    with tempfile.TemporaryDirectory() as work:
        device, disc, peer_packs = (os.path.join(work, name)
                                    for name in ("simcd", "disc.txt", "packs.bin"))

        def compare(name, first, last, packs, counted, double_byte=False):
            nonlocal failures, texts, cases
            cases += 1
            with open(disc, "w") as out:
                out.write("\n".join(toc_lines(first, last)) + "\n")
                data = b"".join(packs)
                for offset in range(0, len(data), 64):
                    out.write("cdtext " + data[offset:offset + 64].hex(" ") + "\n")
            with open(peer_packs, "wb") as out:
                out.write(b"".join(counted))
            env = dict(os.environ, LD_PRELOAD=preload, ZEMTRA_SIMDRIVE_DEVICE=device,
                       ZEMTRA_SIMDRIVE_DISC=disc)
            ours = subprocess.run([zemtra, device, "-cdtext"], env=env, capture_output=True,
                                  check=False).stdout.replace(b"\r", b"")
            # A double-byte block 0 gives no text here; libcdio decodes it.
            theirs = b"" if double_byte else subprocess.run(
                [peer, peer_packs, str(first), str(last)], capture_output=True,
                check=False).stdout
            if ours != theirs:
                failures += 1
                print("FAIL: %s\nzemtra:\n%s\nlibcdio:\n%s" % (name, ours.decode(
                    "utf-8", "replace"), theirs.decode("utf-8", "replace")))
            elif ours:
                texts += 1

        # Hand-made blocks.
        block = Block(0, 0, 1, 3)
        block.strings[0x80], block.firsts[0x80] = [b"Album", b"One", b"\t", b"\t"], 0
        block.strings[0x81], block.firsts[0x81] = [b"Band", b"Solo", b"Duo", b"\t"], 0
        packs, _ = block.packs(0)
        compare("TAB repeats and an empty string", 1, 3, packs, packs)
        block = Block(0, 0, 1, 2)
        block.strings[0x80], block.firsts[0x80] = [b"A" * 30, b"\xe9t\xe9 " * 9, b"x"], 0
        packs, _ = block.packs(0)
        compare("strings across packs, ISO-8859-1", 1, 2, packs, packs)
        bad = list(packs)
        bad[1] = bad[1][:16] + bytes([bad[1][16] ^ 1, bad[1][17]])
        compare("a bad CRC", 1, 2, bad, renumbered(p for i, p in enumerate(bad) if i != 1))
        zeroed = [p[:16] + b"\0\0" for p in packs]
        compare("every CRC zeroed", 1, 2, zeroed, zeroed)
        block = Block(0, 0x80, 1, 2)
        block.strings[0x80], block.firsts[0x80] = [b"\x82\xa0\x82\xa2", b"\x82\xa4"], 0
        packs, _ = block.packs(0)
        compare("double-byte block", 1, 2, packs, packs, True)

        # Random blocks.
        for round_ in range(300):
            first = 1 if rng.random() < 0.8 else rng.randint(2, 5)
            last = rng.randint(first, first + rng.choice([2, 11, 39]))
            charcode = rng.choice([0, 0, 0, 1, 0x80]) if round_ % 10 else 0
            # (libcdio finds no size information for a second block, so each
            # block here is the only one.)
            blocks = [random_block(rng, 0, first, last, charcode)]
            # The size information gives each block's last sequence number.
            last_seqs, seq = [0] * 8, 0
            for block in blocks:
                seq = block.packs(seq)[1]
                last_seqs[block.number] = seq - 1
            if seq > 256:
                continue
            packs, seq = [], 0
            for block in blocks:
                more, seq = block.packs(seq, last_seqs)
                packs += more
            counted = list(packs)
            if rng.random() < 0.2 and len(packs) > 3:
                # Every pack of one text type gets a wrong CRC: the type is
                # gone. (libcdio reads nothing without the size information.)
                victim = rng.choice([p[0] for p in packs if p[0] != 0x8F])
                packs = [p[:17] + bytes([p[17] ^ 0x10]) if p[0] == victim else p for p in packs]
                counted = renumbered(p for p in counted if p[0] != victim)
            compare("random block %d (tracks %d to %d, code %#x)" % (round_, first, last,
                                                                    charcode),
                    first, last, packs, counted, charcode == 0x80)
    print("%d of %d blocks gave text alike" % (texts, cases))
    if texts < cases // 2:
        print("FAIL: too few blocks with text")
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
