#include "dialogue/dialogue.hpp"

#include <string>

#include "diagnostics.hpp"
#include "dialogue/answer_reader.hpp"
#include "merge/merge.hpp"
#include "merge/merge_job.hpp"
#include "platform/platform.hpp"
#include "run_failure.hpp"

namespace {

// One line to standard output: a blank, the prompt, LF.
void print_prompt(std::string_view text)
{
    std::string line = " ";
    line += text;
    line += '\n';
    if (const auto error = write_standard_output(line)) {
        throw RunFailure::from_system("writing a prompt to", stream_name(platform::StandardStream::Output), *error);
    }
}

constexpr const char* kCountWords[] = {"one", "two", "three", "four"};

const char* const kInputNames[] = {"input 1", "input 2", "input 3", "input 4"};

void ask_for_inputs(MergeJob& job, AnswerReader& answers)
{
    const int count = job.input_count;
    print_prompt(std::string("Type in ") + kCountWords[count - 1] + " input file(s) name(s):");
    for (int i = 0; i < count; ++i) {
        job.inputs[i].name = answers.read_name_answer(std::string("the name of ") + kInputNames[i]);
    }
    if (count == 1) {
        print_prompt("Provide scaling factors for above .PLT files,");
        print_prompt("1.0 for no scaling.");
    } else {
        print_prompt("Provide scaling factors for above .PLT files, 1.0 for no scaling.");
    }
    for (int i = 0; i < count; ++i) {
        InputSlot& input = job.inputs[i];
        input.scale = answers.read_real_answer(std::string("the scaling factor of ") + kInputNames[i], input.scale);
    }
    for (int i = 0; i < count; ++i) {
        const AnswerText& name = job.inputs[i].name;
        job.inputs[i].file.emplace(open_plot_input(std::string_view(name.data(), name.size()), job.open_files));
    }
}

void ask_for_outputs(MergeJob& job, AnswerReader& answers)
{
    print_prompt("Average or Sum? A/S");
    const AnswerText mode = answers.read_word_answer("the question average or sum");
    job.mode = mode[0] == 'A' ? CombineMode::Average : CombineMode::Sum;
    job.output_name = job.mode == CombineMode::Average ? "AVG_CONC.PLT" : "SUM_CONC.PLT";

    print_prompt("Create a 30-yr RISK.PLT from the PLT?  Y/N");
    const AnswerText risk = answers.read_word_answer("the question of a risk file");
    job.risk_requested = risk[0] == 'Y';
    if (job.risk_requested) job.risk_file.emplace(open_plot_output("RISK.PLT", job.open_files));

    job.output_file.emplace(open_plot_output(job.output_name, job.open_files));
}

// Outputs first, since only their closing can lose data.
void close_files(MergeJob& job)
{
    job.output_file->close();
    if (job.risk_file) job.risk_file->close();
    for (InputSlot& input : job.inputs) {
        if (input.file) input.file->close();
    }
}

}  // namespace

void run_dialogue(MergeWarnings& warnings)
{
    AnswerReader answers(platform::standard_stream(platform::StandardStream::Input));
    MergeJob job;

    print_prompt("Type in the # of .PLT files for process, max # is 4.");
    const std::optional<std::int32_t> count = answers.read_integer_answer("the number of plot files");
    job.input_count = count.value_or(0);
    const bool count_valid = count && *count >= 1 && *count <= MAX_INPUTS;
    if (count_valid) ask_for_inputs(job, answers);

    ask_for_outputs(job, answers);

    // The questions are asked and the outputs opened whatever the count; only
    // the merge needs one to four inputs.
    if (!count_valid) {
        const std::string answered = count ? "not " + std::to_string(*count) : std::string("and none was given");
        throw RunFailure("merging", "the number of plot files must be from 1 to 4, " + answered);
    }
    run_merge(job, warnings);
    close_files(job);
}
