"""A slow, exact reference model of one plotmerge run.

run_model(answers, files, links) plays a whole run: the dialogue read from
the answer bytes, the files of the working folder given as a dict of name
bytes to content bytes (and, optionally, hard links as further names of
them), the merge, and the files left behind. It returns a
ModelResult with what standard output receives, the exit status, the final
folder contents, whether standard error receives anything, and the
warnings written at the end of the run, in their order: each with the
counts, lines, files and receptors its text names, in the order it names
them.

Value fields and factors are single-precision values held in Python
floats: every decimal text is rounded once, exactly, from its rational
value, and every arithmetic step is one binary64 operation on two binary32
values rounded to binary32, which is correctly rounded for +, -, * and /.
They are written from the exact rational value of the float. Every other
real field (x, y, the elevations, ...) is carried as the exact decimal of
its text and written from it.

Data lines have the standard layout of ten fields unless input 1 declares
another in a FORMAT header line before its first data line: a list of edit
descriptors (nX, Fw.d, Ew.d, Aw, Iw, Iw.m, ':', repeat counts, groups)
giving the kind, columns and width of every field and the columns of the
colons. A list that cannot be read or merged by stops the run there, and
so does another input's FORMAT line that does not declare input 1's
layout. The first two fields are the receptor, and every real field of 13
columns or more after them is combined on its own. The layout is cut at
the first colon after which input 1's first data line is blank. The
position of input 1's first FORMAT line is read up to 1024 columns; from it
on (unless it declares the standard layout), header lines are read and
written up to 1024 columns and data lines are read at max(120, W) columns.
A standard run writes every header line as 120 columns, that FORMAT line
too.

A name answer is its whole line less trailing blanks, never cut: one of
more than 120 bytes stops the run when that input is to be opened.

Inputs whose behaviour the tool's rules leave to the implementer, and that
its documentation does not settle, raise Unsettled: a driver should not
generate them, and skips a case that hits one.
"""

import math
import re
import struct
from dataclasses import dataclass, field
from fractions import Fraction

LINE_WIDTH = 120
MAX_NAME_LENGTH = 120
MAX_INPUTS = 4
RISK_FACTOR = 744.0
BLANK = 0x20
TAB = 0x09
CR = 0x0D
LF = 0x0A


class Unsettled(Exception):
    """An input whose outcome the rules leave open."""


class RunFailure(Exception):
    """The run stops with status 2 and a diagnostic."""


class FieldNotANumber(RunFailure):
    pass


# ---------------------------------------------------------------------------
# Single precision

FLOAT_MAX_EXPONENT = 127
FLOAT_MIN_EXPONENT = -126
FLOAT_MANTISSA_BITS = 24


def to_float32(x):
    """Rounds a binary64 value to the nearest binary32, overflow to infinity."""
    if math.isnan(x) or math.isinf(x):
        return x
    try:
        return struct.unpack('<f', struct.pack('<f', x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


def f32_mul(a, b):
    return to_float32(a * b)


def f32_add(a, b):
    return to_float32(a + b)


def f32_div(a, b):
    return to_float32(a / b)


def float32_from_fraction(q, negative):
    """The binary32 nearest to the exact rational |q|, with the given sign.

    Ties go to the even significand; tiny values become subnormals or zero,
    huge ones infinity.
    """
    q = abs(q)
    sign = -1.0 if negative else 1.0
    if q == 0:
        return math.copysign(0.0, sign)
    # exponent e with 2^e <= q < 2^(e+1)
    e = q.numerator.bit_length() - q.denominator.bit_length()
    if Fraction(2) ** e > q:
        e -= 1
    if e > FLOAT_MAX_EXPONENT + 1:
        return sign * math.inf
    e = max(e, FLOAT_MIN_EXPONENT)
    shift = FLOAT_MANTISSA_BITS - 1 - e
    scaled = q * (Fraction(2) ** shift)
    m = round_half_even(scaled)
    if m == 0:
        return math.copysign(0.0, sign)
    value = Fraction(m) / (Fraction(2) ** shift)
    if value >= Fraction(2) ** (FLOAT_MAX_EXPONENT + 1):
        return sign * math.inf
    return sign * math.ldexp(float(m), -shift)


def round_half_even(q):
    """Nearest integer to the non-negative rational q, ties to even."""
    whole, rest = divmod(q.numerator, q.denominator)
    twice = 2 * rest
    if twice > q.denominator or (twice == q.denominator and whole % 2 == 1):
        whole += 1
    return whole


@dataclass(frozen=True)
class Exact:
    """The decimal (-1)^negative * n * 10^e, exactly; n >= 0, so -0 is kept."""
    negative: bool
    n: int
    e: int

    def same_value(self, other):
        """Equal as numbers: 0 and -0 alike, trailing zeros alike."""
        return normal(self) == normal(other)


def normal(x):
    if x.n == 0:
        return 0
    n, e = x.n, x.e
    while n % 10 == 0:
        n, e = n // 10, e + 1
    return x.negative, n, e


def exact_of_float(x):
    """The exact decimal of a finite float."""
    q = abs(Fraction(x))
    k = q.denominator.bit_length() - 1  # the denominator is 2^k
    return Exact(math.copysign(1.0, x) < 0, q.numerator * 5 ** k, -k)


def float32_of(x):
    """The binary32 nearest to a decimal; Inf and NaN stay as they are."""
    if isinstance(x, float):
        return x
    sign = -1.0 if x.negative else 1.0
    if x.n == 0:
        return math.copysign(0.0, sign)
    # Keep huge exponents out of exact arithmetic: far beyond the range the
    # result is an infinity or a zero whatever the digits.
    magnitude = len(str(x.n)) + x.e
    if magnitude > 60:
        return sign * math.inf
    if magnitude < -80:
        return math.copysign(0.0, sign)
    return float32_from_fraction(Fraction(x.n) * Fraction(10) ** x.e, x.negative)


# ---------------------------------------------------------------------------
# Number texts shared by factor answers and real fields

NUMBER_TEXT = re.compile(
    rb'^(?P<sign>[+-]?)(?P<int>[0-9]*)(?P<point>\.?)(?P<frac>[0-9]*)'
    rb'(?:(?:[EeDd](?P<esign1>[+-]?)(?P<exp1>[0-9]+))|(?:(?P<esign2>[+-])(?P<exp2>[0-9]+)))?$')
SPECIAL_TEXT = re.compile(rb'^([+-]?)(inf|infinity|nan)$', re.IGNORECASE)


def parse_number_text(text, implied_decimals):
    """A real text (blanks already removed) as an Exact, or a float for Inf,
    Infinity and NaN; None when it is not a number of the required form.

    implied_decimals is None for a factor answer.
    """
    special = SPECIAL_TEXT.match(text)
    if special:
        if special.group(2).lower() == b'nan':
            return math.nan
        return -math.inf if special.group(1) == b'-' else math.inf
    m = NUMBER_TEXT.match(text)
    if not m or not (m.group('int') or m.group('frac')):
        return None
    digits = (m.group('int') + m.group('frac')).lstrip(b'0')
    if m.group('exp1') is not None:
        exponent = int(m.group('exp1')) * (-1 if m.group('esign1') == b'-' else 1)
    elif m.group('exp2') is not None:
        exponent = int(m.group('exp2')) * (-1 if m.group('esign2') == b'-' else 1)
    else:
        exponent = 0
    if m.group('point'):
        exponent -= len(m.group('frac'))
    elif implied_decimals is not None:
        exponent -= implied_decimals
    return Exact(m.group('sign') == b'-', int(digits or b'0'), exponent)


def read_number_text(text, implied_decimals):
    """A real text (blanks already removed) as binary32, or None."""
    value = parse_number_text(text, implied_decimals)
    return None if value is None else float32_of(value)


# ---------------------------------------------------------------------------
# Answers on standard input

VALUE_END = (BLANK, TAB, ord(','), ord('/'), CR)
# A lone CR (one that no LF follows) acts as a blank in a count, factor or
# word answer, before the value as well as after it.
LEADING_SPACE = (BLANK, TAB, CR)


class Answers:
    """Standard input, read one answer per line."""

    def __init__(self, data):
        self.data = data
        self.pos = 0

    def _take_line(self, lone_cr_ends_line):
        """The next line without its line end, or RunFailure at the end.

        A CR directly before LF is dropped. A lone CR ends a name line (the
        next answer starts after it); for other answers it stays in the line,
        where it acts as a blank, and the line runs on to the LF.
        """
        if self.pos >= len(self.data):
            raise RunFailure('standard input ended before an answer')
        start = self.pos
        i = start
        while i < len(self.data):
            b = self.data[i]
            if b == LF:
                self.pos = i + 1
                return self.data[start:i]
            if b == CR:
                if i + 1 < len(self.data) and self.data[i + 1] == LF:
                    self.pos = i + 2
                    return self.data[start:i]
                if lone_cr_ends_line:
                    self.pos = i + 1
                    return self.data[start:i]
            i += 1
        self.pos = len(self.data)
        return self.data[start:]

    def value_text(self):
        """The value text of a count, factor or word answer, or None when empty.

        Skips lines of blanks, tabs and lone CRs; a comma or slash before any
        value is an empty answer.
        """
        while True:
            line = self._take_line(lone_cr_ends_line=False)
            start = 0
            while start < len(line) and line[start] in LEADING_SPACE:
                start += 1
            if start == len(line):
                continue
            if line[start] in (ord(','), ord('/')):
                return None
            return line[start:]

    def integer(self):
        text = self.value_text()
        if text is None:
            return None
        token = token_of(text)
        if len(token) > 4096:
            raise Unsettled('very long count')
        if not re.match(rb'^[+-]?[0-9]+$', token):
            raise RunFailure('count is not a whole number')
        value = int(token)
        if not -2**31 <= value < 2**31:
            raise RunFailure('count out of range')
        return value

    def real(self, current):
        text = self.value_text()
        if text is None:
            return current
        token = token_of(text)
        if len(token) > 4096:
            raise Unsettled('very long factor')
        value = read_number_text(token, None)
        if value is None:
            raise RunFailure('factor is not a number')
        return value

    def word_first_character(self):
        """The first character of a word answer, or None for an empty one."""
        text = self.value_text()
        if text is None:
            return None
        first = text[0]
        if first in (ord("'"), ord('"')):
            # A quoted word: its first character follows the opening mark.
            # A doubled mark there stands for the mark itself, and a mark
            # closing at once leaves an empty word; neither is "A" or "Y".
            if len(text) < 2:
                return None
            if text[1] == CR:
                raise Unsettled('lone CR inside a quoted word')
            return text[1]
        return first

    def name(self):
        """The whole line, trailing blanks removed: a name is never cut."""
        return self._take_line(lone_cr_ends_line=True).rstrip(b' ')


def token_of(text):
    end = 0
    while end < len(text) and text[end] not in VALUE_END:
        end += 1
    return text[:end]


# ---------------------------------------------------------------------------
# The working folder and plot files

@dataclass
class OpenFile:
    name: bytes
    data: bytes
    pos: int = 0
    written: list = field(default_factory=list)
    lone_cr: bool = False  # the last line read has a CR that no LF follows in its skipped part
    created: bool = False  # no file had its name: it was created empty


class Folder:
    """The working folder: files by name, and the files open in this run.

    links maps further names (hard links) to the name of the file they share.
    """

    def __init__(self, files, links=None):
        self.files = dict(files)
        self.links = dict(links or {})
        self.open_files = []

    def identity(self, name):
        return self.links.get(name, name)

    def open(self, name):
        if len(name) > MAX_NAME_LENGTH:
            raise RunFailure('a name of more than 120 bytes')
        if name == b'':
            raise RunFailure('empty name')
        if name in (b'.', b'..'):
            raise RunFailure('a directory')
        if b'\0' in name:
            raise RunFailure('a name holding a NUL byte')
        name = self.identity(folder_free_name(name))
        if any(f.name == name for f in self.open_files):
            raise RunFailure('same file already open')
        created = name not in self.files
        if created:
            self.files[name] = b''
        opened = OpenFile(name, self.files[name], created=created)
        self.open_files.append(opened)
        return opened

    def close_all(self):
        for f in self.open_files:
            if f.written:
                self.files[f.name] = b''.join(f.written)
        for name, target in self.links.items():
            self.files[name] = self.files[target]


def folder_free_name(name):
    """The name of a file in the working folder, for the few path forms cases use."""
    if name.startswith(b'nodir/'):
        raise RunFailure('missing directory')
    while name.startswith(b'./'):
        name = name[2:]
    if b'/' in name or name in (b'', b'.', b'..'):
        raise Unsettled('name with a folder')
    return name


def next_byte(f):
    """The first byte of an input's next line, or None at its end."""
    return f.data[f.pos] if f.pos < len(f.data) else None


def read_plot_line(f, width=LINE_WIDTH):
    """The next line of an input as `width` columns, or None at its end.

    A CR within the first `width` bytes ends the line (with an LF right
    after it); past them the rest of the line, CRs included, is skipped.
    Notes in f.lone_cr whether that skipped rest holds a CR that no LF
    follows (the file's last byte included).
    """
    data = f.data
    i = f.pos
    if i >= len(data):
        return None
    line = bytearray()
    f.lone_cr = False
    while i < len(data):
        b = data[i]
        if b == LF:
            i += 1
            break
        if b == CR and len(line) < width:
            i += 1
            if i < len(data) and data[i] == LF:
                i += 1
            break
        if len(line) < width:
            line.append(b)
        elif b == CR and data[i + 1:i + 2] != b'\n':
            f.lone_cr = True
        i += 1
    f.pos = i
    return bytes(line).ljust(width, b' ')


def peek_plot_line(f, width):
    """The next line of an input as `width` columns, left to be read."""
    pos, lone_cr = f.pos, f.lone_cr
    line = read_plot_line(f, width)
    f.pos, f.lone_cr = pos, lone_cr
    return line


def write_line(f, text):
    f.written.append(text + b'\n')


# ---------------------------------------------------------------------------
# Data line layouts
#
# A layout lists the fields of a data line, each with its kind, first column
# and width, the columns of the colons in its list, and the columns the
# whole list spans. Input 1 may declare one in a FORMAT header line;
# otherwise data lines have the standard one.

@dataclass(frozen=True)
class Field:
    kind: str        # 'F' or 'E' (real), 'I' (integer) or 'A' (text)
    start: int       # offset of its first column in the line
    width: int
    digits: int = 0  # d of F and E, m of I


@dataclass(frozen=True)
class Layout:
    fields: tuple
    width: int          # the columns of the list, blank ones at its end included
    colons: tuple = ()  # the offset of every colon, in list order

    @property
    def key(self):
        """What makes two lists declare the same layout."""
        return self.fields, self.colons

    @property
    def written_width(self):
        """A data line ends with its last field."""
        return max((f.start + f.width for f in self.fields), default=0)


STANDARD_LAYOUT = Layout((Field('F', 1, 13, 5), Field('F', 15, 13, 5), Field('F', 29, 13, 5),
                          Field('F', 43, 8, 2), Field('F', 52, 8, 2), Field('F', 61, 8, 2),
                          Field('A', 71, 6), Field('A', 79, 8), Field('I', 89, 8, 8), Field('A', 99, 8)), 107)

FORMAT_WORD = b'FORMAT:'
MAX_LAYOUT_WIDTH = 1024
VALUE_FIELD_MIN_WIDTH = 13
UNREADABLE = 'the list does not read'
TOO_WIDE = 'the list is wider than 1024 columns'


def is_real(f):
    return f.kind in 'FE'


def value_fields(layout):
    """Indexes of the real fields of 13 columns or more after the first two fields."""
    return [i for i, f in enumerate(layout.fields) if i >= 2 and is_real(f) and f.width >= VALUE_FIELD_MIN_WIDTH]


def not_mergeable(layout):
    """Why data lines cannot be merged by what a FORMAT line declares, or None."""
    if not isinstance(layout, Layout):
        return layout
    if len(layout.fields) < 2 or not all(map(is_real, layout.fields[:2])):
        return 'x and y are not both reals'
    if not value_fields(layout):
        return 'no value field'
    return None


def is_format_line(line):
    return line[:1] == b'*' and line[1:].lstrip(b' ').startswith(FORMAT_WORD)


def format_line_layout(line):
    """What a FORMAT line, as read, declares: a Layout, UNREADABLE or TOO_WIDE.

    Blanks before, inside and after the list are all ignored; a list cut
    at the end of the line as read does not read.
    """
    text = line[1:].lstrip(b' ')[len(FORMAT_WORD):]
    items = parse_format_list(text.replace(b' ', b'').upper())
    if items is None:
        return UNREADABLE
    fields, colons = [], []
    width = expand_items(items, fields, colons, 0)
    if width is None:
        return TOO_WIDE
    return Layout(tuple(fields), width, tuple(colons))


ITEM = re.compile(rb'([0-9]*)(?:(\()|([A-Z])([0-9]*)(\.[0-9]*)?)')
COLON = (1, (':', 0, 0))


def parse_format_list(text):
    """The items of a whole '(...)' list, or None when it is unreadable.

    An item is (repeat, body): body is a list of items (a group) or a
    descriptor (kind, width, digits); nX is (1, ('X', n, 0)), a colon
    COLON.
    """
    if text[:1] != b'(':
        return None
    parsed = parse_group(text, 0)
    if parsed is None or parsed[1] != len(text):
        return None
    return parsed[0]


def parse_group(text, i):
    """The items of the group opening at text[i], and the offset after its ')'.

    Items are separated by commas; next to a colon the comma may be left out.
    """
    items = []
    i += 1
    while True:
        if text[i:i + 1] == b':':
            items.append(COLON)
            i += 1
        else:
            m = ITEM.match(text, i)
            if not m:
                return None
            count = int(m[1]) if m[1] else None
            if count == 0:
                return None
            if m[2]:
                parsed = parse_group(text, m.start(2))
                if parsed is None:
                    return None
                body, i = parsed
                items.append((count or 1, body))
            else:
                item = descriptor(count, m[3], m[4], m[5])
                if item is None:
                    return None
                items.append(item)
                i = m.end()
        if text[i:i + 1] == b')':
            return items, i + 1
        if text[i:i + 1] == b',':
            i += 1
            if text[i:i + 1] == b')':
                return None  # a comma before ')'
        elif text[i:i + 1] != b':' and items[-1] is not COLON:
            return None


def descriptor(count, letter, width, point):
    """The item of nX, Fw.d, Ew.d, Aw, Iw or Iw.m, or None for anything else."""
    if point == b'.':
        return None  # a point without digits
    w = int(width) if width else 0
    d = int(point[1:]) if point else None
    if letter == b'X':
        return (1, ('X', count, 0)) if count and not width and d is None else None
    repeat = count or 1
    if w < 1:
        return None
    if letter == b'F' and d is not None:
        return repeat, ('F', w, d)
    if letter == b'E' and d is not None and d >= 1:
        return repeat, ('E', w, d)
    if letter == b'A' and d is None:
        return repeat, ('A', w, 0)
    if letter == b'I' and (d is None or d <= w):
        return repeat, ('I', w, 1 if d is None else d)
    return None


def expand_items(items, fields, colons, column):
    """Appends the fields and colons of the items from offset `column`;
    returns the offset after them, or None once past 1024 columns."""
    for repeat, body in items:
        for _ in range(repeat):
            if isinstance(body, list):
                start = column
                column = expand_items(body, fields, colons, column)
                if column is None:
                    return None
                if column == start and repeat > 1:
                    raise Unsettled('a repeated group of colons alone')
                continue
            kind, width, digits = body
            if kind == ':':
                colons.append(column)
                continue
            if kind != 'X':
                fields.append(Field(kind, column, width, digits))
            column += width
            if column > MAX_LAYOUT_WIDTH:
                return None
    return column


def cut_at_colon(layout, line):
    """The layout without the fields from the first colon on whose columns
    hold nothing but blanks in the line (input 1's first data line as read),
    and that colon's offset when the cut dropped a field (else None)."""
    for column in layout.colons:
        if line[column:].strip(b' ') == b'':
            fields = tuple(f for f in layout.fields if f.start < column)
            cut = Layout(fields, max((f.start + f.width for f in fields), default=0))
            return cut, column if len(fields) < len(layout.fields) else None
    return layout, None


# ---------------------------------------------------------------------------
# Data line fields
#
# Value fields are read as binary32 floats. Every other real field is read
# as the exact decimal of its text (Exact), or a float for Inf and NaN.

def read_real_field(text, decimals, exact):
    if TAB in text:
        raise FieldNotANumber('tab in a real field')
    packed = text.replace(b' ', b'')
    value = parse_number_text(packed, decimals) if packed else Exact(False, 0, 0)
    if value is None:
        raise FieldNotANumber('real field %r' % text)
    return value if exact else float32_of(value)


def read_integer_field(text):
    packed = text.replace(b' ', b'')
    if packed == b'':
        return 0
    if not re.match(rb'^[+-]?[0-9]+$', packed) or not -2**31 <= int(packed) < 2**31:
        raise FieldNotANumber('integer field %r' % text)
    return int(packed)


def read_fields(layout, line):
    """The values of a data line's fields: floats, Exact, ints and text bytes."""
    values = []
    combined = value_fields(layout)
    for i, f in enumerate(layout.fields):
        text = line[f.start:f.start + f.width]
        if is_real(f):
            values.append(read_real_field(text, f.digits, i not in combined))
        elif f.kind == 'I':
            values.append(read_integer_field(text))
        else:
            values.append(text)
    return values


def special_real_text(x, width):
    """The text of an infinity or a not-a-number in a real field."""
    if math.isnan(x):
        return 'NaN'
    long_text, short_text = ('-Infinity', '-Inf') if x < 0 else ('Infinity', 'Inf')
    return long_text if len(long_text) <= width else short_text


def is_special(x):
    return isinstance(x, float) and (math.isnan(x) or math.isinf(x))


def format_fixed(x, width, decimals):
    """Fw.d: the exact value (a float or an Exact) rounded to d decimals, half to even."""
    if is_special(x):
        return fit(special_real_text(x, width), width)
    if decimals + 2 > width:
        return b'*' * width  # no room for "0." and the decimals
    x = exact_of_float(x) if isinstance(x, float) else x
    digits = len(str(x.n))
    if x.n and digits + x.e > width:
        return b'*' * width  # more integer digits than columns
    shift = x.e + decimals
    if x.n == 0:
        n = 0  # whatever its exponent: 0E99999999
    elif shift >= 0:
        n = x.n * 10 ** shift
    elif digits + shift < -1:
        n = 0  # below a tenth of the last decimal
    else:
        n = round_half_even(Fraction(x.n, 10 ** -shift))
    whole, frac = divmod(n, 10 ** decimals)
    sign = '-' if x.negative else ''
    return fit(sign + str(whole) + '.' + (str(frac).rjust(decimals, '0') if decimals else ''), width)


def format_exponent(x, width, digits):
    """Ew.d: 0.ddddddE+ee, the exact value rounded to d significant digits,
    half to even; an exponent of more than two digits does not fit."""
    if is_special(x):
        return fit(special_real_text(x, width), width)
    if digits + 6 > width:
        return b'*' * width  # no room for "0.", the digits and "E+ee"
    x = exact_of_float(x) if isinstance(x, float) else x
    n, exponent = 0, 0
    if x.n:
        # 10^(exponent-1) <= |x| < 10^exponent
        length = len(str(x.n))
        exponent = length + x.e
        n = round_half_even(Fraction(x.n * 10 ** max(0, digits - length), 10 ** max(0, length - digits)))
        if n == 10 ** digits:
            n, exponent = 10 ** (digits - 1), exponent + 1
        if abs(exponent) > 99:
            return b'*' * width
    text = '%s0.%s' % ('-' if x.negative else '', str(n).rjust(digits, '0'))
    return fit(text + 'E%s%02d' % ('-' if exponent < 0 else '+', abs(exponent)), width)


def format_integer(v, width, min_digits):
    """Iw.m: at least m digits; Iw.0 writes 0 as blanks."""
    if v == 0 and min_digits == 0:
        return b' ' * width
    return fit(('-' if v < 0 else '') + str(abs(v)).rjust(min_digits, '0'), width)


def fit(text, width):
    if len(text) > width:
        return b'*' * width
    return text.rjust(width).encode()


def field_text(f, v):
    if f.kind == 'F':
        return format_fixed(v, f.width, f.digits)
    if f.kind == 'E':
        return format_exponent(v, f.width, f.digits)
    if f.kind == 'I':
        return format_integer(v, f.width, f.digits)
    return v


def format_data_line(layout, values):
    """The fields in their columns, blank between them, up to the last field."""
    line = bytearray(b' ' * layout.written_width)
    for f, v in zip(layout.fields, values):
        line[f.start:f.start + f.width] = field_text(f, v)
    return bytes(line)


# ---------------------------------------------------------------------------
# The merge

@dataclass
class Tally:
    """How often something worth a warning was met, and its first place."""
    count: int = 0
    first: tuple = None

    def add(self, *place):
        self.count += 1
        if self.first is None:
            self.first = place


class MergeWarnings:
    """What the end-of-run warnings count; places are (line, input index)
    unless said otherwise, line numbers counted from 1 with header lines."""

    def __init__(self):
        self.blank = Tally()          # merged data lines of nothing but blanks and control bytes
        self.lone_cr = Tally()        # lines with a CR that no LF follows in their skipped part
        self.zero = (Tally(), Tally())  # values written as zero in the combined output and RISK.PLT: (line,)
        self.asterisks = (Tally(), Tally())  # values written as asterisks, likewise
        self.past_colon = Tally()     # merged data lines not blank from the colon that cut the layout
        self.colon = None             # that colon's offset
        self.late_headers = Tally()   # input 1's header lines after its first data line: (line,)
        self.receptors = Tally()      # (line, input index, its (x, y) texts, the last input's)
        self.data_lines = 0           # data line positions merged
        self.ended = None             # when an input ran out: (its index, its lines, the inputs with lines left)


@dataclass
class MergeJob:
    count: int = 0
    names: list = field(default_factory=list)
    scales: list = field(default_factory=lambda: [1.0] * MAX_INPUTS)
    inputs: list = field(default_factory=list)
    mode_letter: int = None   # the first characters of the mode and risk answers
    risk_letter: int = None
    average: bool = False
    risk: object = None
    output: object = None
    warnings: MergeWarnings = field(default_factory=MergeWarnings)


def combine(job, scaled):
    total = scaled[0]
    for v in scaled[1:]:
        total = f32_add(total, v)
    if job.average and len(scaled) > 1:
        total = f32_div(total, float(len(scaled)))
    return total


def same_real(a, b):
    """Receptor coordinates compared as decimal values: 0 equals -0, NaN
    equals NaN, an infinity the infinity of its sign."""
    if isinstance(a, Exact) and isinstance(b, Exact):
        return a.same_value(b)
    return isinstance(a, float) and isinstance(b, float) and (a == b or math.isnan(a) and math.isnan(b))


def first_differing_receptor(records):
    """The index of the first input whose receptor differs from the last input's, or None."""
    last = records[-1]
    for i, r in enumerate(records[:-1]):
        if not same_real(r[0], last[0]) or not same_real(r[1], last[1]):
            return i
    return None


def receptor_texts(layout, record):
    """x and y as a data line writes them, without the blanks around them."""
    return tuple(field_text(f, v).strip(b' ').decode() for f, v in zip(layout.fields[:2], record[:2]))


def holds_nothing(line):
    """A line as read holding no byte but blanks and control bytes."""
    return all(b <= BLANK or b == 0x7F for b in line)


def note_written_value(warnings, output, line, value, f):
    """Counts a value field of an output (0 the combined one, 1 RISK.PLT)
    written as asterisks, or written as zero in an F field though it is not."""
    text = field_text(f, value)
    if text.strip(b'*') == b'':
        warnings.asterisks[output].add(line)
    elif f.kind == 'F' and value != 0 and not is_special(value) and not any(c in b'123456789' for c in text):
        warnings.zero[output].add(line)


def wide_header(line):
    """A header line read up to 1024 columns, as written: 120 columns at
    least, beyond them as far as its text goes."""
    return line[:max(LINE_WIDTH, len(line.rstrip(b' ')))]


class Layouts:
    """Input 1's layout, the widths lines are read at, and the other inputs'
    FORMAT lines checked against input 1's layout.

    Input 1's first FORMAT line before its first data line declares its
    layout; without one, its first data line tells that it has the
    standard one. Until it is known, the other inputs' FORMAT lines met at
    input 1's header positions are kept; then every one is checked, and
    one that does not declare input 1's layout stops the run.
    """

    def __init__(self):
        self.searching = True  # input 1's first FORMAT line may still come
        self.standard = True   # lines read (but for input 1's FORMAT line) and header lines written as 120 columns
        self.declared = None   # input 1's layout, once known
        self.layout = None     # the layout data lines are merged by, from input 1's first data line on
        self.kept = []         # (input index, what its FORMAT line declares)
        self.cut = None        # the offset of the colon that dropped fields of the declared layout

    def width(self, first, header):
        """The columns of the next position, from input 1's next line.
        Returns whether that line is input 1's first FORMAT line, whose
        position is read up to 1024 columns whatever it declares."""
        found = False
        if self.searching and header:
            line = peek_plot_line(first, MAX_LAYOUT_WIDTH)
            if is_format_line(line) != is_format_line(line[:LINE_WIDTH]):
                raise Unsettled("input 1's FORMAT word past column 120")
            if is_format_line(line):
                found, self.searching = True, False
                self.declared = format_line_layout(line)
                self.standard = isinstance(self.declared, Layout) and self.declared.key == STANDARD_LAYOUT.key
        elif self.searching:
            self.searching = False
        if found or header and not self.standard:
            return MAX_LAYOUT_WIDTH, found
        if self.standard:
            return LINE_WIDTH, found
        # A layout that a colon cut is read as wide as declared, so that text
        # in its dropped fields can be told.
        layout = self.declared if self.cut is not None or self.layout is None else self.layout
        return max(LINE_WIDTH, layout.written_width), found

    def header_position(self, lines, found):
        others = [(i, format_line_layout(line)) for i, line in enumerate(lines) if i and is_format_line(line)]
        if found:
            if not self.standard and not_mergeable(self.declared):
                raise RunFailure("input 1's FORMAT line: " + not_mergeable(self.declared))
            others, self.kept = self.kept + others, []
        elif self.declared is None:
            self.kept += others
            return
        self.check(others)

    def first_data_line(self, line):
        if self.declared is None:
            self.declared = STANDARD_LAYOUT
            self.check(self.kept)
        if self.standard:
            self.layout = STANDARD_LAYOUT
            return
        self.layout, self.cut = cut_at_colon(self.declared, line)
        if not_mergeable(self.layout):
            raise RunFailure('the layout cut at a colon: ' + not_mergeable(self.layout))

    def check(self, others):
        for i, declared in others:
            if not isinstance(declared, Layout) or declared.key != self.declared.key:
                raise RunFailure('input %d declares another layout than input 1' % (i + 1))


def run_merge(job):
    layouts = Layouts()
    warnings = job.warnings
    before_data = True
    line_number = 0
    while True:
        # The first byte of input 1's next line tells the columns every
        # input's line is read at.
        header = next_byte(job.inputs[0]) == ord('*')
        width, found = layouts.width(job.inputs[0], header)
        line_number += 1
        lines = []
        for i, f in enumerate(job.inputs):
            line = read_plot_line(f, width)
            if line is None:
                # Nothing of this position counts, a FORMAT line neither. The
                # inputs before this one had a line; a later one has one when
                # a byte is left.
                warnings.ended = (i, line_number - 1, [j for j, g in enumerate(job.inputs)
                                                       if j < i or j > i and next_byte(g) is not None])
                return
            if f.lone_cr:
                warnings.lone_cr.add(line_number, i)
            lines.append(line)
        if header:
            layouts.header_position(lines, found)
            if not before_data:
                warnings.late_headers.add(line_number)
            text = lines[0][:LINE_WIDTH] if layouts.standard else wide_header(lines[0])
            write_line(job.output, text)
            if job.risk is not None:
                write_line(job.risk, text)
            continue
        if before_data:
            before_data = False
            layouts.first_data_line(lines[0])
            warnings.colon = layouts.cut
        layout = layouts.layout
        records = [read_fields(layout, line) for line in lines]
        warnings.data_lines += 1
        for i, line in enumerate(lines):
            if holds_nothing(line):
                warnings.blank.add(line_number, i)
            if warnings.colon is not None and line[warnings.colon:].strip(b' '):
                warnings.past_colon.add(line_number, i)
        differing = first_differing_receptor(records)
        if differing is not None:
            warnings.receptors.add(line_number, differing, receptor_texts(layout, records[differing]),
                                   receptor_texts(layout, records[-1]))
        record = list(records[-1])
        combined = {}
        for k in value_fields(layout):
            scaled = [f32_mul(job.scales[i], r[k]) for i, r in enumerate(records)]
            combined[k] = record[k] = combine(job, scaled)
            note_written_value(warnings, 0, line_number, record[k], layout.fields[k])
        write_line(job.output, format_data_line(layout, record))
        if job.risk is not None:
            for k, v in combined.items():
                record[k] = f32_mul(RISK_FACTOR, v)
                note_written_value(warnings, 1, line_number, record[k], layout.fields[k])
            write_line(job.risk, format_data_line(layout, record))


# ---------------------------------------------------------------------------
# The warnings at the end of a run
#
# One per kind, in this order; each is a kind and its facts, in the order
# its sentence gives them: counts and line numbers (ints), file names
# (bytes) and receptors ((x, y) texts).

WARNING_KINDS = ('created', 'lower-case mode', 'lower-case risk', 'blank data lines', 'lone CR',
                 'values written as zero', 'values written as asterisks', 'text past the colon',
                 'header lines among the data', 'receptors', 'lines left', 'no data line')


@dataclass(frozen=True)
class RunWarning:
    kind: str
    facts: tuple

    def __str__(self):
        return '%s: %s' % (self.kind, ', '.join(map(shown, self.facts)))


def shown(value):
    """A fact as a person reads it: names quoted, bytes that are not printable as \\xNN."""
    if isinstance(value, bytes):
        return "'%s'" % ''.join(chr(b) if 0x20 <= b < 0x7F else '\\x%02x' % b for b in value)
    if isinstance(value, tuple):
        return '(%s, %s)' % value
    return str(value)


def warning_list(job):
    w = job.warnings

    def name(i):
        return job.names[i]

    def counted(kind, tally, *between):
        line, i = tally.first
        return RunWarning(kind, (tally.count,) + between + (line, name(i)))

    outputs = (b'AVG_CONC.PLT' if job.average else b'SUM_CONC.PLT', b'RISK.PLT')

    def per_output(kind, tallies):
        facts = sum(((tally.count, output, tally.first[0]) for output, tally in zip(outputs, tallies) if tally.count), ())
        if facts:
            found.append(RunWarning(kind, facts))

    found = []
    created = [i for i, f in enumerate(job.inputs) if f.created]
    if created:
        found.append(RunWarning('created', (len(created), name(created[0]))))
    if job.mode_letter == ord('a'):
        found.append(RunWarning('lower-case mode', (b'a',)))
    if job.risk_letter == ord('y'):
        found.append(RunWarning('lower-case risk', (b'y',)))
    if w.blank.count:
        found.append(counted('blank data lines', w.blank, ('0', '0')))
    if w.lone_cr.count:
        found.append(counted('lone CR', w.lone_cr))
    per_output('values written as zero', w.zero)
    per_output('values written as asterisks', w.asterisks)
    if w.past_colon.count:
        line, i = w.past_colon.first
        found.append(RunWarning('text past the colon', (w.past_colon.count, w.colon + 1, line, name(i))))
    if w.late_headers.count:
        found.append(RunWarning('header lines among the data',
                                (w.late_headers.count, name(0), w.late_headers.first[0])))
    if w.receptors.count:
        line, i, receptor, last = w.receptors.first
        found.append(RunWarning('receptors', (w.receptors.count, w.data_lines, line, name(i), receptor,
                                              line, name(len(job.names) - 1), last)))
    if w.ended:
        # the merge ended normally: an input ran out
        i, lines, others = w.ended
        if others:
            found.append(RunWarning('lines left', (name(i), lines, len(others), name(others[0]))))
        if not w.data_lines:
            found.append(RunWarning('no data line', (outputs[0],)))
    return found


# ---------------------------------------------------------------------------
# The dialogue

COUNT_WORDS = {1: b'one', 2: b'two', 3: b'three', 4: b'four'}


def prompt(out, text):
    out.append(b' ' + text + b'\n')


def run_dialogue(answers, folder, out, job):
    prompt(out, b'Type in the # of .PLT files for process, max # is 4.')
    job.count = answers.integer()
    if job.count in COUNT_WORDS:
        prompt(out, b'Type in ' + COUNT_WORDS[job.count] + b' input file(s) name(s):')
        job.names = [answers.name() for _ in range(job.count)]
        if job.count == 1:
            prompt(out, b'Provide scaling factors for above .PLT files,')
            prompt(out, b'1.0 for no scaling.')
        else:
            prompt(out, b'Provide scaling factors for above .PLT files, 1.0 for no scaling.')
        for i in range(job.count):
            job.scales[i] = answers.real(job.scales[i])
        for name in job.names:
            job.inputs.append(folder.open(name))
    prompt(out, b'Average or Sum? A/S')
    job.mode_letter = answers.word_first_character()
    job.average = job.mode_letter == ord('A')
    prompt(out, b'Create a 30-yr RISK.PLT from the PLT?  Y/N')
    job.risk_letter = answers.word_first_character()
    if job.risk_letter == ord('Y'):
        job.risk = folder.open(b'RISK.PLT')
    job.output = folder.open(b'AVG_CONC.PLT' if job.average else b'SUM_CONC.PLT')
    if job.count not in COUNT_WORDS:
        raise RunFailure('the number of plot files must be from 1 to 4')
    run_merge(job)


@dataclass
class ModelResult:
    stdout: bytes
    status: int
    files: dict
    stderr_expected: bool  # True when standard error must hold something
    failure: str = ''      # why the run stopped with status 2
    warnings: list = field(default_factory=list)  # RunWarning, in the order written


def run_model(answers, files, links=None):
    """Plays one run; see the module description.

    links names hard links to be made in the folder: link name -> name of a
    file of `files`.
    """
    folder = Folder(files, links)
    out = []
    job = MergeJob()
    status = 0
    failure = ''
    try:
        run_dialogue(Answers(answers), folder, out, job)
    except RunFailure as stop:
        status = 2
        failure = str(stop)
    folder.close_all()
    warnings = warning_list(job)
    return ModelResult(b''.join(out), status, folder.files, status != 0 or bool(warnings), failure, warnings)
