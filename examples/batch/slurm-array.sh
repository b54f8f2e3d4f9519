#!/usr/bin/env bash
# One merge per task of a Slurm job array, each in its scenario folder.
# Submit from this folder, one task per scenario (folders holding "answers"):
#
#   sbatch --array=0-$(($(ls -d */answers | wc -l) - 1)) slurm-array.sh
#
# A task that fails shows as FAILED in sacct; its merge.log holds the reason,
# and a warning that the inputs' receptors differ.
#SBATCH --job-name=plotmerge
#SBATCH --cpus-per-task=1
#SBATCH --mem=64M
#SBATCH --time=00:30:00
set -u
scenarios=(*/answers)
scenario=$(dirname "${scenarios[$SLURM_ARRAY_TASK_ID]}")
cd "$scenario" || exit 1
"${PLOTMERGE:-plotmerge}" < answers > /dev/null 2> merge.log
status=$?
sed "s|^|$scenario: |" merge.log >&2
exit "$status"
