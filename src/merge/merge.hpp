#pragma once

#include "merge/merge_job.hpp"
#include "merge/merge_warnings.hpp"

// Each combined value times this is the value of the risk line.
inline constexpr float RISK_FACTOR = 744.0f;

// Combines the scaled values of one line position in single precision: summed
// left to right in input order, then, in Average mode with more than one input,
// divided by the count.
float combine_values(const float* scaled, int count, CombineMode mode);

// Reads the inputs of job in lockstep and writes one line per position to the
// combined output and, when requested, to the risk output, until the first
// input that has no line left. Needs 1 to MAX_INPUTS open inputs. What
// warrants a warning goes into warnings, also when a failure ends the merge;
// the caller writes them.
void run_merge(MergeJob& job, MergeWarnings& warnings);
