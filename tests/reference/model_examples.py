#!/usr/bin/env python3
"""Hand-worked runs and fields that the reference model must reproduce.

Every expected text here was worked out by hand from the rules of carried
fields, FORMAT lines, value fields, colons, line widths and the warnings;
the random runs then compare the model with the tool at large.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import plotmerge_model as model  # noqa: E402


def columns(*fields):
    """A line of (last column, text) pairs: each text right-aligned to end in its column."""
    line = b''
    for end, text in fields:
        line = line.ljust(end - len(text)) + text
    return line


def standard_line(x, y, value, aux1=b'', aux2=b'', aux3=b'', tags=(b'', b'', b''), stamp=b''):
    return columns((14, x), (28, y), (42, value), (51, aux1), (60, aux2), (69, aux3),
                   (77, tags[0].ljust(6)), (87, tags[1].ljust(8)), (97, stamp), (107, tags[2].ljust(8)))


def run(inputs, factors=None, mode=b'S', risk=b'N'):
    """Runs the model on inputs named a.plt, b.plt, ... given as lists of lines."""
    names = [b'%c.plt' % (ord('a') + i) for i in range(len(inputs))]
    factors = factors or [b'1'] * len(inputs)
    answers = b'\n'.join([b'%d' % len(inputs)] + names + factors + [mode, risk]) + b'\n'
    files = {name: b''.join(line + b'\n' for line in lines) for name, lines in zip(names, inputs)}
    return model.run_model(answers, files)


def header(text):
    return text.ljust(120) + b'\n'


class CarriedFields(unittest.TestCase):
    """Reals that are not value fields are written from the decimal of their text."""

    def test_field_texts(self):
        cases = [
            ('F', 13, 5, b'4425586.20194', b'4425586.20194'),
            ('F', 13, 4, b'4425586.20195', b' 4425586.2020'),   # a tie, to the even digit
            ('F', 13, 4, b'4425586.20185', b' 4425586.2018'),
            ('F', 8, 2, b'1.015', b'    1.02'),                 # its float is below the tie
            ('F', 8, 2, b'-1.025', b'   -1.02'),
            ('F', 8, 2, b'12E1', b'    1.20'),                  # two implied decimals, then the exponent
            ('F', 8, 2, b'-0.001', b'   -0.00'),
            ('F', 8, 2, b' - 0 ', b'   -0.00'),
            ('F', 6, 0, b'122.5', b'  122.'),
            ('F', 6, 0, b'123.5', b'  124.'),
            ('F', 13, 5, b'1E39', b'*************'),           # no infinity: it does not fit
            ('F', 13, 5, b'-1E-9999999', b'     -0.00000'),
            ('F', 8, 2, b'Inf', b'Infinity'),
            ('F', 8, 2, b'-inf', b'    -Inf'),
            ('E', 13, 6, b'1.E39', b' 0.100000E+40'),
            ('E', 13, 6, b'1E39', b' 0.100000E+34'),          # six implied decimals, then the exponent
            ('E', 13, 6, b'0.1234565E3', b' 0.123456E+03'),    # a tie, to the even digit
            ('E', 13, 6, b'0.1234575E3', b' 0.123458E+03'),
            ('E', 13, 6, b'9.9999949E98', b' 0.999999E+99'),
            ('E', 13, 6, b'9.999995E98', b'*************'),    # a tie, to 0.100000E+100
            ('E', 13, 6, b'1.E-100', b' 0.100000E-99'),
            ('E', 13, 6, b'1.E-101', b'*************'),        # 0.100000E-100
            ('E', 13, 6, b'-0', b'-0.000000E+00'),
            ('E', 13, 6, b'', b' 0.000000E+00'),
        ]
        for kind, width, digits, text, written in cases:
            with self.subTest(text=text, kind=kind, width=width):
                f = model.Field(kind, 0, width, digits)
                value = model.read_real_field(text.rjust(width), digits, exact=True)
                self.assertEqual(model.field_text(f, value), written)

    def test_standard_layout_and_receptors(self):
        # Line 2: the same receptor in other texts; line 3: receptors whose
        # floats are one (4425586.0) but whose decimals differ.
        a = [b'* RUN',
             standard_line(b'1000.0', b'0', b'0.5', b'1.015', b'-0', b'125', (b'A', b'B', b'C'), b'1'),
             standard_line(b'4425586.20194', b'-1249.68', b'4425586.20194')]
        b = [b'* RUN',
             standard_line(b'100000000', b'-0', b'0.25', b'1.015', b'-0', b'125', (b'D', b'E', b'F'), b'2'),
             standard_line(b'4425586.20195', b'-1249.68', b'0')]
        result = run([a, b])
        self.assertEqual(result.status, 0)
        self.assertEqual(result.files[b'SUM_CONC.PLT'], header(b'* RUN') +
                         b'    1000.00000      -0.00000       0.75000     1.02    -0.00     1.25'
                         b'  D       E         00000002  F       \n'
                         b' 4425586.20195   -1249.68000 4425586.00000     0.00     0.00     0.00'
                         b'                    00000000          \n')
        self.assertEqual([(w.kind, w.facts) for w in result.warnings],
                         [('receptors', (1, 2, 3, b'a.plt', ('4425586.20194', '-1249.68000'),
                                         3, b'b.plt', ('4425586.20195', '-1249.68000')))])


class FormatLines(unittest.TestCase):
    """Input 1's FORMAT line that cannot be merged, and other inputs' FORMAT lines."""

    def test_input_1_lists_refused(self):
        for text in [b'(1X,I6,1X,F13.5,1X,F13.5)',        # x is not a real
                     b'(2(1X,F13.5),1X,E12.5)',           # no value field
                     b'(74(1X,F13.5))',                   # 1036 columns
                     b'(3(1X,F13.5),T5)',                 # T5 does not read
                     b'(3(1X,F13.5),' + b' ' * 1020 + b'1X)']:  # runs past column 1024
            with self.subTest(text=text[:30]):
                result = run([[b'* RUN', b'* FORMAT: ' + text, b' 1 2 3']])
                self.assertEqual(result.status, 2)
                self.assertEqual(result.files[b'SUM_CONC.PLT'], header(b'* RUN'))

    def test_other_inputs_against_input_1(self):
        standard = standard_line(b'1.', b'2.', b'3.')
        same = b'* FORMAT: ( 1x,f13.5, 1X,F13.5,1x,F13.5, 3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8,13X)'
        other = b'* FORMAT: (2(1X,F13.5),1X,E13.6,3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)'
        written = (b'       1.00000       2.00000       6.00000     0.00     0.00     0.00'
                   b'                    00000000          \n')
        # Input 1 has no FORMAT line: input 2's is kept and compared at input 1's first data line.
        result = run([[b'* RUN', standard], [same, standard]])
        self.assertEqual((result.status, result.files[b'SUM_CONC.PLT']), (0, header(b'* RUN') + written))
        result = run([[b'* RUN', standard], [other, standard]])
        self.assertEqual((result.status, result.files[b'SUM_CONC.PLT']), (2, header(b'* RUN')))
        # After input 1's FORMAT line, at a later header position.
        first = [b'* RUN', other, b'* X Y', columns((14, b'1.'), (28, b'2.'), (42, b'3.'))]
        result = run([first, first[:2] + [b'* FORMAT: (3(1X,F13.5))', first[3]]])
        self.assertEqual((result.status, result.files[b'SUM_CONC.PLT']), (2, header(b'* RUN') + header(other)))


class ValueFields(unittest.TestCase):
    def test_wide_real_after_a_narrow_one_and_no_blanks_at_the_end(self):
        declared = b'* FORMAT: (2(1X,F13.5),1X,F8.2,1X,F13.5,13X)'
        a = [declared, columns((14, b'1.'), (28, b'2.'), (37, b'3.'), (51, b'1.5'))]
        b = [declared, columns((14, b'1.'), (28, b'2.'), (37, b'4.'), (51, b'2.25'))]
        result = run([a, b])
        self.assertEqual(result.files[b'SUM_CONC.PLT'], header(declared) +
                         b'       1.00000       2.00000     4.00       3.75000\n')


class Colons(unittest.TestCase):
    declared = b'*FORMAT: (2(1X,F13.5),3(:1X,F13.5))'

    def test_cut_after_the_groups_the_first_data_line_fills(self):
        # Colons at columns 29, 43 and 57; line 2 is blank from 57 on. The
        # third group of line 3 is past the layout, so not read.
        lines = [self.declared,
                 columns((14, b'1.'), (28, b'2.'), (42, b'1.5'), (56, b'2.5')),
                 columns((14, b'1.'), (28, b'3.'), (42, b'0.5'), (56, b'1.0'), (70, b'x'))]
        result = run([lines], factors=[b'2'], risk=b'Y')
        self.assertEqual(result.status, 0)
        self.assertEqual(result.files[b'SUM_CONC.PLT'], header(self.declared) +
                         b'       1.00000       2.00000       3.00000       5.00000\n'
                         b'       1.00000       3.00000       1.00000       2.00000\n')
        self.assertEqual(result.files[b'RISK.PLT'], header(self.declared) +
                         b'       1.00000       2.00000    2232.00000    3720.00000\n'
                         b'       1.00000       3.00000     744.00000    1488.00000\n')

    def test_cut_leaving_no_value_field(self):
        result = run([[self.declared, columns((14, b'1.'), (28, b'2.'))]])
        self.assertEqual((result.status, result.files[b'SUM_CONC.PLT']), (2, header(self.declared)))


class LineWidths(unittest.TestCase):
    def test_standard_list_past_column_120(self):
        # Input 1's FORMAT line is read up to 1024 columns at its position,
        # in every input: two copies of one file merge, and the line is
        # written as the 120 columns of every header line of a standard run.
        declared = b'*' + b' ' * 70 + b'FORMAT: (3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)'
        lines = [declared, standard_line(b'1.', b'2.', b'3.')]
        result = run([lines, lines])
        self.assertEqual((result.status, result.files[b'SUM_CONC.PLT']), (0, declared[:120] + b'\n' +
                         b'       1.00000       2.00000       6.00000     0.00     0.00     0.00'
                         b'                    00000000          \n'))

    def test_wide_layout(self):
        declared = b'* FORMAT: (3(1X,F13.5),100X,1X,F8.2)'
        lines = [b'*' + b'A' * 149, declared, b'*' + b'B' * 139 + b' ' * 10, b'* T' + b' ' * 20,
                 columns((14, b'1.'), (28, b'2.'), (42, b'3.'), (151, b'-1.015'))]
        result = run([lines])
        self.assertEqual(result.files[b'SUM_CONC.PLT'],
                         b'*' + b'A' * 119 + b'\n' + header(declared) + b'*' + b'B' * 139 + b'\n' + header(b'* T') +
                         b'       1.00000       2.00000       3.00000' + b' ' * 101 + b'   -1.02\n')


class Warnings(unittest.TestCase):
    """One run for each warning of the end of the run, worked out by hand."""

    def kinds(self, result):
        return [(w.kind, w.facts) for w in result.warnings]

    def test_inputs_created_and_a_name_too_long(self):
        # Inputs open in input order: missing.plt is created, and the run
        # stops at the name of 121 bytes, which is neither cut nor created.
        long_name = b'w' * 121
        answers = b'3\na.plt\nmissing.plt   \n' + long_name + b'  \n1\n1\n1\nA\nY\n'
        result = model.run_model(answers, {b'a.plt': standard_line(b'1.', b'2.', b'3.') + b'\n'})
        self.assertEqual(result.status, 2)
        self.assertEqual(sorted(result.files), [b'a.plt', b'missing.plt'])
        self.assertEqual(result.files[b'missing.plt'], b'')
        self.assertEqual(self.kinds(result), [('created', (1, b'missing.plt'))])

    def test_lower_case_answers(self):
        result = run([[standard_line(b'1.', b'2.', b'3.')]], mode=b'average', risk=b'"yes"')
        self.assertEqual(sorted(result.files), [b'SUM_CONC.PLT', b'a.plt'])
        self.assertEqual(self.kinds(result), [('lower-case mode', (b'a',)), ('lower-case risk', (b'y',))])

    def test_values_written_as_asterisks(self):
        # 20000 fits, 744 times it (14880000.00000) does not; 10^8 fits
        # neither (1.E8: no implied decimals); an infinity is written as a word.
        lines = [b'* RUN', standard_line(b'1.', b'2.', b'20000.'), standard_line(b'1.', b'2.', b'1.E8'),
                 standard_line(b'1.', b'2.', b'Inf')]
        result = run([lines], risk=b'Y')
        self.assertEqual(result.files[b'SUM_CONC.PLT'].split(b'\n')[1:4],
                         [b'       1.00000       2.00000   20000.00000' + b'     0.00' * 3 + b' ' * 20 + b'00000000' + b' ' * 10,
                          b'       1.00000       2.00000 *************' + b'     0.00' * 3 + b' ' * 20 + b'00000000' + b' ' * 10,
                          b'       1.00000       2.00000      Infinity' + b'     0.00' * 3 + b' ' * 20 + b'00000000' + b' ' * 10])
        self.assertEqual(self.kinds(result),
                         [('values written as asterisks', (1, b'SUM_CONC.PLT', 3, 2, b'RISK.PLT', 2))])

    def test_text_past_the_colon_that_cut(self):
        # Input 1's first data line is blank from the colon in column 57 on,
        # which drops the third value field; from that column on, b.plt's
        # line 2 holds a 7 (in column 57 itself) and a.plt's line 3 an x.
        declared = b'*FORMAT: (2(1X,F13.5),3(:1X,F13.5))'
        a = [declared, columns((14, b'1.'), (28, b'2.'), (42, b'1.5'), (56, b'2.5')),
             columns((14, b'1.'), (28, b'3.'), (42, b'0.5'), (56, b'1.0'), (70, b'x'))]
        b = [declared, columns((14, b'1.'), (28, b'2.'), (42, b'1.5'), (56, b'2.5'), (57, b'7')),
             columns((14, b'1.'), (28, b'3.'), (42, b'0.5'), (56, b'1.0'))]
        result = run([a, b])
        self.assertEqual(result.status, 0)
        self.assertEqual(self.kinds(result), [('text past the colon', (2, 57, 2, b'b.plt'))])

    def test_lines_left(self):
        # b.plt runs out at line 2: a.plt's line 2 was read, c.plt has no
        # byte left, d.plt an empty line.
        line = standard_line(b'1.', b'2.', b'3.')
        result = run([[line, line], [line], [line], [line, b'']])
        self.assertEqual(result.status, 0)
        self.assertEqual(self.kinds(result), [('lines left', (b'b.plt', 1, 2, b'a.plt'))])

    def test_no_data_line(self):
        result = run([[b'* RUN', b'* X Y']], mode=b'A')
        self.assertEqual((result.status, result.files[b'AVG_CONC.PLT']), (0, header(b'* RUN') + header(b'* X Y')))
        self.assertEqual(self.kinds(result), [('no data line', (b'AVG_CONC.PLT',))])


if __name__ == '__main__':
    unittest.main()
