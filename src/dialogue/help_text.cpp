#include "dialogue/help_text.hpp"

std::string help_text()
{
    return R"(Usage: plotmerge                  answer the questions as they are asked
       plotmerge < ANSWER-FILE    take the answers from a file
       plotmerge --help           show this help
       plotmerge --version        show the version

Merges one to four plot files, line by line, into AVG_CONC.PLT or
SUM_CONC.PLT in the current folder, and on request into RISK.PLT, the
combined values times 744. Any other argument is ignored. plotmerge asks
its questions on standard output and reads one answer a line from
standard input, in this order:

  1. the number of plot files, 1 to 4
  2. the name of each plot file, one a line
  3. the scale factor of each plot file, one a line (1.0 for no scaling)
  4. A (upper case) to average the scaled values, anything else to sum them
  5. Y (upper case) to write RISK.PLT as well, anything else for none

This answer file averages run1.plt and half of run2.plt into AVG_CONC.PLT
and writes RISK.PLT:

  2
  run1.plt
  run2.plt
  1.0
  0.5
  A
  Y

Exit status: 0 when the merge ran to its end, 2 after a failure, which
standard error names.

The manual: man plotmerge; plotmerge.txt in the Windows package;
man/plotmerge.1.in in the source tree (man -l man/plotmerge.1.in).
)";
}
