#!/usr/bin/perl
# Usage: closing_reader.pl LINES TEXT [LINES TEXT]... -- COMMAND...
# Runs COMMAND with its standard output on a pipe and SIGPIPE at its default
# action. For each pair it reads LINES lines from the pipe (copying them to its
# own standard output) and then sends TEXT to the command's standard input;
# before sending the last TEXT it closes the pipe. Since the command writes a
# prompt only after the answers before it have arrived, its next write to
# standard output then meets a pipe without reader. Exits with the command's
# status, or 128 + the number of the signal that ended it.
use strict;
use warnings;

my @steps;
while (@ARGV && $ARGV[0] ne '--') {
    push @steps, [shift @ARGV, shift @ARGV];
}
shift @ARGV;
my @command = @ARGV;
die "usage: $0 LINES TEXT... -- COMMAND...\n" unless @steps && @command;

pipe(my $from_command, my $to_reader) or die "pipe: $!";
pipe(my $from_answers, my $to_command) or die "pipe: $!";
my $reader_open = 1;
# Nothing to read at all: the pipe loses its reader before the command starts.
if (@steps == 1 && $steps[0][0] == 0) {
    close $from_command;
    $reader_open = 0;
}

my $pid = fork() // die "fork: $!";
if ($pid == 0) {
    $SIG{PIPE} = 'DEFAULT';
    open(STDIN, '<&', $from_answers) or die "stdin: $!";
    open(STDOUT, '>&', $to_reader) or die "stdout: $!";
    exec(@command) or die "exec: $!";
}
close $to_reader;
close $from_answers;
$SIG{PIPE} = 'IGNORE';
$| = 1;
{
    my $handle = select $to_command;
    $| = 1;
    select $handle;
}

for my $index (0 .. $#steps) {
    my ($lines, $text) = @{$steps[$index]};
    for (1 .. $lines) {
        my $line = <$from_command>;
        last unless defined $line;
        print $line;
    }
    if ($index == $#steps && $reader_open) {
        close $from_command;
        $reader_open = 0;
    }
    print {$to_command} $text;
}
close $to_command;

waitpid($pid, 0);
exit(($? & 127) ? 128 + ($? & 127) : $? >> 8);
