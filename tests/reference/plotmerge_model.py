"""A slow, exact reference model of one plotmerge run.

run_model(answers, files, links) plays a whole run: the dialogue read from
the answer bytes, the files of the working folder given as a dict of name
bytes to content bytes (and, optionally, hard links as further names of
them), the merge, and the files left behind. It returns a
ModelResult with what standard output receives, the exit status, the final
folder contents, and whether standard error receives anything.

Reals are single-precision values held in Python floats: every decimal text
is rounded once, exactly, from its rational value, and every arithmetic step
is one binary64 operation on two binary32 values rounded to binary32, which
is correctly rounded for +, -, * and /. Fields are written from the exact
rational value of the float.

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


def decimal_to_float32(negative, digits, exponent):
    """Rounds the decimal (-1)^negative * int(digits) * 10^exponent to binary32.

    The caller has folded the point and any implied decimals into exponent.
    """
    significant = digits.lstrip(b'0')
    if not significant:
        return math.copysign(0.0, -1.0 if negative else 1.0)
    mantissa = int(significant)
    # Keep huge exponents out of exact arithmetic: far beyond the range the
    # result is an infinity or a zero whatever the digits.
    magnitude = len(significant) + exponent
    if magnitude > 60:
        return (-1.0 if negative else 1.0) * math.inf
    if magnitude < -80:
        return math.copysign(0.0, -1.0 if negative else 1.0)
    q = Fraction(mantissa) * (Fraction(10) ** exponent)
    return float32_from_fraction(q, negative)


# ---------------------------------------------------------------------------
# Number texts shared by factor answers and real fields

NUMBER_TEXT = re.compile(
    rb'^(?P<sign>[+-]?)(?P<int>[0-9]*)(?P<point>\.?)(?P<frac>[0-9]*)'
    rb'(?:(?:[EeDd](?P<esign1>[+-]?)(?P<exp1>[0-9]+))|(?:(?P<esign2>[+-])(?P<exp2>[0-9]+)))?$')
SPECIAL_TEXT = re.compile(rb'^([+-]?)(inf|infinity|nan)$', re.IGNORECASE)


def read_number_text(text, implied_decimals):
    """Converts a real text (blanks already removed) to binary32.

    implied_decimals is None for a factor answer. Returns None when the text
    is not a number of the required form.
    """
    special = SPECIAL_TEXT.match(text)
    if special:
        negative = special.group(1) == b'-'
        if special.group(2).lower() == b'nan':
            return math.nan
        return -math.inf if negative else math.inf
    m = NUMBER_TEXT.match(text)
    if not m or not (m.group('int') or m.group('frac')):
        return None
    negative = m.group('sign') == b'-'
    digits = m.group('int') + m.group('frac')
    if m.group('exp1') is not None:
        exponent = int(m.group('exp1'))
        if m.group('esign1') == b'-':
            exponent = -exponent
    elif m.group('exp2') is not None:
        exponent = int(m.group('exp2'))
        if m.group('esign2') == b'-':
            exponent = -exponent
    else:
        exponent = 0
    if m.group('point'):
        exponent -= len(m.group('frac'))
    elif implied_decimals is not None:
        exponent -= implied_decimals
    return decimal_to_float32(negative, digits, exponent)


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
        line = self._take_line(lone_cr_ends_line=True)
        return line[:LINE_WIDTH].ljust(LINE_WIDTH, b' ')


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

    def open(self, padded_name):
        name = padded_name.rstrip(b' ')
        if name == b'':
            raise RunFailure('empty name')
        if name in (b'.', b'..'):
            raise RunFailure('a directory')
        if b'\0' in name:
            raise RunFailure('a name holding a NUL byte')
        name = self.identity(folder_free_name(name))
        if any(f.name == name for f in self.open_files):
            raise RunFailure('same file already open')
        if name not in self.files:
            self.files[name] = b''
        opened = OpenFile(name, self.files[name])
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


def read_plot_line(f):
    """The next 120-column line of an input, or None at its end."""
    data = f.data
    i = f.pos
    if i >= len(data):
        return None
    line = bytearray()
    while i < len(data):
        b = data[i]
        if b == LF:
            i += 1
            break
        if b == CR and len(line) < LINE_WIDTH:
            i += 1
            if i < len(data) and data[i] == LF:
                i += 1
            break
        if len(line) < LINE_WIDTH:
            line.append(b)
        i += 1
    f.pos = i
    return bytes(line).ljust(LINE_WIDTH, b' ')


def write_line(f, text):
    f.written.append(text + b'\n')


# ---------------------------------------------------------------------------
# Data lines

REAL_FIELDS = (
    ('x', 1, 14, 5), ('y', 15, 28, 5), ('value', 29, 42, 5),
    ('aux1', 43, 51, 2), ('aux2', 52, 60, 2), ('aux3', 61, 69, 2),
)
TEXT_FIELDS = (('tag_a', 71, 77), ('tag_b', 79, 87), ('tag_c', 99, 107))
STAMP_COLUMNS = (89, 97)


def read_real_field(text, decimals):
    if TAB in text:
        raise FieldNotANumber('tab in a real field')
    packed = text.replace(b' ', b'')
    if packed == b'':
        return 0.0
    value = read_number_text(packed, decimals)
    if value is None:
        raise FieldNotANumber('real field %r' % text)
    return value


def read_stamp_field(text):
    packed = text.replace(b' ', b'')
    if packed == b'':
        return 0
    if not re.match(rb'^[+-]?[0-9]+$', packed):
        raise FieldNotANumber('stamp field %r' % text)
    return int(packed)


def parse_plot_record(line):
    record = {}
    for name, start, end, decimals in REAL_FIELDS:
        record[name] = read_real_field(line[start:end], decimals)
    for name, start, end in TEXT_FIELDS:
        record[name] = line[start:end]
    record['stamp'] = read_stamp_field(line[STAMP_COLUMNS[0]:STAMP_COLUMNS[1]])
    return record


def format_real(x, width, decimals):
    if math.isnan(x):
        text = 'NaN'
    elif math.isinf(x):
        long_text, short_text = ('-Infinity', '-Inf') if x < 0 else ('Infinity', 'Inf')
        text = long_text if len(long_text) <= width else short_text
    else:
        negative = math.copysign(1.0, x) < 0
        scaled = abs(Fraction(x)) * 10 ** decimals
        n = round_half_even(scaled)
        whole, frac = divmod(n, 10 ** decimals)
        text = ('-' if negative else '') + '%d.%0*d' % (whole, decimals, frac)
    if len(text) > width:
        return b'*' * width
    return text.rjust(width).encode()


def format_stamp(v):
    if 0 <= v <= 99999999:
        return b'%08d' % v
    return b'*' * 8


def format_plot_record(r):
    return (b' ' + format_real(r['x'], 13, 5) + b' ' + format_real(r['y'], 13, 5)
            + b' ' + format_real(r['value'], 13, 5)
            + b' ' + format_real(r['aux1'], 8, 2) + b' ' + format_real(r['aux2'], 8, 2)
            + b' ' + format_real(r['aux3'], 8, 2)
            + b'  ' + r['tag_a'] + b'  ' + r['tag_b']
            + b'  ' + format_stamp(r['stamp']) + b'  ' + r['tag_c'])


# ---------------------------------------------------------------------------
# The merge

@dataclass
class MergeJob:
    count: int = 0
    names: list = field(default_factory=list)
    scales: list = field(default_factory=lambda: [1.0] * MAX_INPUTS)
    inputs: list = field(default_factory=list)
    average: bool = False
    risk: object = None
    output: object = None
    differing_positions: int = 0


def combine(job, scaled):
    total = scaled[0]
    for v in scaled[1:]:
        total = f32_add(total, v)
    if job.average and len(scaled) > 1:
        total = f32_div(total, float(len(scaled)))
    return total


def receptors_differ(records):
    last = records[-1]
    return any(r['x'] != last['x'] or r['y'] != last['y'] for r in records[:-1])


def run_merge(job):
    while True:
        lines = []
        for f in job.inputs:
            line = read_plot_line(f)
            if line is None:
                return
            lines.append(line)
        if lines[0][0:1] == b'*':
            write_line(job.output, lines[0])
            if job.risk is not None:
                write_line(job.risk, lines[0])
            continue
        records = [parse_plot_record(line) for line in lines]
        scaled = [f32_mul(job.scales[i], r['value']) for i, r in enumerate(records)]
        if receptors_differ(records):
            job.differing_positions += 1
        record = dict(records[-1])
        combined = combine(job, scaled)
        record['value'] = combined
        write_line(job.output, format_plot_record(record))
        if job.risk is not None:
            record['value'] = f32_mul(RISK_FACTOR, combined)
            write_line(job.risk, format_plot_record(record))


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
        job.inputs = [folder.open(name) for name in job.names]
    prompt(out, b'Average or Sum? A/S')
    job.average = answers.word_first_character() == ord('A')
    prompt(out, b'Create a 30-yr RISK.PLT from the PLT?  Y/N')
    if answers.word_first_character() == ord('Y'):
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
    stderr_expected = status != 0 or job.differing_positions > 0
    return ModelResult(b''.join(out), status, folder.files, stderr_expected, failure)
