#!/usr/bin/python3
"""A second, independent implementation of the stored-value protection, written in
Python from the description of the format, and a check of `tabulon-admin encode` and
`tabulon-admin decode` against it on thousands of random values, both ways.

Usage: value_reference.py PATH-TO-tabulon-admin [SEED]
"""

import random
import subprocess
import sys

MASK = 0xFFFFFFFF


# ---------------------------------------------------------------- digits of pi

def pi_hex_words(count):
    """The fractional part of pi as `count` 32-bit words, by Machin's formula
    pi = 16 atan(1/5) - 4 atan(1/239) in big-integer fixed point."""
    guard = 64
    bits = 32 * count + guard
    one = 1 << bits

    def atan_inv(x):
        total = 0
        power = one // x
        n = 1
        sign = 1
        while power:
            total += sign * (power // n)
            power //= x * x
            n += 2
            sign = -sign
        return total

    pi = 16 * atan_inv(5) - 4 * atan_inv(239)
    fraction = (pi - 3 * one) >> guard
    return [(fraction >> (32 * (count - 1 - i))) & MASK for i in range(count)]


PI = pi_hex_words(18 + 4 * 256)


# ------------------------------------------------------------- the digest

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


def isaac_mix(s):
    a, b, c, d, e, f, g, h = s
    a ^= (b << 11) & MASK; d = (d + a) & MASK; b = (b + c) & MASK
    b ^= c >> 2; e = (e + b) & MASK; c = (c + d) & MASK
    c ^= (d << 8) & MASK; f = (f + c) & MASK; d = (d + e) & MASK
    d ^= e >> 16; g = (g + d) & MASK; e = (e + f) & MASK
    e ^= (f << 10) & MASK; h = (h + e) & MASK; f = (f + g) & MASK
    f ^= g >> 4; a = (a + f) & MASK; g = (g + h) & MASK
    g ^= (h << 8) & MASK; b = (b + g) & MASK; h = (h + a) & MASK
    h ^= a >> 9; c = (c + h) & MASK; a = (a + b) & MASK
    return [a, b, c, d, e, f, g, h]


def le_words(data):
    return [int.from_bytes(data[i:i + 4], "little") for i in range(0, len(data), 4)]


def le_bytes(words):
    return b"".join(w.to_bytes(4, "little") for w in words)


def digest_cipher_encrypt(key16, rounds, block16):
    rounds = max(4, min(16, rounds))
    k = le_words(key16)
    subkeys = []
    for t in (0x55555555, 0xAAAAAAAA, 0x33333333, 0xCCCCCCCC):
        s = [k[0], t, k[1], t, k[2], t, k[3], t]
        for _ in range(8):
            s = isaac_mix(s)
        subkeys += s
    l0, l1, r0, r1 = le_words(block16)
    for r in range(rounds):
        s0, s1 = subkeys[2 * r], subkeys[2 * r + 1]
        a, b, c, d = quad_mix(l0, s0, l1, s1)
        a, b, c, d = quad_mix(c, d, a, b)
        l0, l1, r0, r1 = a ^ b ^ r0, c ^ d ^ r1, l0, l1
    return le_bytes([r0, r1, l0, l1])


def pass_phrase_key(phrase, n):
    digest = bytearray(b"".join(w.to_bytes(4, "big") for w in PI[:64]))
    state = {"di": 0, "ki": 0, "key": bytearray(b"\x55" * 16)}

    def feed(byte):
        digest[state["di"]] ^= byte
        state["di"] = (state["di"] + 1) % 256
        state["key"][state["ki"]] ^= byte
        state["ki"] += 1
        if state["ki"] == 8:
            w0, w1, w2, w3 = le_words(bytes(state["key"]))
            a, b, c, d = w3, w2, w1, w0
            for _ in range(4):
                a, b, c, d = quad_mix(a, b, c, d)
            state["key"] = bytearray(le_bytes([a, b, c, d]))
            state["ki"] = 0

    for byte in phrase:
        feed(byte)
    closing = 8 - state["ki"]
    for i in range(closing):
        feed(1 if i == 0 else 0)
    key = bytes(state["key"])
    out = b"".join(digest_cipher_encrypt(key, 8, bytes(digest[i:i + 16])) for i in range(0, 256, 16))
    return out[:n]


# ------------------------------------------------------- the value cipher

class Cipher:
    def __init__(self, key, blowfish=False):
        """blowfish=True gives the published Blowfish, used only to prove the tables."""
        self.blowfish = blowfish
        self.p = PI[:18]
        self.s = [PI[18 + 256 * i: 18 + 256 * (i + 1)] for i in range(4)]
        stream = (key * 72)[:72]
        for i in range(18):
            self.p[i] ^= int.from_bytes(stream[4 * i: 4 * i + 4], "big")
        left = right = 0
        slots = [(self.p, i) for i in range(18)] + [(box, i) for box in self.s for i in range(256)]
        for j in range(0, len(slots), 2):
            left, right = self.encrypt(left, right)
            table, i = slots[j]
            table[i] = left
            table, i = slots[j + 1]
            table[i] = right

    def f(self, x):
        s0, s1, s2, s3 = self.s
        return ((((s0[x >> 24] + s1[(x >> 16) & 255]) & MASK) ^ s2[(x >> 8) & 255]) + s3[x & 255]) & MASK

    def encrypt(self, left, right):
        if self.blowfish:
            for i in range(16):
                left ^= self.p[i]
                right ^= self.f(left)
                left, right = right, left
            left, right = right, left
            return left ^ self.p[17], right ^ self.p[16]
        copy_l, copy_r = left, right
        left ^= self.p[0]
        for i in range(1, 16, 2):
            right ^= self.p[i] ^ self.f(copy_l)
            left ^= self.p[i + 1] ^ self.f(copy_r)
        right ^= self.p[17]
        return left, right

    def decrypt(self, left, right):
        copy_l, copy_r = left, right
        right ^= self.p[17]
        for i in range(16, 1, -2):
            left ^= self.p[i] ^ self.f(copy_r)
            right ^= self.p[i - 1] ^ self.f(copy_l)
        left ^= self.p[0]
        return left, right

    def crypt_block(self, block, forward):
        left, right = le_words(block)
        left, right = (self.encrypt if forward else self.decrypt)(left, right)
        return le_bytes([left, right])


B64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"


class Invalid(Exception):
    pass


def base64_decode(text):
    out = bytearray()
    for g in range(0, len(text), 4):
        group = text[g:g + 4]
        if any(not 43 <= ord(ch) <= 122 for ch in group):
            raise Invalid("Invalid Base64 Character")
        q = [B64.index(ch) if ch in B64 else None for ch in group]
        out.append(((q[0] << 2) | (q[1] >> 4)) & 0xFF)
        if group[2] != "=":
            out.append(((q[1] << 4) | (q[2] >> 2)) & 0xFF)
            if group[3] != "=":
                out.append(((q[2] << 6) | q[3]) & 0xFF)
    return bytes(out)


def base64_encode(data):
    out = []
    for i in range(0, len(data), 3):
        chunk = data[i:i + 3]
        n = int.from_bytes(chunk + b"\0" * (3 - len(chunk)), "big")
        chars = [B64[(n >> s) & 63] for s in (18, 12, 6, 0)]
        if len(chunk) < 3:
            chars[3] = "="
        if len(chunk) < 2:
            chars[2] = "="
        out.append("".join(chars))
    return "".join(out)


KEY = pass_phrase_key(b"Trelomandrix 1987 Pelikany", 16)
CIPHER = Cipher(KEY)


def decrypt_value(data):
    m = len(data) // 8
    if m == 0:
        raise Invalid("Invalid file format")
    plain = b"".join(CIPHER.crypt_block(data[8 * i: 8 * i + 8], False) for i in range(m))
    return plain[:8 * (m - 1)] + plain[8 * (m - 1): 8 * (m - 1) + plain[-1]]


def encrypt_value(plain):
    rest = len(plain) % 8
    padded = plain + b"\0" * (7 - rest) + bytes([rest])
    return b"".join(CIPHER.crypt_block(padded[i:i + 8], True) for i in range(0, len(padded), 8))


def decode(value):
    """Stored value to plain text; any error gives empty text."""
    try:
        return decrypt_value(base64_decode(value)).decode("cp1250")
    except Invalid:
        return ""


def encode(text):
    return base64_encode(encrypt_value(text.encode("cp1250")))


# ---------------------------------------------------------------- checks

def check_tables():
    # Published Blowfish test vectors (Eric Young's set) through the published block
    # function: proves every word of the tables computed above.
    vectors = [
        ("0000000000000000", "0000000000000000", "4EF997456198DD78"),
        ("FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"),
        ("3000000000000000", "1000000000000001", "7D856F9A613063F2"),
    ]
    for key, clear, expected in vectors:
        bf = Cipher(bytes.fromhex(key), blowfish=True)
        clear = bytes.fromhex(clear)
        left, right = bf.encrypt(int.from_bytes(clear[:4], "big"), int.from_bytes(clear[4:], "big"))
        got = (left.to_bytes(4, "big") + right.to_bytes(4, "big")).hex().upper()
        assert got == expected, (key, got, expected)


def run_admin(admin, args, lines):
    data = "".join(line + "\n" for line in lines).encode("utf-8")
    proc = subprocess.run([admin] + args, input=data, capture_output=True, timeout=300)
    if proc.returncode != 0:
        raise SystemExit("%s %s failed (%d): %s" % (admin, " ".join(args), proc.returncode,
                                                    proc.stderr.decode("utf-8", "replace")))
    out = proc.stdout.decode("utf-8").split("\n")
    assert out[-1] == "", "output does not end with a line end"
    return out[:-1]


def text_pool():
    chars = []
    for b in list(range(0x20, 0x7F)) + list(range(0x80, 0x100)):
        try:
            chars.append(bytes([b]).decode("cp1250"))
        except UnicodeDecodeError:
            pass
    return chars


POLISH = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"


def random_text(rng, pool, length):
    # Half of the characters Polish letters, the rest anything the code page holds.
    return "".join(rng.choice(POLISH) if rng.random() < 0.5 else rng.choice(pool) for _ in range(length))


def loose_base64(rng, data):
    """Base64 as a correct encoder never writes it but the decoding rules define: groups
    that carry one or two bytes in the middle of the text, and after an "=" in third
    place any fourth character from "+" to "z"."""
    out = []
    i = 0
    while i < len(data):
        take = rng.choice((1, 2, 3, 3))
        chunk = data[i:i + take]
        i += len(chunk)
        group = base64_encode(chunk)
        if len(chunk) == 1:
            group = group[:3] + chr(rng.randint(43, 122))
        out.append(group)
    return "".join(out)


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    admin = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 20261208
    rng = random.Random(seed)
    check_tables()
    pool = text_pool()

    # Encoding: every length from 0 to 60, through standard input and arguments.
    texts = [random_text(rng, pool, length) for length in range(61) for _ in range(60)]
    values = run_admin(admin, ["encode"], texts)
    assert len(values) == len(texts)
    for text, value in zip(texts, values):
        assert value == encode(text), ("encode", text, value, encode(text))
        assert decode(value) == text, ("reference round trip", text)
    sample = texts[::50]
    assert run_admin(admin, ["encode", "--"] + sample, []) == [encode(t) for t in sample]

    # Decoding: values written by this implementation, some in the loose Base64 form,
    # some with bytes after the last whole block, plus values that must give empty text.
    cases = []
    for length in range(61):
        for n in range(60):
            text = random_text(rng, pool, length)
            data = encrypt_value(text.encode("cp1250"))
            kind = n % 4
            if kind == 1:
                value = loose_base64(rng, data)
            elif kind == 2:
                value = base64_encode(data + bytes(rng.randrange(256) for _ in range(rng.randint(1, 7))))
            else:
                value = base64_encode(data)
            cases.append(value)
    valid = base64_encode(encrypt_value("Tabulon".encode("cp1250")))
    cases += [
        "",
        valid[:4],                       # three bytes: shorter than a block
        base64_encode(bytes(7)),         # seven bytes
        valid[:4] + " " + valid[5:],     # blank inside
        valid + "\t",                    # outside "+".."z" at the end (a group of its own)
        valid[:8] + "~~~~" + valid[12:],
        valid[:8] + "éééé" + valid[12:],
        "\tAAA" + valid,
    ]
    decoded = run_admin(admin, ["decode"], cases)
    assert len(decoded) == len(cases)
    for value, text in zip(cases, decoded):
        assert text == shown(decode(value)), ("decode", value, text, decode(value))
    assert decode(valid) == "Tabulon"
    sample = cases[::37]
    assert run_admin(admin, ["decode", "--"] + [v for v in sample if v], []) == \
        [shown(decode(v)) for v in sample if v]

    print("%d values encoded and %d decoded alike (seed %d)" % (len(texts), len(cases), seed))


def shown(text):
    """A decoded text as `decode` prints it: one line, control characters escaped."""
    out = []
    for c in text:
        o = ord(c)
        bidi = 0x202A <= o <= 0x202E or 0x2066 <= o <= 0x2069 or o in (0x200E, 0x200F, 0x061C)
        if c == "\\":
            out.append("\\\\")
        elif o < 0x20 or o == 0x7F:
            out.append("\\x%02x" % o)
        elif 0x80 <= o < 0xA0 or bidi:
            out.append("\\u{%04x}" % o)
        else:
            out.append(c)
    return "".join(out)


if __name__ == "__main__":
    main()
