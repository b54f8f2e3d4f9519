#!/usr/bin/env python3
"""Random runs of plotmerge compared with the reference model.

Each case is a random dialogue (count, names, factors, mode, risk answer in
many textual forms) and a random working folder (plot files with fields in
many valid shapes and a few invalid ones, old outputs). The case runs once
through the built plotmerge in a fresh folder and once through
plotmerge_model; standard output, the exit status, the warnings on
standard error (each kind in order, with the counts, lines, files and
receptors its text names, in its order), a failure's diagnostic line, and
every file of the folder must agree byte for byte.

In a third of the cases (--layouts mixed; only or never choose) input 1
declares its data line layout in a FORMAT header line: one of the layouts
met in practice, the standard one written otherwise, or a random list of
nX, Fw.d, Ew.d, Aw, Iw, Iw.m and colons with repeat counts and nested
groups (wide reals after narrow ones, groups ending at a colon), now and
then one that cannot be read or merged by: x or y not a real, no value
field, too wide, unreadable, running past the 1024 columns read. The other
inputs mostly declare the same, sometimes another, an unreadable one or
one at another header line; against a standard input 1 too. Data lines
follow the layout, filled up to one of its colons, wider than 120 columns
when it is, with column titles past column 120 above them. Real fields
hold ties of the decimal and of the float, carries, coordinates to the
last digit, negative zeros, values beyond single precision and exponents
beyond two digits.

Now and then the case holds what draws each warning: names of files that
do not exist, lower-case mode and risk answers, blank and empty lines
among the data, CRs in the part of a line skipped after the columns read,
tiny values and values too large for their fields, text past the colon
that cut the layout, header lines after the first data line, a file with
CR line ends, inputs of different lengths (one more line of a single byte
too), inputs with header lines only. Names of more than 120 bytes, blanks
aside, stop the run.

A mismatch prints the differences and, with --keep-failures, leaves a
folder holding the answers, the starting files, both outcomes and the
warnings expected.
Exit status: 0 when every case agreed, 1 otherwise.
"""

import argparse
import functools
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from fractions import Fraction

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import plotmerge_model as model  # noqa: E402

OUTPUT_NAMES = (b'AVG_CONC.PLT', b'SUM_CONC.PLT', b'RISK.PLT')


# ---------------------------------------------------------------------------
# Decimal numbers and their texts
#
# A number is (negative, n, s): the value (-1)^negative * n * 10^-s, n >= 0.
# Texts are made from it in the forms the tool reads; the model works out
# their values on its own.

def random_number(rng, style=None):
    style = style or rng.choice(
        ['small', 'small', 'medium', 'large', 'tie', 'near_tie', 'zero', 'integer', 'tiny', 'limit',
         'float_tie', 'coordinate'])
    negative = rng.random() < 0.3
    if style == 'small':
        n, s = rng.randint(0, 99999), rng.randint(0, 5)
    elif style == 'medium':
        n, s = rng.randint(0, 10**9), rng.randint(0, 7)
    elif style == 'large':
        n, s = rng.randint(10**5, 10**8), rng.randint(0, 2)
    elif style == 'tie':
        # m / 2^k, exact in single precision, often a tie at 2 or 5 decimals
        k = rng.randint(1, 12)
        m = rng.randint(0, 2**min(20, k + 10))
        n, s = m * 5**k, k
    elif style == 'near_tie':
        s = rng.choice([3, 6, 7])
        n = rng.randint(0, 10**(s + rng.randint(0, 3) - 1)) * 10 + 5
    elif style == 'zero':
        n, s = 0, rng.randint(0, 3)
    elif style == 'coordinate':
        # a map coordinate to the last digit a field holds: 4425586.20194, -1249.68
        s = rng.choice([2, 5, 5])
        n = rng.randint(10 ** (s + 2), 10 ** (s + 7) - 1)
    elif style == 'integer':
        n, s = rng.randint(0, 9999), 0
    elif style == 'tiny':
        n, s = rng.randint(1, 999), rng.randint(6, 9)
    elif style == 'float_tie':
        # an integer midway between two neighbouring floats above 2^24
        k = rng.randint(24, 33)
        n, s = (2 * rng.randint(2**23, 2**24 - 1) + 1) * 2 ** (k - 24), 0
        if rng.random() < 0.3:
            n, s = n * 10 + rng.choice([1, 9]), 1
    else:  # around the widths of the fields: 10^7, 10^6, 10^5, 10^4
        base = 10 ** rng.choice([4, 5, 6, 7])
        s = rng.choice([2, 3])
        n = base * 10 ** s + rng.randint(-300, 300)
    return negative, max(n, 0), s


def sign_text(rng, negative):
    if negative:
        return '-'
    return '+' if rng.random() < 0.1 else ''


def digits_with_point(n, s):
    """n * 10^-s as integer digits, point, fraction digits."""
    text = str(n).rjust(s + 1, '0')
    whole, frac = text[:len(text) - s], text[len(text) - s:]
    return whole, frac


def point_text(rng, negative, n, s):
    whole, frac = digits_with_point(n, s)
    frac += '0' * rng.choice([0, 0, 0, 1, 2])
    if whole == '0' and rng.random() < 0.3 and frac:
        whole = ''
    return sign_text(rng, negative) + whole + '.' + frac


def exponent_marker(rng, exponent):
    letter = rng.choice(['E', 'e', 'D', 'd', '', ''])
    if letter == '':
        return ('+' if exponent >= 0 else '-') + str(abs(exponent))
    if exponent < 0:
        return letter + '-' + str(-exponent).rjust(rng.choice([1, 1, 3]), '0')
    return letter + rng.choice(['', '+']) + str(exponent).rjust(rng.choice([1, 1, 3]), '0')


def exponent_text(rng, negative, n, s):
    """A mantissa, with or without a point, and an exponent."""
    digits = str(n)
    if rng.random() < 0.5:
        k = rng.randint(0, len(digits))
        mantissa = digits[:k] + '.' + digits[k:]
        exponent = (len(digits) - k) - s
        if mantissa == '.':
            mantissa = '0.'
    else:
        mantissa = digits
        exponent = -s
    return sign_text(rng, negative) + mantissa + exponent_marker(rng, exponent)


def implied_text(rng, negative, n, s, decimals):
    """Digits without a point, the last `decimals` of them decimals, maybe an exponent."""
    if rng.random() < 0.7:
        exponent = rng.randint(min(-2, decimals - s), decimals - s) if s <= decimals else None
        if exponent is None:
            return None
        if rng.random() < 0.6:
            exponent = 0
        digits = str(n * 10 ** (decimals - exponent - s)).rjust(rng.randint(1, 3), '0')
        return sign_text(rng, negative) + digits + ('' if exponent == 0 else exponent_marker(rng, exponent))
    return None


def number_texts(rng, number, decimals):
    """Every text this generator can make for the number, in random forms."""
    negative, n, s = number
    texts = [point_text(rng, negative, n, s), exponent_text(rng, negative, n, s)]
    if decimals is None:
        if s == 0:
            texts.append(sign_text(rng, negative) + str(n))
    else:
        implied = implied_text(rng, negative, n, s, decimals)
        if implied:
            texts.extend([implied, implied])
    return texts


def field_text(rng, number, width, decimals):
    """A real field of `width` columns holding the number, or None when no form fits."""
    texts = [t for t in number_texts(rng, number, decimals) if len(t) <= width]
    if not texts:
        return None
    text = rng.choice(texts)
    text = sprinkle_blanks(rng, text, width)
    return place(rng, text, width)


def sprinkle_blanks(rng, text, width):
    if rng.random() < 0.15:
        while len(text) < width and rng.random() < 0.6:
            k = rng.randint(0, len(text))
            text = text[:k] + ' ' + text[k:]
    return text


def place(rng, text, width):
    room = width - len(text)
    r = rng.random()
    if r < 0.75:
        left = room
    elif r < 0.85:
        left = 0
    else:
        left = rng.randint(0, room)
    return ' ' * left + text + ' ' * (room - left)


def invalid_field_text(rng, width):
    text = rng.choice(['12x4567', '1.2.3', '--5', '+', '.', '1E', 'E5', '1\t2', 'abc', '1,5', '5-', 'Q', '0x1F'])
    return place(rng, text[:width], width)


# ---------------------------------------------------------------------------
# Plot files

TEXT_BYTES = (b'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'
              b'      -_.:*#/\\\'",;()\t\xe9\xff\x80\x01\x00')


_TRANSLATIONS = {}


def random_text(rng, length, alphabet=TEXT_BYTES):
    """length random bytes of the alphabet."""
    table = _TRANSLATIONS.get(alphabet)
    if table is None:
        table = _TRANSLATIONS[alphabet] = bytes(alphabet[i % len(alphabet)] for i in range(256))
    return rng.randbytes(length).translate(table)


def random_header(rng):
    length = rng.choice([0, 5, 30, 60, 118, 119, 120, 121, 150, rng.randint(0, 200)])
    if rng.random() < 0.1:
        # beyond the 120 columns, up to and past the 1024 of a wide layout's header lines
        length = rng.choice([300, 1022, 1023, 1024, 1100, rng.randint(121, 1100)])
    header = b'*' + random_text(rng, length)
    if rng.random() < 0.1:
        header += b' ' * rng.choice([1, 5, 119 - len(header), 120 - len(header), 900])
    if rng.random() < 0.03:
        k = rng.randint(1, len(header))
        header = header[:k] + b'\r' + header[k:]
    if rng.random() < 0.02:
        # a CR in the part skipped after the columns read, alone or before the LF
        header = header.ljust(rng.randint(120, 160), b'-') + b'\r' + rng.choice([b'', b'*', b'x y'])
    return header


class Receptor:
    nan = False  # x is not-a-number in every input (declared layouts only)

    def __init__(self, rng):
        self.x = random_number(rng, rng.choice(['small', 'integer', 'medium', 'zero', 'coordinate', 'near_tie']))
        self.y = random_number(rng, rng.choice(['small', 'integer', 'medium', 'coordinate', 'coordinate']))

    def nudged(self, rng):
        """The receptor with its x one in the last digit off, the same float often."""
        other = Receptor.__new__(Receptor)
        negative, n, s = self.x
        k = rng.choice([0, 0, 1, 2])
        other.x, other.y = (negative, max(1, n * 10 ** k + rng.choice([-1, 1])), s + k), self.y
        return other


def stamp_text(rng):
    choice = rng.random()
    if choice < 0.5:
        text = str(rng.randint(0, 99999999)).rjust(rng.choice([1, 6, 8]), '0')
    elif choice < 0.6:
        text = '-' + str(rng.randint(0, 9999999))
    elif choice < 0.7:
        text = '+' + str(rng.randint(0, 999999))
    elif choice < 0.8:
        text = '1 2 3'
    elif choice < 0.9:
        text = ''
    else:
        text = rng.choice(['99999999', '00000000', '-0', '42', '-1'])
    return place(rng, text[:8], 8)


class DataLine:
    """The field texts of one data line, before it is laid out."""

    WIDTHS = ((13, 5), (13, 5), (13, 5), (8, 2), (8, 2), (8, 2))

    def __init__(self, rng, receptor, invalid=False):
        self.rng = rng
        self.receptor = receptor
        self.value = random_number(rng)
        self.aux = [random_number(rng, rng.choice(['small', 'tie', 'near_tie', 'zero', 'limit', 'coordinate']))
                    for _ in range(3)]
        self.tags = [random_text(rng, 6), random_text(rng, 8), random_text(rng, 8)]
        self.invalid = invalid

    def real_fields(self):
        numbers = [self.receptor.x, self.receptor.y, self.value] + self.aux
        fields = []
        for number, (width, decimals) in zip(numbers, self.WIDTHS):
            text = field_text(self.rng, number, width, decimals)
            if text is None:
                text = place(self.rng, '0', width)
            fields.append(text.encode())
        if self.invalid:
            k = self.rng.randrange(len(fields) + 1)
            if k == len(fields):
                self.stamp_override = place(self.rng, self.rng.choice(['1.5', '4x', '+', '-', '1e2', '1\t2', '\x0b1']), 8).encode()
            else:
                fields[k] = invalid_field_text(self.rng, self.WIDTHS[k][0]).encode()
        return fields

    def layout(self):
        rng = self.rng
        self.stamp_override = None
        reals = self.real_fields()
        stamp = self.stamp_override or stamp_text(rng).encode()

        def sep(n):
            if rng.random() < 0.05:
                return random_text(rng, n).replace(b'\r', b' ')
            return b' ' * n

        first = b' ' if rng.random() < 0.9 else bytes([rng.choice(b'x0-#\t *')])
        pieces = [first, reals[0], sep(1), reals[1], sep(1), reals[2], sep(1),
                  reals[3], sep(1), reals[4], sep(1), reals[5], sep(2),
                  self.tags[0], sep(2), self.tags[1], sep(2), stamp, sep(2), self.tags[2]]
        # a line may stop early, but only between pieces, so that no field is cut
        if rng.random() < 0.1:
            pieces = pieces[:rng.randint(1, len(pieces))]
        line = b''.join(pieces)
        if rng.random() < 0.1:
            line = line.rstrip(b' ')
        if len(line) >= 107 and rng.random() < 0.15:
            # junk in the columns after the last field, which are not read
            tail = random_text(rng, rng.randint(0, 13)).replace(b'\r', b' ')
            if rng.random() < 0.05:
                tail = tail[:6] + b'\r' + rng.choice([b'', b'  ', b'*', b'x'])
            line += tail
        if rng.random() < 0.05:
            line = line.replace(b'\r', b' ').ljust(120, b' ')[:120] + random_text(rng, rng.randint(1, 200)) + \
                (b'\r' if rng.random() < 0.3 else b'')
        if rng.random() < 0.002:
            # a line far longer than any buffer, skipped after its 120 columns
            line = line.replace(b'\r', b' ').ljust(120, b' ') + random_text(rng, rng.randint(60000, 300000)).replace(b'\n', b' ')
        if rng.random() < 0.03:
            # a CR right at the edge of the 120 columns read, or just past it
            line = line.replace(b'\r', b' ').ljust(120, b' ')[:rng.choice([118, 119, 120, 121])] + b'\r' + \
                rng.choice([b'', b'  ', b'x', b'*', b'\r'])
        return line


def line_end(rng, line, width=model.LINE_WIDTH):
    r = rng.random()
    if r < 0.8:
        return b'\n'
    if r < 0.92:
        return b'\r\n'
    if r < 0.93:
        return b'\r\r\n'
    if len(line) < width and not line.endswith(b'\r'):
        return b'\r'
    return b'\n'


def join_lines(rng, lines, width=model.LINE_WIDTH):
    """The lines with random line ends; a lone CR only where it ends a line of `width` columns."""
    out = []
    for i, line in enumerate(lines):
        out.append(line)
        if i < len(lines) - 1 or rng.random() < 0.85:
            out.append(line_end(rng, line, width))
    return b''.join(out)


class PlotSet:
    """The plot files of one case: a common layout, each input varying it."""

    def __init__(self, rng, declared=False):
        self.rng = rng
        self.header_count = rng.choice([0, 0, 1, 2, 3])
        self.headers = [random_header(rng) for _ in range(self.header_count)]
        size = rng.choice([0, 1, 2, 3, 5, 8, 12, rng.randint(0, 40)])
        if rng.random() < 0.02:
            # enough lines to cross the read and write buffers many times
            size = rng.randint(500, 3000) if rng.random() < 0.8 else rng.randint(10000, 15000)
        self.receptors = [Receptor(rng) for _ in range(size)]
        self.special_rate = rng.choice([0.0, 0.0, 0.02])
        self.declared = DeclaredLayout(rng) if declared else None
        if declared:
            # (slower to make: big files hold at most 2000 lines)
            self.receptors = self.receptors[:2000]
            # input 1's FORMAT line among its header lines, maybe another
            # header line after the first data lines
            self.format_index = rng.randint(0, len(self.headers))
            self.headers.insert(self.format_index, self.declared.header)
            if rng.random() < 0.4:
                k = self.format_index + 1
                self.headers[k:k] = title_headers(rng, self.declared.layout)
            for receptor in self.receptors:
                receptor.nan = rng.random() < 0.02
        # other inputs declaring a layout against input 1's standard one,
        # before its first data line or after it
        self.foreign = not declared and rng.random() < 0.12
        if self.foreign and not self.headers:
            self.headers.append(random_header(rng))
        # a header line after the first data lines, as in two runs joined
        self.late = None
        if rng.random() < (0.15 if declared else 0.5 if self.foreign else 0.08):
            self.late = (rng.randint(0, len(self.receptors)),
                         rng.choice([self.declared.header, self.declared.other_header(), random_header(rng)])
                         if declared else random_header(rng))

    def data_line(self, receptor, invalid=False, specials=True):
        rng = self.rng
        if self.declared:
            return declared_line(rng, self.declared.layout, receptor, invalid,
                                 specials and rng.random() < self.special_rate,
                                 self.declared.fill if rng.random() < 0.8 else None)
        line = DataLine(rng, receptor, invalid).layout()
        if specials and rng.random() < self.special_rate:
            line = special_value_line(rng, line)
        return line

    def file_bytes(self, first=True):
        """One input's bytes; `first` for input 1, whose FORMAT line the others may vary."""
        rng = self.rng
        lines = []
        headers = list(self.headers)
        if self.declared and not first:
            headers = self.declared.headers_of_other_input(headers, self.format_index)
        if self.foreign and not first and headers and rng.random() < 0.6:
            headers[rng.randrange(len(headers))] = foreign_format_header(rng)
        if rng.random() < 0.2:
            headers = [h if self.declared and h == self.declared.header else random_header(rng) for h in headers]
        lines.extend(headers)
        for receptor in self.receptors:
            if rng.random() < 0.05:
                receptor = Receptor(rng)
            elif rng.random() < 0.03:
                receptor = receptor.nudged(rng)
            lines.append(self.data_line(receptor, rng.random() < 0.004))
        if self.late:
            k, header = self.late
            if self.declared and not first and rng.random() < 0.3:
                header = rng.choice([self.declared.other_header(), random_header(rng)])
            if self.foreign and not first and rng.random() < 0.6:
                header = foreign_format_header(rng)
            lines.insert(len(headers) + k, header)
        if rng.random() < 0.03:
            k = rng.randint(0, len(lines))
            lines.insert(k, rng.choice([b'', b'   ', b'*', random_header(rng)]))
        if rng.random() < 0.25 and lines:
            lines = lines[:rng.randint(0, len(lines))]
        if rng.random() < 0.1:
            lines.append(self.data_line(Receptor(rng), specials=False))
        if rng.random() < 0.01:
            return b'\r'.join(lines)  # saved with CR line ends
        data = join_lines(rng, lines, self.declared.width if self.declared else model.LINE_WIDTH)
        if rng.random() < 0.03:
            # a last byte more: a line end, a lone CR, a blank or a DOS end-of-file byte
            data += rng.choice([b'\n', b'\r', b' ', b'\x1a'])
        return data


SPECIAL_TEXTS = [b'Inf', b'-inf', b'+Infinity', b'iNfInItY', b'NaN', b'-nan', b'1E39', b'-1e40',
                 b'1E-50', b'3.4028235E38', b'3.4028236E38', b'-3.4028235+38', b'1.4E-45', b'7E-46',
                 b'-1E-40', b'1.1754943E-38', b'1E99999999', b'1E-9999999', b'0E99999999', b'1E005',
                 # beyond single precision, and around the two digits of an E field's exponent
                 b'1E98', b'9.9999949E98', b'9.999995E98', b'1.E99', b'1E99', b'-1E100', b'1.E-99', b'1.E-100',
                 b'9.9999996E-101', b'1.E-101', b'-5E-324', b'1+44', b'-125D45',
                 b'-0', b'-0.000', b'- .0E5', b'-00']
SPECIAL_FIELDS = ((1, 14), (15, 28), (29, 42), (29, 42), (43, 51), (52, 60), (61, 69))


def special_value_line(rng, line):
    """Puts an infinity, a not-a-number or an extreme exponent into a real field."""
    start, end = rng.choice(SPECIAL_FIELDS)
    text = rng.choice([t for t in SPECIAL_TEXTS if len(t) <= end - start])
    line = line.ljust(end, b' ')
    return line[:start] + text.rjust(end - start) + line[end:]


# ---------------------------------------------------------------------------
# Declared layouts
#
# A layout is made as a list of pieces, ('X', n) for blank columns, (':',)
# for a colon or (kind, w, d) for a field (d is m for I), and written as a
# FORMAT list with repeat counts and groups where pieces repeat, in random
# case and spacing. The model reads the list on its own; for lists made
# here the driver checks that it finds the layout the pieces give.

STANDARD_LIST = '(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)'
WORLD_LISTS = [
    STANDARD_LIST,
    '(2(1X,F13.5),1X,E13.6,3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)',
    '(3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)',
    '(5(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)',
    '(5(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)',
    '(2(1X,F13.5),3(1X,E13.6),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)',
    '(2(1X,F13.5),4(1X,E13.6),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)',
    '(3(1X,F13.5),1X,F8.2,2X,A6,2X,A8,2X,I8.8,2X,A8)',
    '(3(1X,F13.5),3X,A5,3X,A5)',
    # a value and date per year, as many years as the first data line fills
    '(3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,A5,5X,A8,2X,10(F13.5,2X,I8.8,2X:))',
    # deposition after the elevations
    '(3(1X,F13.5),3(1X,F8.2),2(1X,E13.6),2X,A6,2X,A8,2X,I8.8,2X,A8)',
]
RANKED_WORDS = [b'1ST', b'2ND', b'3RD', b'10TH', b'24-HR', b'1-HR', b'ANNUAL', b'STACK', b'POL1', b'ALL']
COLON = (':',)


@functools.lru_cache(maxsize=64)
def pieces_of(layout):
    """The pieces of a model layout."""
    marks = sorted([(f.start, 1, f) for f in layout.fields] + [(c, 0, None) for c in layout.colons],
                   key=lambda mark: mark[:2])
    pieces, column = [], 0
    for at, _, f in marks:
        if at > column:
            pieces.append(('X', at - column))
            column = at
        if f is None:
            pieces.append(COLON)
        else:
            pieces.append((f.kind, f.width, f.digits))
            column += f.width
    if layout.width > column:
        pieces.append(('X', layout.width - column))
    return pieces


def layout_of(pieces):
    """The model layout that the pieces give."""
    fields, colons, column = [], [], 0
    for piece in pieces:
        if piece == COLON:
            colons.append(column)
            continue
        kind, width, *digits = piece
        if kind != 'X':
            fields.append(model.Field(kind, column, width, digits[0]))
        column += width
    return model.Layout(tuple(fields), column, tuple(colons))


def list_of_text(text):
    return model.format_line_layout(b'*FORMAT:' + text.encode())


def descriptor_text(rng, piece):
    kind, width, *digits = piece + (0,)
    if kind == ':':
        return ':'
    if kind == 'X':
        return '%dX' % width
    if kind in 'FE':
        return '%s%d.%d' % (kind, width, digits[0])
    if kind == 'I' and digits[0] == 1 and rng.random() < 0.7:
        return 'I%d' % width
    if kind == 'I':
        return 'I%d.%d' % (width, digits[0])
    return 'A%d' % width


def list_items(rng, pieces):
    """The items of a list for the pieces: runs of a repeated piece or group
    get a repeat count now and then, X columns are split or written 1(nX)."""
    items, i = [], 0
    while i < len(pieces):
        runs = []
        for size in range(1, 7):
            chunk = pieces[i:i + size]
            repeats = 1
            while pieces[i + repeats * size:i + (repeats + 1) * size] == chunk:
                repeats += 1
            if repeats > 1 and chunk != [COLON] * size:
                runs.append((size, repeats))
        if runs and rng.random() < 0.8:
            size, repeats = rng.choice(runs)
            repeats = rng.randint(2, repeats)
            chunk = pieces[i:i + size]
            if size == 1 and chunk[0][0] != 'X' and rng.random() < 0.7:
                items.append('%d%s' % (repeats, descriptor_text(rng, chunk[0])))
            else:
                items.append('%d(%s)' % (repeats, join_items(rng, list_items(rng, chunk))))
            i += size * repeats
            continue
        piece = pieces[i]
        r = rng.random()
        if piece[0] == 'X' and piece[1] > 1 and r < 0.2:
            k = rng.randint(1, piece[1] - 1)
            items.append('%dX,%dX' % (k, piece[1] - k))
        elif r < 0.05:
            items.append(rng.choice(['(%s)', '1(%s)']) % descriptor_text(rng, piece))
        elif r < 0.08 and piece[0] not in 'X:':
            items.append('1' + descriptor_text(rng, piece))
        else:
            items.append(descriptor_text(rng, piece))
        i += 1
    return items


def join_items(rng, items):
    """Items joined by commas; next to a colon the comma is often left out."""
    text = items[0]
    for before, item in zip(items, items[1:]):
        text += '' if ':' in (before, item) and rng.random() < 0.5 else ','
        text += item
    return text


def dress(rng, text):
    """The list in random case, with blanks here and there."""
    if rng.random() < 0.25:
        text = ''.join(c.lower() if rng.random() < 0.5 else c for c in text)
    if rng.random() < 0.25:
        for _ in range(rng.randint(1, 5)):
            k = rng.randint(0, len(text))
            text = text[:k] + ' ' * rng.randint(1, 2) + text[k:]
    return text


def list_text(rng, pieces):
    return dress(rng, '(%s)' % join_items(rng, list_items(rng, pieces)))


REAL_PIECES = [('F', 13, 5), ('F', 13, 5), ('E', 13, 6), ('E', 13, 6), ('F', 14, 3), ('F', 13, 0), ('E', 15, 7),
               ('E', 12, 4), ('F', 16, 8), ('E', 20, 12), ('F', 13, 1)]
NARROW_PIECES = [('F', 8, 2), ('F', 8, 2), ('F', 6, 0), ('E', 8, 2), ('E', 10, 3), ('F', 5, 1), ('F', 12, 4),
                 ('F', 3, 5), ('E', 9, 1)]
OTHER_PIECES = [('A', 6, 0), ('A', 8, 0), ('A', 5, 0), ('A', 1, 0), ('A', 13, 0), ('I', 8, 8), ('I', 8, 1), ('I', 5, 3),
                ('I', 4, 0), ('I', 11, 1), ('I', 3, 3), ('I', 12, 11), ('I', 1, 0)]
# groups repeated at the end of a layout, each ending or starting at a colon
COLON_GROUPS = [
    [('F', 13, 5), ('X', 2), ('I', 8, 8), ('X', 2), COLON],
    [('X', 1), ('E', 13, 6), COLON],
    [COLON, ('X', 1), ('F', 13, 5)],
    [('X', 1), ('F', 8, 2), COLON, ('X', 2), ('A', 5, 0)],
    [('X', 3), ('A', 5, 0), ('X', 1), ('E', 14, 6), ('X', 2), COLON],
]


def random_pieces(rng):
    """A layout, mostly one to merge by: a receptor of two real fields, then
    reals and others, value fields among them, maybe colons."""
    pieces = []

    def add(piece):
        if rng.random() < 0.8:
            pieces.append(('X', rng.choice([1, 1, 1, 2, 3, 5])))
        pieces.append(piece)

    for _ in range(2):
        add(rng.choice(REAL_PIECES + NARROW_PIECES[:2]))
    for _ in range(rng.choice([0, 1, 1, 2, 3, 4])):
        add(rng.choice(REAL_PIECES + OTHER_PIECES[:3]))
    for _ in range(rng.randint(0 if len(pieces) > 5 else 1, 4)):
        add(rng.choice(NARROW_PIECES + OTHER_PIECES + REAL_PIECES[:3]))
    if not model.value_fields(layout_of(pieces)) and rng.random() < 0.9:
        add(rng.choice(REAL_PIECES[:4]))  # a wide real after narrow ones
    if rng.random() < 0.3:
        k = rng.randint(0, len(pieces))
        if COLON not in pieces[max(0, k - 1):k + 1]:
            pieces.insert(k, COLON)
    if rng.random() < 0.5:
        pieces += rng.choice(COLON_GROUPS) * rng.randint(1, 10)
    if rng.random() < 0.1:
        pieces.append(('X', rng.choice([10, 60, 120, 300])))
    elif rng.random() < 0.2:
        pieces.append(('X', rng.randint(1, 3)))
    return pieces


BAD_ITEMS = ['T5', 'TL3', 'TR2', '/', '1P', "'ab'", '"x"', 'G13.5', 'D13.5', 'L2', 'BN', 'X', '0X', '0(1X)',
             'F13', 'F13.', 'A', 'I5.6', 'E13.0', 'E13.6E2', '()', 'Q', '-1X', 'F13.5.1', 'E13', '2', 'X2', '2:']
# lists that read but give no layout to merge by: x or y not a real, no
# value field, fewer than two fields
REFUSED_LISTS = ['(1X,I6,1X,F13.5,2(1X,F13.5))', '(1X,A6,3(1X,F13.5))', '(2(1X,F13.5),1X,E12.5)',
                 '(2(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8)', '(3(1X,F13.5))', '(1X,F13.5,1X,I8,2(1X,F13.5))',
                 '(I8,5F13.5)', '(1X,F13.5)', '(5X)', '(2(1X,F13.5),:,1X,E13.6,2X,A8)']


def bad_list(rng, text, width):
    """A list the tool cannot read, or reads and cannot merge by, mostly a good one spoilt."""
    r = rng.randrange(13)
    if r < 3:
        cut = rng.choice([k for k, c in enumerate(text) if c in '(,'])
        item = rng.choice(BAD_ITEMS)
        return text[:cut + 1] + item + (',' if text[cut + 1:cut + 2] != ')' else '') + text[cut + 1:]
    if r == 3:
        return text.rstrip()[:-1]
    if r == 4:
        return text + rng.choice([' x', ',', ')', '(1X)', '  1X', ' \t'])
    if r == 5:
        return text.rstrip()[:-1] + rng.choice([',)', ',,1X)', ',E13.6E2)', ', 1X A5)', ',:,)'])
    if r == 6:
        return rng.choice(['()', '(3F13.5', '(:)'] + REFUSED_LISTS)
    if r == 7:
        # past 1024 columns, or just at them (still a layout)
        return text.rstrip()[:-1] + ',%dX)' % max(1, 1024 - width + rng.choice([0, 1, 1, 1000]))
    if r == 8:
        return '(%d(1X,F13.5))' % rng.choice([73, 74, 99999999999])
    if r == 9:
        return text.replace(',', rng.choice([',\t', ';', ', ,']), 1)
    if r == 10:
        return '(3(1X,F13.5)' + ',1X,F8.2' * 20 + ')'  # past column 120 of the line
    if r == 11:
        # past the 1024 columns of the line read, by blanks inside the list
        return text[:1] + ' ' * rng.choice([1000, 1010, 1020]) + text[1:]
    return rng.choice(['FORMAT', '', '3(1X,F13.5)', '(3(1X,F13.5)))', '((3(1X,F13.5))'])


def format_header(rng, text):
    """A FORMAT header line holding the list; now and then one that is no FORMAT line."""
    word = 'FORMAT:' if rng.random() < 0.96 else rng.choice(['format:', 'FORMAT :', 'Format:', '\tFORMAT:', 'FORMAT'])
    line = '*%s%s%s%s' % (' ' * rng.choice([0, 1, 2, 9, 9, 9, 70]), word, ' ' * rng.choice([0, 1, 1, 1, 3]), text)
    if rng.random() < 0.03 and line.endswith(')') and len(line) < 1024:
        # the list's ')' in the last column read, or just past it
        line = line[:-1].ljust(rng.choice([1023, 1024])) + ')'
    line += ' ' * rng.choice([0, 0, 0, 5, 30])
    if rng.random() < 0.03 and len(line) < 120:
        line = line.ljust(120) + 'not read past column 120'
    return line.encode('latin-1')


def foreign_format_header(rng):
    """A FORMAT line of another input than input 1, which reads the standard layout."""
    r = rng.random()
    if r < 0.5:
        return format_header(rng, dress(rng, rng.choice(WORLD_LISTS)))
    pieces = random_pieces(rng)
    if r < 0.85:
        return format_header(rng, list_text(rng, pieces))
    return format_header(rng, bad_list(rng, list_text(rng, pieces), layout_of(pieces).width))


TITLES = [b'X', b'Y', b'AVERAGE CONC', b'ZELEV', b'ZHILL', b'ZFLAG', b'AVE', b'GRP', b'RANK', b'NET ID',
          b'DATE(CONC)', b'CONC YEAR 5', b'DRY DEPO', b'WET DEPO', b'1ST HIGH', b'YR']


def title_headers(rng, layout):
    """Header lines of column titles over the fields, and a rule under them,
    as wide as the layout: past column 120 for a wide one."""
    titles = bytearray(b' ' * layout.written_width)
    for f in layout.fields:
        title = rng.choice(TITLES)[:f.width]
        titles[f.start + f.width - len(title):f.start + f.width] = title
    rule = b' ' + b' '.join(b'_' * f.width for f in layout.fields)
    lines = [b'*' + bytes(titles[1:]) + b' ' * rng.choice([0, 0, 3, 40]), b'*' + rule[1:]]
    return lines[:rng.randint(1, 2)]


class DeclaredLayout:
    """Input 1's FORMAT list, the layout its data lines are laid out in, and
    the lists other inputs may declare instead."""

    def __init__(self, rng):
        self.rng = rng
        r = rng.random()
        if r < 0.4:
            text = rng.choice(WORLD_LISTS)
            self.pieces = list(pieces_of(list_of_text(text)))
            text = dress(rng, text) if rng.random() < 0.6 else None
        elif r < 0.5:
            text, self.pieces = None, list(pieces_of(model.STANDARD_LAYOUT))
        else:
            text, self.pieces = None, random_pieces(rng)
        intended = layout_of(self.pieces)
        if text is None:
            text = list_text(rng, self.pieces)
            # the model must find in the list the layout it was made from
            made = intended if intended.width <= model.MAX_LAYOUT_WIDTH else model.TOO_WIDE
            assert list_of_text(text) == made, (text, made)
        if rng.random() < 0.15:
            text = bad_list(rng, text, intended.width)
        if rng.random() < 0.04:
            text = rng.choice(REFUSED_LISTS)
        self.header = format_header(rng, text)
        declared = model.format_line_layout(self.header) if model.is_format_line(self.header[:120]) else None
        if isinstance(declared, model.Layout) and not model.not_mergeable(declared):
            self.layout = declared
        elif not model.not_mergeable(intended) and rng.random() < 0.3:
            self.layout = intended  # laid out as meant, though the list says otherwise
        else:
            self.layout = model.STANDARD_LAYOUT
        self.width = max(model.LINE_WIDTH, self.layout.written_width)
        # the columns data lines are filled to: up to a colon, mostly one
        # before the last field, so that the cut drops fields
        colons = self.layout.colons
        cutting = [c for c in colons if c < self.layout.written_width]
        self.fill = rng.choice(cutting if cutting and rng.random() < 0.85 else colons) \
            if colons and rng.random() < 0.85 else None

    def other_header(self):
        """Another input's FORMAT line: the same layout written otherwise, another, or an unreadable one."""
        rng = self.rng
        r = rng.random()
        if r < 0.4:
            return format_header(rng, list_text(rng, self.pieces))
        if r < 0.6:
            return format_header(rng, dress(rng, rng.choice(WORLD_LISTS)))
        if r < 0.8:
            return format_header(rng, list_text(rng, random_pieces(rng)))
        return format_header(rng, bad_list(rng, list_text(rng, self.pieces), self.layout.width))

    def headers_of_other_input(self, headers, k):
        """Input 1's header lines as another input has them: k is the FORMAT line's index."""
        rng = self.rng
        headers = list(headers)
        r = rng.random()
        if r < 0.6:
            pass
        elif r < 0.75:
            headers[k] = self.other_header()
        elif r < 0.82 and len(headers) > 1:
            # the FORMAT line at another header position, maybe before input 1's
            headers.insert(rng.randrange(len(headers)), headers.pop(k))
        elif r < 0.94 and len(headers) > 1:
            # a FORMAT line at another header position too
            j = rng.choice([j for j in range(len(headers)) if j != k])
            headers[j] = self.other_header()
            if rng.random() < 0.5:
                headers[k] = self.other_header()
        else:
            headers[k] = random_header(rng)
        return headers


def exponent_tie_number(rng, digits):
    """A float whose exact decimal has d + 1 significant digits, the last a 5: a tie for Ew.d."""
    for _ in range(20):
        k = rng.randint(0, 12)
        low = -(-10 ** digits // 5 ** k)
        high = min((10 ** (digits + 1) - 1) // 5 ** k, 2 ** 24 - 1)
        if low > high:
            continue
        m = rng.randint(low, high)
        m = m - m % 10 + 5 if k == 0 else m | 1
        if low <= m <= high:
            return rng.random() < 0.3, m * 5 ** k, k
    return False, 125, 1


def declared_number(rng, piece):
    """A number for a real field, often one that writing it tests: ties, carries, extremes."""
    kind, width, digits = piece
    r = rng.random()
    if r < 0.2 and kind == 'E':
        return exponent_tie_number(rng, digits)
    if r < 0.3 and kind == 'E':
        # d + 1 significant digits, the last a 5: a tie of the decimal, seldom of its float
        return rng.random() < 0.3, rng.randint(10 ** (digits - 1), 10 ** digits - 1) * 10 + 5, rng.randint(0, digits + 8)
    if r < 0.4:
        # just below a power of ten: the rounding carries into one more digit
        p = rng.randint(-6, 8)
        extra = rng.choice([1, 2, 3])
        return rng.random() < 0.3, 10 ** (digits + extra) - rng.randint(1, 6), digits + extra - p
    if r < 0.5 and digits < 12:
        # a tie at d decimals, exact in single precision
        k = digits + 1
        return rng.random() < 0.3, (2 * rng.randint(0, 2 ** min(20, k + 8)) + 1) * 5 ** k, k
    if r < 0.6:
        # a tie at d decimals of the decimal: 1.015 in F8.2
        return rng.random() < 0.3, rng.randint(0, 10 ** max(1, width - digits - 3)) * 10 + 5, digits + 1
    return random_number(rng)


def fortran_exponent_text(negative, n, s):
    """The number as a Fortran E field writes it: 0.295718E-05."""
    digits = str(n)
    exponent = len(digits) - s if n else 0
    return '%s0.%sE%s%02d' % ('-' if negative else '', digits.rstrip('0') or '0', '-' if exponent < 0 else '+',
                               abs(exponent))


def declared_real_text(rng, number, piece):
    kind, width, digits = piece
    texts = [t for t in number_texts(rng, number, digits) if len(t) <= width]
    fortran = fortran_exponent_text(*number)
    if len(fortran) <= width and (kind == 'E' or rng.random() < 0.2):
        texts += [fortran, fortran]
    if not texts:
        return place(rng, '0', width)
    return place(rng, sprinkle_blanks(rng, rng.choice(texts), width), width)


def integer_text(rng, width):
    r = rng.random()
    if r < 0.5:
        text = str(rng.randint(0, 10 ** min(width, 9) - 1))
    elif r < 0.65:
        text = '-' + str(rng.randint(0, 10 ** min(width - 1, 9) - 1))
    elif r < 0.75:
        text = rng.choice(['0', '', '00000000', '+7', '-0', '1 2', ' - 4', '- 0 0 1'])
    else:
        text = str(rng.choice([2**31 - 1, -2**31, 99999999, 88030224, 12345, 1]))
    if text.isdigit() and rng.random() < 0.2:
        text = text.rjust(width, '0')
    if len(text) > width:
        text = text[-width:].lstrip('-') or '0'
    return place(rng, sprinkle_blanks(rng, text, width), width)


def invalid_integer_text(rng, width):
    text = rng.choice(['1.5', '4x', '+', '-', '1e2', '1\t2', '\x0b1', '2147483648', '-2147483649', '99999999999'])
    return place(rng, text[:width], width)


def declared_line(rng, layout, receptor, invalid=False, special=False, fill=None):
    """A data line laid out in the layout, with the usual ways of being ragged;
    with `fill`, blank from that column on."""
    pieces = [p for p in pieces_of(layout) if p != COLON]
    reals = [i for i, p in enumerate(pieces) if p[0] in 'FE']
    bad = rng.choice([i for i, p in enumerate(pieces) if p[0] in 'FEI']) if invalid else None
    odd = rng.choice(reals[2:]) if special and reals[2:] else None
    texts = []
    for i, piece in enumerate(pieces):
        kind, width = piece[0], piece[1]
        if kind == 'X':
            text = ' ' * width if rng.random() < 0.95 else random_text(rng, width).decode('latin-1')
        elif i == bad:
            text = invalid_field_text(rng, width) if kind != 'I' else invalid_integer_text(rng, width)
        elif i == odd and [t for t in SPECIAL_TEXTS if len(t) <= width]:
            text = rng.choice([t for t in SPECIAL_TEXTS if len(t) <= width]).decode().rjust(width)
        elif kind in 'FE' and i in reals[:2]:
            text = receptor_text(rng, receptor, reals.index(i), piece)
        elif kind in 'FE' and rng.random() < 0.03:
            text = ' ' * width
        elif kind in 'FE':
            text = declared_real_text(rng, declared_number(rng, piece), piece)
        elif kind == 'I':
            text = integer_text(rng, width)
        elif width in (5, 8) and rng.random() < 0.5:
            text = place(rng, rng.choice(RANKED_WORDS).decode()[:width], width)
        else:
            text = random_text(rng, width).decode('latin-1')
        texts.append(text.encode('latin-1'))
    if rng.random() < 0.1:
        texts = texts[:rng.randint(1, len(texts))]
    line = b''.join(texts)
    if fill is not None:
        line = line[:fill] + b' ' * rng.choice([0, 0, 1, max(0, layout.written_width - fill)])
        if rng.random() < 0.05:
            line = line.ljust(fill + rng.choice([0, 1, 5, 40])) + rng.choice([b'x', b'\t', b'end of run 3'])
    return ragged_end(rng, line, layout)


def receptor_text(rng, receptor, which, piece):
    number = receptor.y if which else receptor.x
    if receptor.nan and which == 0:
        return rng.choice(['NaN', 'nan', ' N a N', '-NaN']).rjust(piece[1])
    if number[1] == 0:
        number = (rng.random() < 0.5, 0, number[2])  # 0 and -0 are the same receptor
    return declared_real_text(rng, number, piece)


def ragged_end(rng, line, layout):
    """The line rstripped, with junk past its fields, long, or with a CR near
    the edge of the columns read or past column 120 within them."""
    width = max(model.LINE_WIDTH, layout.written_width)
    if rng.random() < 0.1:
        line = line.rstrip(b' ')
    r = rng.random()
    if r < 0.1 and len(line) >= layout.written_width:
        line += random_text(rng, rng.randint(0, max(0, width - len(line)) + 13)).replace(b'\r', b' ')
    elif r < 0.15:
        line = line.ljust(width)[:width] + random_text(rng, rng.randint(1, 200))
        line += b'\r' if rng.random() < 0.3 else b''
    elif r < 0.2:
        cut = rng.choice([width - 2, width - 1, width, width + 1, rng.randint(model.LINE_WIDTH, width)])
        line = line.ljust(width)[:cut] + b'\r' + rng.choice([b'', b'  ', b'x', b'*', b'\r'])
    return line


# ---------------------------------------------------------------------------
# Answers

def answer_line_end(rng):
    return b'\r\n' if rng.random() < 0.15 else b'\n'


def blank_lines(rng):
    if rng.random() < 0.005:
        return (rng.choice([b'', b' ', b'\t']) + answer_line_end(rng)) * rng.randint(1000, 20000)
    if rng.random() < 0.85:
        return b''
    return b''.join(rng.choice([b'', b'  ', b'\t', b' \t ', b'\r', b' \r ']) + answer_line_end(rng)
                    for _ in range(rng.randint(1, 2)))


def value_answer(rng, text):
    """One count, factor or word answer line, with what may surround the value."""
    lead = rng.choice([b'', b'', b'', b' ', b'  ', b'\t', b'\r', b' \r\t'])
    r = rng.random()
    if r < 0.7:
        trail = b''
    elif r < 0.8:
        trail = b' ' + random_text(rng, rng.randint(0, 8), b'abc 123.,/').replace(b'\r', b'')
    elif r < 0.85:
        trail = rng.choice([b',', b'/', b',x', b'/ 9', b'\t7'])
    elif r < 0.9:
        trail = b'\r' + random_text(rng, rng.randint(0, 5), b'abc 123')
    else:
        trail = b'   '
    return blank_lines(rng) + lead + text + trail + answer_line_end(rng)


def count_answer(rng):
    r = rng.random()
    if r < 0.93:
        count = rng.choice([1, 2, 2, 3, 3, 4, 4])
        text = rng.choice([b'%d', b'%d', b'+%d', b'0%d']) % count
    else:
        count = None
        text = rng.choice([b'0', b'5', b'-1', b',', b'/', b'x', b'99999999999', b'2.0', b'-2147483648',
                           b'2147483647', b'2147483648', b'-2147483649', b'+', b'-0', b'+0', b'0000000000000000003'])
        if text == b'0000000000000000003':
            count = 3
    return count, value_answer(rng, text)


def float32_tie_number(rng):
    """A decimal on, or a hair beside, the midpoint of two neighbouring floats."""
    exponent = rng.randint(-30, 30)
    mantissa = rng.randint(2**23, 2**24 - 1)
    midpoint = Fraction(2 * mantissa + 1, 2) * Fraction(2) ** exponent
    # an exact decimal: the denominator is a power of two
    s = 0
    while (midpoint * 10 ** s).denominator != 1:
        s += 1
    n = int(midpoint * 10 ** s)
    nudge = rng.choice([0, 0, 1, -1])
    if nudge:
        n, s = n * 10**3 + nudge, s + 3
    return rng.random() < 0.2, n, s


FACTOR_NUMBERS = [(False, 1, 0), (False, 5, 1), (False, 2, 0), (True, 1, 0), (False, 25, 2),
                  (False, 3, 0), (False, 1, 1), (False, 15, 1), (True, 25, 1), (False, 1, 3),
                  (False, 0, 0), (True, 0, 0), (False, 333333, 6), (False, 125, 3), (False, 7, 0)]


def factor_answer(rng, allow_specials):
    r = rng.random()
    if r < 0.75:
        number = rng.choice(FACTOR_NUMBERS) if rng.random() < 0.7 else random_number(rng)
        text = rng.choice(number_texts(rng, number, None)).encode()
    elif r < 0.88:
        text = rng.choice(number_texts(rng, float32_tie_number(rng), None)).encode()
    elif r < 0.95:
        text = rng.choice([b',', b'/', b'0,5', b'1.0 2.0', b'1e-45', b'7.1e-46', b'3.4028235e38',
                           b'0' * 3000 + b'1.5', b'1.' + b'0' * 3000 + b'1', b'1.5d-0000000000000000001',
                           b'1' + b'0' * 400 + b'E-400', b'0.' + b'0' * 400 + b'15E401', b'1e-99999999999'])
    elif r < 0.975 or not allow_specials:
        text = rng.choice([b'abc', b'2*1.0', b'1..2', b'.', b'-', b'1;2', b'1Q0', b'1E', b'+E1'])
    else:
        text = rng.choice([b'Inf', b'-infinity', b'NaN', b'1e39', b'1E-50', b'-3.40282357E38'])
    return value_answer(rng, text)


MODE_WORDS = [b"''A'", b"''", b"'", b'""A"', b"'Average", b'"S', b'A', b'A', b'a', b'Average', b'average', b"'a", b'S', b'Sum', b's', b'x',
              b"'A b'", b'"Average, all"', b'A,S', b'A/S', b',', b'/', b'"S"', b"'S/A'"]
RISK_WORDS = [b"''Y'", b'""', b'"', b'""Y"', b"'Yes", b'"N', b'Y', b'Y', b'y', b'Yes', b'N', b'N', b'no', b'n', b"'Y es'", b'"yes"',
              b',', b'Y/N', b'Y,N', b'"Y"']


def word_answer(rng, words):
    return value_answer(rng, rng.choice(words))


NAME_POOL = [b'a.plt', b'b.plt', b'c.plt', b'd.plt', b'RUN1.PLT', b'run 2.plt', b' lead.plt',
             b',comma.plt', b'\xe9t\xe9.plt', b'e.plt', b'x' * 118 + b'.p', b'y' * 110]
# names no file of a case has: mistyped ones, and one of 120 bytes
MISSING_NAMES = [b'missing.plt', b'rnu1.plt', b'a.plt.plt', b'B.PLT', b'w' * 120]


@dataclass
class Case:
    answers: bytes
    files: dict                                # name -> bytes, made before the run
    links: dict = field(default_factory=dict)  # hard link name -> name in files


class CaseBuilder:
    def __init__(self, rng, options):
        self.rng = rng
        self.options = options

    def declared_case(self):
        """Whether the case's inputs declare their layout in a FORMAT line."""
        if self.options.layouts == 'mixed':
            return self.rng.random() < 1 / 3
        return self.options.layouts == 'only'

    def build(self):
        if self.options.arithmetic:
            return self.build_arithmetic()
        rng = self.rng
        files = {}
        plots = PlotSet(rng, self.declared_case())
        count, answers = count_answer(rng)
        slots = count or 0
        existing = rng.sample(NAME_POOL, k=min(len(NAME_POOL), slots + rng.randint(0, 2)))
        for k, name in enumerate(existing):
            files[name] = plots.file_bytes(first=k == 0)
        if slots:
            names = [self.name_for_slot(i, existing) for i in range(slots)]
            answers += b''.join(self.name_line(name) for name in names)
            for _ in range(slots):
                answers += factor_answer(rng, self.options.specials)
        answers += word_answer(rng, MODE_WORDS)
        answers += word_answer(rng, RISK_WORDS)
        for name in OUTPUT_NAMES:
            if rng.random() < 0.3:
                old = [random_header(rng) for _ in range(rng.randint(0, 6))]
                files[name] = b'\n'.join(old) + b'\n'
        answers = self.maybe_cut(answers)
        if rng.random() < 0.2 and answers.endswith(b'\n'):
            answers = answers[:-1]
            if answers.endswith(b'\r'):
                answers = answers[:-1]
        return Case(answers, files, self.links(files, existing))

    def links(self, files, existing):
        """Now and then a second name for an input, maybe one an output would take."""
        rng = self.rng
        if not existing or rng.random() > 0.1:
            return {}
        name = rng.choice([b'link.plt', b'link.plt', b'RISK.PLT', b'AVG_CONC.PLT', b'SUM_CONC.PLT'])
        files.pop(name, None)
        return {name: rng.choice(existing)}

    def build_arithmetic(self):
        """A plain dialogue over long, valid inputs: many values, factors and sums."""
        rng = self.rng
        count = rng.randint(1, 4)
        size = rng.randint(200, 2000)
        receptors = [Receptor(rng) for _ in range(size)]
        names = NAME_POOL[:count]
        layout = None
        if self.declared_case():
            text = rng.choice(WORLD_LISTS[1:])
            layout = list_of_text(text)
        files = {}
        for name in names:
            if layout:
                lines = [b'*         FORMAT: ' + text.encode()]
                lines += [declared_line(rng, layout, receptor) for receptor in receptors]
                files[name] = join_lines(rng, lines, max(model.LINE_WIDTH, layout.written_width))
                continue
            lines = [DataLine(rng, receptor).layout() for receptor in receptors]
            if rng.random() < 0.05:
                lines = [special_value_line(rng, line) if rng.random() < 0.01 else line for line in lines]
            files[name] = join_lines(rng, lines)
        answers = b'%d\n' % count + b''.join(name + b'\n' for name in names)
        for _ in names:
            r = rng.random()
            if r < 0.4:
                number = float32_tie_number(rng)
            elif r < 0.7:
                number = random_number(rng)
            else:
                number = rng.choice(FACTOR_NUMBERS)
            answers += rng.choice(number_texts(rng, number, None)).encode() + b'\n'
        answers += rng.choice([b'A\n', b'S\n']) + b'Y\n'
        return Case(answers, files)

    def name_for_slot(self, i, existing):
        rng = self.rng
        r = rng.random()
        if r < 0.03:
            return b'link.plt'
        if r < 0.06:
            return rng.choice(MISSING_NAMES)
        if r < 0.9 and i < len(existing):
            return existing[i]
        if r < 0.93 and existing:
            return rng.choice(existing)
        if existing and rng.random() < 0.3:
            return b'./' + rng.choice(existing)
        return rng.choice([b'nodir/x.plt', b'', b'   ', b'a.plt\t', b'a\x00.plt',
                           b'./RISK.PLT', b'AVG_CONC.PLT', b'SUM_CONC.PLT',
                           b'RISK.PLT', b'.', b'w' * 121, rng.choice(NAME_POOL)])

    def name_line(self, name):
        rng = self.rng
        text = name + b' ' * rng.choice([0, 0, 0, 1, 3])
        r = rng.random()
        if len(name) > 100 and r < 0.4:
            text = name + b' ' * rng.choice([11, 200])  # blanks past byte 120, which a name drops
        elif len(name) > 100 and r < 0.48:
            # more than 120 bytes, blanks aside, which stops the run
            text = name.ljust(120) + rng.choice([b'x', b'\t', b'tail beyond 120' * 1000]) + b' ' * rng.choice([0, 3])
        r = rng.random()
        if r < 0.8:
            end = b'\n'
        elif r < 0.95:
            end = b'\r\n'
        else:
            end = b'\r'
        return text + end

    def maybe_cut(self, answers):
        rng = self.rng
        if rng.random() < 0.04:
            return answers[:rng.randint(0, len(answers))]
        return answers


# ---------------------------------------------------------------------------
# Running one case

def make_folder(folder, case):
    folder = os.fsencode(folder)
    for name, data in case.files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)
    for name, target in case.links.items():
        os.link(os.path.join(folder, target), os.path.join(folder, name))


def run_program(binary, case, folder, answers_from_file):
    """Runs the tool in the folder, the answers coming through a pipe or from a file."""
    work = os.path.join(folder, 'work')
    os.mkdir(work)
    make_folder(work, case)
    if answers_from_file:
        answers_path = os.path.join(folder, 'answers')
        with open(answers_path, 'wb') as f:
            f.write(case.answers)
        with open(answers_path, 'rb') as answers:
            proc = subprocess.run([binary], stdin=answers, cwd=work, capture_output=True, timeout=30)
    else:
        proc = subprocess.run([binary], input=case.answers, cwd=work, capture_output=True, timeout=30)
    folder = work
    left = {}
    for name in os.listdir(os.fsencode(folder)):
        path = os.path.join(os.fsencode(folder), name)
        with open(path, 'rb') as f:
            left[name] = f.read()
    return proc.stdout, proc.returncode, proc.stderr, left


# ---------------------------------------------------------------------------
# Standard error: the warnings, then a failure's diagnostic
#
# A warning line's kind is told by a fragment of its text; its facts are
# what the line names, in the order it names them: decimal integers
# standing alone, quoted names and receptors '(x, y)'. The sentences
# themselves are the tool's to word (its end-to-end cases check them).

WARNING_PREFIX = b'plotmerge: warning: '
WARNING_FRAGMENTS = {
    'created': b'did not exist',
    'lower-case mode': b'selects the sum',
    'lower-case risk': b'asks for no RISK.PLT',
    'blank data lines': b'nothing but blanks',
    'lone CR': b'no LF follows',
    'values written as zero': b'written as zero',
    'values written as asterisks': b'written as asterisks',
    'text past the colon': b'where a colon',
    'header lines among the data': b'after its first data line',
    'receptors': b'receptors differ',
    'lines left': b'still had lines',
    'no data line': b'no data line was written',
}
FACT = re.compile(rb"(?<!\w)'(?P<name>[^']*)'|\((?P<x>[^,()']*), (?P<y>[^,()']*)\)|(?<![\w.])(?P<int>\d+)(?![\w.])")


def unescaped(name):
    """A name as the tool quotes it, its bytes that are not printable written \\xNN."""
    return re.sub(rb'\\x([0-9A-Fa-f]{2})', lambda m: bytes([int(m[1], 16)]), name)


def read_warning(text):
    """The model.RunWarning that a warning line's text (after the prefix) states."""
    kinds = [kind for kind, fragment in WARNING_FRAGMENTS.items() if fragment in text]
    if len(kinds) != 1:
        return model.RunWarning('unknown', (text,))
    facts = []
    for m in FACT.finditer(text):
        if m['name'] is not None:
            facts.append(unescaped(m['name']))
        elif m['x'] is not None:
            facts.append((m['x'].decode('latin-1'), m['y'].decode('latin-1')))
        else:
            facts.append(int(m['int']))
    return model.RunWarning(kinds[0], tuple(facts))


def read_standard_error(stderr, status):
    """The warnings on standard error, and what is wrong with its lines besides.

    Every line is a warning; after a failure (status 2) the last one is its
    diagnostic instead.
    """
    problems = []
    lines = stderr.split(b'\n')
    if lines[-1]:
        problems.append(('standard error', 'lines ended by LF', stderr))
    lines = lines[:-1]
    if status == 2:
        if not lines or lines[-1].startswith(WARNING_PREFIX) or not lines[-1].startswith(b'plotmerge: '):
            problems.append(('diagnostic', 'a last line of standard error', stderr))
        else:
            lines = lines[:-1]
    warnings = []
    for line in lines:
        if line.startswith(WARNING_PREFIX):
            warnings.append(read_warning(line[len(WARNING_PREFIX):]))
        else:
            problems.append(('standard error', 'warning lines only', line))
    return warnings, problems


def compare(expected, actual):
    """Lists the differences between the model's outcome and the program's."""
    stdout, status, stderr, files = actual
    problems = []
    if expected.stdout != stdout:
        problems.append(('standard output', expected.stdout, stdout))
    if expected.status != status:
        problems.append(('exit status', expected.status, status))
    warnings, stderr_problems = read_standard_error(stderr, status)
    problems += stderr_problems
    if warnings != expected.warnings:
        problems.append(('warnings', expected.warnings, warnings))
    for name in sorted(set(expected.files) | set(files)):
        want, got = expected.files.get(name), files.get(name)
        if want != got:
            problems.append(('file %r' % name, want, got))
    return problems


def shorten(text, limit=300):
    shown = repr(text)
    return shown if len(shown) <= limit else shown[:limit] + '...'


def first_differing_line(want, got):
    if want is None or got is None:
        return 'expected %r, actual %r' % (want, got)
    a, b = want.split(b'\n'), got.split(b'\n')
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return 'line %d:\n    expected %s\n    actual   %s' % (i + 1, shorten(x), shorten(y))
    return 'expected %d lines, actual %d' % (len(a), len(b))


def describe(problems):
    out = []
    for what, want, got in problems:
        if what == 'warnings':
            out.append('  warnings differ:\n    expected%s\n    actual%s' % (
                warnings_text(want, '\n      ') or ' none', warnings_text(got, '\n      ') or ' none'))
        elif isinstance(want, bytes) and isinstance(got, bytes) or what.startswith('file'):
            out.append('  %s differs: %s' % (what, first_differing_line(want, got)))
        else:
            out.append('  %s: expected %s, actual %r' % (what, want, got))
    return '\n'.join(out)


def warnings_text(warnings, before):
    return ''.join(before + str(w) for w in warnings)


def write_files(folder, files):
    os.makedirs(folder)
    for name, data in files.items():
        with open(os.path.join(os.fsencode(folder), name), 'wb') as f:
            f.write(data)


def keep_failure(directory, label, case, expected, actual, problems):
    """A folder laid out like an end-to-end case, with the program's outcome beside it."""
    case_dir = os.path.join(directory, label)
    shutil.rmtree(case_dir, ignore_errors=True)
    os.makedirs(case_dir)
    with open(os.path.join(case_dir, 'answers'), 'wb') as f:
        f.write(case.answers)
    write_files(os.path.join(case_dir, 'in'), case.files)
    if case.links:
        with open(os.path.join(case_dir, 'setup'), 'wb') as f:
            for name, target in case.links.items():
                f.write(b"ln -- '%s' '%s'\n" % (target, name))
    write_files(os.path.join(case_dir, 'expected'), expected.files)
    with open(os.path.join(case_dir, 'stdout'), 'wb') as f:
        f.write(expected.stdout)
    if expected.status:
        with open(os.path.join(case_dir, 'status'), 'w') as f:
            f.write('%d\n' % expected.status)
    stdout, status, stderr, left = actual
    write_files(os.path.join(case_dir, 'actual'), left)
    with open(os.path.join(case_dir, 'actual_stdout'), 'wb') as f:
        f.write(stdout)
    with open(os.path.join(case_dir, 'actual_stderr'), 'wb') as f:
        f.write(stderr)
    with open(os.path.join(case_dir, 'warnings'), 'w') as f:
        f.write('# the warnings expected on standard error, in order: kind, then the counts, lines and\n'
                '# files its text names%s\n' % (', then a diagnostic' if expected.status == 2 else ''))
        f.write(warnings_text(expected.warnings, '\n').lstrip('\n') + '\n' if expected.warnings else '')
    with open(os.path.join(case_dir, 'outcome'), 'w') as f:
        f.write('expected status %d, warnings:%s\n' % (expected.status, warnings_text(expected.warnings, '\n  ') or ' none'))
        f.write('actual status %d, standard error %r\n' % (status, stderr))
        f.write(describe(problems) + '\n')
    return case_dir


def make_case(rng, options):
    """A case whose outcome the rules settle, with the number of cases passed over."""
    passed_over = 0
    while True:
        case = CaseBuilder(rng, options).build()
        try:
            expected = model.run_model(case.answers, case.files, case.links)
        except model.Unsettled:
            passed_over += 1
            continue
        return case, expected, passed_over


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--binary', required=True, help='the plotmerge to test')
    parser.add_argument('--cases', type=int, default=200)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--keep-failures', metavar='DIR', help='folder for the reproductions of mismatches')
    parser.add_argument('--no-specials', dest='specials', action='store_false',
                        help='no infinity or not-a-number factors')
    parser.add_argument('--arithmetic', action='store_true',
                        help='only plain dialogues over long valid inputs, to weigh on the arithmetic')
    parser.add_argument('--layouts', choices=['mixed', 'only', 'never'], default='mixed',
                        help='cases whose inputs declare their layout in a FORMAT line: '
                             'a third of them (mixed), all, or none')
    parser.add_argument('--show', type=int, default=10, help='mismatches to print in full')
    options = parser.parse_args()

    binary = os.path.abspath(options.binary)
    rng = random.Random(options.seed)
    failures = passed_over = 0
    drawn = dict.fromkeys(model.WARNING_KINDS, 0)  # cases expecting each warning
    started = time.time()
    for index in range(options.cases):
        case, expected, skipped = make_case(rng, options)
        passed_over += skipped
        for w in expected.warnings:
            drawn[w.kind] += 1
        with tempfile.TemporaryDirectory(prefix='plotmerge-random-') as folder:
            actual = run_program(binary, case, folder, answers_from_file=index % 2 == 1)
        problems = compare(expected, actual)
        if problems:
            failures += 1
            label = 'seed%d-case%d' % (options.seed, index)
            if failures <= options.show:
                print('MISMATCH %s' % label)
                print('  answers: %r' % case.answers)
                print(describe(problems))
            if options.keep_failures:
                where = keep_failure(options.keep_failures, label, case, expected, actual, problems)
                if failures <= options.show:
                    print('  kept in %s' % where)
    print('warnings expected: ' + ', '.join('%s %d' % item for item in drawn.items()))
    print('%d cases, seed %d: %d mismatches (%d unsettled cases passed over), %.1f s'
          % (options.cases, options.seed, failures, passed_over, time.time() - started))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
