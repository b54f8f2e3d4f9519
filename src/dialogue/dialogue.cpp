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

// A name longer than a name answer holds is refused rather than cut, which
// would open another file, or create one, under the name's first bytes.
void open_input(InputSlot& input, OpenFiles& open_files, MergeWarnings& warnings)
{
    const std::string_view name(input.name.data(), input.name.size());
    if (input.name_too_long) {
        throw RunFailure("opening", name.substr(0, name.find_last_not_of(' ') + 1),
                         "the name answered is longer than " + std::to_string(LINE_WIDTH) +
                             " bytes, the longest that plotmerge takes; nothing of this name was opened");
    }
    input.file.emplace(open_plot_input(name, open_files));
    if (input.file->created()) warnings.inputs_created.count([&] { return FilePlace{input.file->name(), 0}; });
}

void ask_for_inputs(MergeJob& job, AnswerReader& answers, MergeWarnings& warnings)
{
    const int count = job.input_count;
    print_prompt(std::string("Type in ") + kCountWords[count - 1] + " input file(s) name(s):");
    for (int i = 0; i < count; ++i) {
        const NameAnswer answer = answers.read_name_answer(std::string("the name of ") + kInputNames[i]);
        job.inputs[i].name = answer.text;
        job.inputs[i].name_too_long = answer.too_long;
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
    for (int i = 0; i < count; ++i) open_input(job.inputs[i], job.open_files, warnings);
}

void ask_for_outputs(MergeJob& job, AnswerReader& answers, MergeWarnings& warnings)
{
    print_prompt("Average or Sum? A/S");
    const AnswerText mode = answers.read_word_answer("the question average or sum");
    job.mode = mode[0] == 'A' ? CombineMode::Average : CombineMode::Sum;
    warnings.lower_case_mode = mode[0] == 'a';
    job.output_name = job.mode == CombineMode::Average ? "AVG_CONC.PLT" : "SUM_CONC.PLT";

    print_prompt("Create a 30-yr RISK.PLT from the PLT?  Y/N");
    const AnswerText risk = answers.read_word_answer("the question of a risk file");
    job.risk_requested = risk[0] == 'Y';
    warnings.lower_case_risk = risk[0] == 'y';
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
    if (count_valid) ask_for_inputs(job, answers, warnings);

    ask_for_outputs(job, answers, warnings);

    // The questions are asked and the outputs opened whatever the count; only
    // the merge needs one to four inputs.
    if (!count_valid) {
        const std::string answered = count ? "not " + std::to_string(*count) : std::string("and none was given");
        throw RunFailure("merging", "the number of plot files must be from 1 to 4, " + answered);
    }
    run_merge(job, warnings);
    close_files(job);
}
