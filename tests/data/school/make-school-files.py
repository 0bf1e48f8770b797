#!/usr/bin/python3
"""Writes the school data files that the tests read, independently of Tabulon's own
code: plain files in Windows-1250 and UTF-16, and encoded copies whose values go
through the school tools' value cipher, computed here from its description.

Usage: make-school-files.py OUTDIR
"""
import base64
import os
import sys

MASK = 0xFFFFFFFF


def pi_fraction_words(count):
    """The first `count` 32-bit words of the fractional part of pi, by Machin's formula."""
    bits = 32 * count + 64

    def arctan_inv(x):
        one = 1 << bits
        total, term, n, sign = 0, one // x, 1, 1
        while term:
            total += sign * (term // n)
            term //= x * x
            n += 2
            sign = -sign
        return total

    pi = 16 * arctan_inv(5) - 4 * arctan_inv(239)
    frac = pi & ((1 << bits) - 1)
    frac >>= 64
    return [(frac >> (32 * (count - 1 - i))) & MASK for i in range(count)]


PI_WORDS = pi_fraction_words(18 + 4 * 256)
assert PI_WORDS[0] == 0x243F6A88 and PI_WORDS[18] == 0xD1310BA6


def quad_mix(a, b, c, d):
    a = (a + d) & MASK; d = (d + a) & MASK; a ^= a >> 7
    b = (b + a) & MASK; a = (a + b) & MASK; b ^= (b << 13) & MASK
    c = (c + b) & MASK; b = (b + c) & MASK; c ^= c >> 17
    d = (d + c) & MASK; c = (c + d) & MASK; d ^= (d << 9) & MASK
    a = (a + d) & MASK; d = (d + a) & MASK; a ^= a >> 3
    b = (b + a) & MASK; a = (a + b) & MASK; b ^= (b << 7) & MASK
    c = (c + b) & MASK; b = (b + c) & MASK; c ^= d >> 15
    d = (d + c) & MASK; c = (c + d) & MASK; d ^= (d << 11) & MASK
    return a, b, c, d


def isaac_mix(a, b, c, d, e, f, g, h):
    a ^= (b << 11) & MASK; d = (d + a) & MASK; b = (b + c) & MASK
    b ^= c >> 2; e = (e + b) & MASK; c = (c + d) & MASK
    c ^= (d << 8) & MASK; f = (f + c) & MASK; d = (d + e) & MASK
    d ^= e >> 16; g = (g + d) & MASK; e = (e + f) & MASK
    e ^= (f << 10) & MASK; h = (h + e) & MASK; f = (f + g) & MASK
    f ^= g >> 4; a = (a + f) & MASK; g = (g + h) & MASK
    g ^= (h << 8) & MASK; b = (b + g) & MASK; h = (h + a) & MASK
    h ^= a >> 9; c = (c + h) & MASK; a = (a + b) & MASK
    return a, b, c, d, e, f, g, h


def words_le(data):
    return [int.from_bytes(data[i:i + 4], "little") for i in range(0, len(data), 4)]


def bytes_le(words):
    return b"".join(w.to_bytes(4, "little") for w in words)


def digest_cipher_encrypt(key16, data, rounds=8):
    k = words_le(key16)
    sub = []
    for t in (0x55555555, 0xAAAAAAAA, 0x33333333, 0xCCCCCCCC):
        s = (k[0], t, k[1], t, k[2], t, k[3], t)
        for _ in range(8):
            s = isaac_mix(*s)
        sub.extend(s)
    out = b""
    for off in range(0, len(data), 16):
        l0, l1, r0, r1 = words_le(data[off:off + 16])
        for r in range(rounds):
            a, b, c, d = quad_mix(l0, sub[2 * r], l1, sub[2 * r + 1])
            a, b, c, d = quad_mix(c, d, a, b)
            l0, l1, r0, r1 = a ^ b ^ r0, c ^ d ^ r1, l0, l1
        out += bytes_le([r0, r1, l0, l1])
    return out


def pass_phrase_key(phrase, length):
    digest = bytearray(b"".join(w.to_bytes(4, "big") for w in PI_WORDS[:64]))
    state = {"di": 0, "ki": 0, "w": [0x55555555] * 4}

    def feed(byte):
        digest[state["di"]] ^= byte
        state["di"] = (state["di"] + 1) % 256
        ki = state["ki"]
        w = state["w"]
        w[ki // 4] ^= byte << (8 * (ki % 4))
        ki += 1
        if ki == 8:
            a, b, c, d = w[3], w[2], w[1], w[0]
            for _ in range(4):
                a, b, c, d = quad_mix(a, b, c, d)
            state["w"] = [a, b, c, d]
            ki = 0
        state["ki"] = ki

    for byte in phrase:
        feed(byte)
    closing = 8 - state["ki"]
    for i in range(closing):
        feed(1 if i == 0 else 0)
    key16 = bytes_le(state["w"])
    finished = digest_cipher_encrypt(key16, bytes(digest))
    return finished[:length]


class ValueCipher:
    def __init__(self, key):
        self.p = list(PI_WORDS[:18])
        self.s = [list(PI_WORDS[18 + 256 * i:18 + 256 * (i + 1)]) for i in range(4)]
        for i in range(18):
            j = (4 * i) % len(key)
            word = 0
            for n in range(4):
                word = (word << 8) | key[(j + n) % len(key)]
            self.p[i] ^= word
        l = r = 0
        for i in range(0, 18, 2):
            l, r = self.block(l, r)
            self.p[i], self.p[i + 1] = l, r
        for box in self.s:
            for i in range(0, 256, 2):
                l, r = self.block(l, r)
                box[i], box[i + 1] = l, r

    def f(self, x):
        s = self.s
        return ((((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) & MASK) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF]) & MASK

    def block(self, l, r):
        lc, rc = l, r
        p = self.p
        l ^= p[0]
        for i in range(1, 16, 2):
            r ^= p[i] ^ self.f(lc)
            l ^= p[i + 1] ^ self.f(rc)
        r ^= p[17]
        return l, r

    def encrypt(self, plain):
        # The final block holds the 0 to 7 remaining bytes, zero-filled, and their
        # count in its last byte.
        rest = len(plain) % 8
        data = plain + bytes(7 - rest) + bytes([rest])
        out = b""
        for off in range(0, len(data), 8):
            l, r = words_le(data[off:off + 8])
            l, r = self.block(l, r)
            out += bytes_le([l, r])
        return out


CIPHER = ValueCipher(pass_phrase_key(b"Trelomandrix 1987 Pelikany", 16))


def encode_value(text):
    return base64.b64encode(CIPHER.encrypt(text.encode("cp1250"))).decode("ascii")


# --- the files ---------------------------------------------------------------------

TEACHERS = [("Kowalski", "Jan"), ("Wiśniewska", "Małgorzata"), ("Żółkiewski", "Łukasz"), ("Nowak & Syn", "Ewa")]
SUBJECTS = ["Matematyka", "Język polski", "Wychowanie fizyczne", "Informatyka <rozszerzona>"]
CLASSES = [
    ("1a", "", ["Adamczyk Anna", "Błaszczyk Bartłomiej", "Ćwik Cezary"]),
    ("2b", "1", ["Dąbrowska Dorota", "Źródło Zenon"]),
    ("3c \"sportowa\"", "0", []),
]


def element(indent, name, value):
    escaped = value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return "%s<%s>%s</%s>" % (indent, name, escaped, name)


def teachers_xml(enc, code):
    lines = ['<?xml version="1.0" encoding="windows-1250"?>', "<Belfry>"]
    if code is not None:
        lines.append(element("  ", "Code", code))
    lines.append(element("  ", "Ilosc", enc(str(len(TEACHERS)))))
    for i, (surname, first) in enumerate(TEACHERS, 1):
        lines += ["  <Belfer%d>" % i, element("    ", "Nzw", enc(surname)), element("    ", "Im", enc(first)),
                  "  </Belfer%d>" % i]
    lines.append("</Belfry>")
    return "\r\n".join(lines) + "\r\n"


def subjects_xml(enc, code):
    lines = ['<?xml version="1.0" encoding="windows-1250"?>', "<Przedmioty>", "  <!-- lista przedmiotów -->"]
    if code is not None:
        lines.append(element("  ", "Code", code))
    lines.append(element("  ", "Ilosc", enc(str(len(SUBJECTS)))))
    for i, name in enumerate(SUBJECTS, 1):
        lines.append(element("  ", "Przedm%d" % i, enc(name)))
    lines.append("</Przedmioty>")
    return "\r\n".join(lines) + "\r\n"


def classes_xml(enc, code, classes=CLASSES):
    lines = ['<?xml version="1.0" encoding="windows-1250"?>', "<Szkola>"]
    if code is not None:
        lines.append(element("  ", "Code", code))
    lines.append(element("  ", "IloscKlas", enc(str(len(classes)))))
    for k, (name, op, pupils) in enumerate(classes, 1):
        lines.append("  <Klasa%d>" % k)
        lines.append(element("    ", "Nazwa", enc(name)))
        lines.append(element("    ", "Op", enc(op)))
        lines.append(element("    ", "IleUczniow", enc(str(len(pupils)))))
        for m, pupil in enumerate(pupils, 1):
            lines.append(element("    ", "Uczen%d" % m, enc(pupil)))
        lines.append("  </Klasa%d>" % k)
    lines.append("</Szkola>")
    return "\r\n".join(lines) + "\r\n"


def write(folder, name, text, encoding="cp1250"):
    os.makedirs(folder, exist_ok=True)
    data = text.encode(encoding) if encoding == "cp1250" else b"\xff\xfe" + text.encode("utf-16-le")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def write_set(folder, enc, code, encoding="cp1250", classes=CLASSES):
    write(folder, "nauczyciele.kbs", teachers_xml(enc, code), encoding)
    write(folder, "przedmioty.kps", subjects_xml(enc, code), encoding)
    write(folder, "uczniowie.kls", classes_xml(enc, code, classes), encoding)


def main():
    plain = lambda v: v
    out = sys.argv[1]
    write_set(os.path.join(out, "plain"), plain, None)
    # The plain text "True" is not the encoded marker: still a plain file.
    write_set(os.path.join(out, "plain-true"), plain, "True")
    write_set(os.path.join(out, "utf16"), plain, None, encoding="utf-16")
    write_set(os.path.join(out, "encoded"), encode_value, encode_value("True"))
    # Encoded values without the marker: the counts are no numbers.
    write_set(os.path.join(out, "encoded-nocode"), encode_value, None)


if __name__ == "__main__":
    main()
