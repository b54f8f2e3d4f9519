#pragma once

#include <string>
#include <vector>

// A labelled mark on an axis or on the colour bar, at value along it.
struct Tick {
    double value;
    std::string label;
};

// Ticks at the multiples of a round step (1, 2 or 5 times a power of ten)
// between low and high, both included, at most about wanted + 1 of them.
// Labels carry the decimals the step needs, no more.
std::vector<Tick> round_ticks(double low, double high, int wanted);

// Ticks for a logarithmic bar whose ends are decimal logarithms: the powers of
// ten between them (every second or fifth one when there are many); 1, 2 and 5
// times the powers of ten when that gives fewer than two; else the two ends.
// The value of each tick is its decimal logarithm.
std::vector<Tick> decade_ticks(double log_low, double log_high);

// value with three significant digits, in the shortest of fixed or exponent form.
std::string significant_text(double value);

