#pragma once

#include <string>

// The slow reference for the field writer: a real field of any width and
// decimals written digit by digit from the float's exact value, scaled in
// double (exact: 24 significant bits times 10^decimals, decimals at most 6)
// and rounded half to even by the double's own rounding. Asterisks when the
// text does not fit; infinities and NaN as the words that fit.
std::string digit_by_digit_field(float value, int width, int decimals);
