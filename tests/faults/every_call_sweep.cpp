// A fault at every call. Each case runs a typical merge once clean, with the
// library fail_nth_call preloaded to list the program's read, write, open,
// close and ftruncate calls, and then once for every listed call and every way
// that call can fail on a real system, that call alone failing. Every run must
// end by itself with status 0 or 2; status 2 comes with one diagnostic line;
// an interrupted call or a partial transfer is carried on and changes nothing;
// EIO or ENOSPC always ends in status 2; status 0 means every output is the
// clean run's; and every output holds whole lines only: the start of the
// clean run's output, or its older content when nothing was written to it.
//
// Usage: every_call_sweep PATH_TO_PLOTMERGE PATH_TO_FAIL_NTH_CALL_LIBRARY [STRIDE]
// Linux only; the checks run in this process, so that a few hundred runs
// take seconds. With a STRIDE above 1 only every STRIDE-th disturbed run is
// made, for builds whose every start is slow (sanitizers).

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// More data lines than three write buffers of 256 KiB hold.
constexpr int kDataLines = 8000;

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string format(const char* pattern, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// ---- plot files, worked out by the rules ----------------------------------

// Input k (1 or 2): three header lines, then data line i with x 1000+i,
// y 2000 (the same receptors in both, so no warning), value i+2(k-1), stamp i. bad_line, when not 0, is a data line
// whose value field is not a number.
std::string make_input(int k, int lines, int bad_line = 0)
{
    std::string text = format("* PLOT FILE OF RUN %d\n", k);
    text += "* AVERAGE CONCENTRATION VALUES\n";
    text += "*      X             Y      AVERAGE CONC\n";
    for (int i = 1; i <= lines; ++i) {
        const std::string value = i == bad_line ? "12.5X" : format("%.5f", double(i + 2 * (k - 1)));
        text += format(" %13.5f %13.5f %13s %8s %8s %8s  RUN-%d   GROUP-%d   %08d  TAIL    \n", 1000.0 + i,
                       2000.0, value.c_str(), "1.50", "2.25", "-3.75", k, k, i);
    }
    return text;
}

enum class Mode { Average, Sum };

// What the merge of input 1 and input 2 (factors 1.0 and factor2) writes for
// its first n data lines, as the combined output (multiplier 1) or as
// RISK.PLT (multiplier 744). With the inputs above every value is exact in
// single precision: i + factor2 (i + 2), halved in Average mode, times the
// multiplier. Header lines are padded to 120 columns; the carried fields are
// input 2's; a value of more than 13 characters is 13 asterisks.
std::string expected_output(Mode mode, double factor2, int n, double multiplier)
{
    std::string text;
    for (const char* header : {"* PLOT FILE OF RUN 1", "* AVERAGE CONCENTRATION VALUES",
                               "*      X             Y      AVERAGE CONC"}) {
        text += format("%-120s\n", header);
    }
    for (int i = 1; i <= n; ++i) {
        double value = i + factor2 * (i + 2);
        if (mode == Mode::Average) value /= 2;
        std::string field = format("%.5f", value * multiplier);
        if (field.size() > 13) field = "*************";
        text += format(" %13.5f %13.5f %13s %8s %8s %8s  RUN-2   GROUP-2   %08d  TAIL    \n", 1000.0 + i, 2000.0,
                       field.c_str(), "1.50", "2.25", "-3.75", i);
    }
    return text;
}

std::string prompts_for_two_inputs()
{
    return " Type in the # of .PLT files for process, max # is 4.\n"
           " Type in two input file(s) name(s):\n"
           " Provide scaling factors for above .PLT files, 1.0 for no scaling.\n"
           " Average or Sum? A/S\n"
           " Create a 30-yr RISK.PLT from the PLT?  Y/N\n";
}

// ---- one run ----------------------------------------------------------------

struct Fault {
    long number = 0;  // 0: a clean run
    std::string kind;
};

struct TracedCall {
    long number = 0;
    std::string call;
    long descriptor = 0;
    long long size = 0;  // bytes asked for, or an open's flags
    std::string path;
};

struct Outcome {
    int status = 0;  // the exit status, or 128 + the signal
    std::string out;
    std::string err;
    std::vector<TracedCall> calls;
    bool disturbed = false;
};

struct Case {
    std::string name;
    fs::path folder;
    std::string answers;
    bool answers_by_pipe = false;
    std::map<std::string, std::string> older;     // outputs present before the run
    std::map<std::string, std::string> expected;  // the clean run's outputs
    int expected_status = 0;
    std::string expected_diagnostic;
};

std::vector<TracedCall> parse_trace(const std::string& text, bool& disturbed)
{
    std::vector<TracedCall> calls;
    std::istringstream lines(text);
    std::string line;
    disturbed = false;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        TracedCall call;
        std::string first;
        fields >> first;
        if (first == "disturbed") disturbed = true;
        if (first == "disturbed" || first == "calls") continue;
        call.number = std::stol(first);
        fields >> call.call >> call.descriptor >> call.size >> call.path;
        calls.push_back(call);
    }
    return calls;
}

class Sweep {
public:
    Sweep(fs::path plotmerge, fs::path library, long stride)
        : plotmerge_(std::move(plotmerge)), library_(std::move(library)), stride_(stride)
    {
    }

    Outcome run(const Case& c, const Fault& fault) const;
    bool sweep(const Case& c);

    long calls = 0;
    long runs = 0;

private:
    std::vector<std::string> environment(const Case& c, const Fault& fault) const;

    fs::path plotmerge_;
    fs::path library_;
    long stride_;
    long considered_ = 0;
};

std::vector<std::string> Sweep::environment(const Case& c, const Fault& fault) const
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        if (variable.starts_with("LD_PRELOAD=") || variable.starts_with("PLOTMERGE_FAULT_")) continue;
        variables.emplace_back(variable);
    }
    variables.push_back("LD_PRELOAD=" + library_.string());
    variables.push_back("PLOTMERGE_FAULT_TRACE=" + (c.folder / "trace.txt").string());
    // The sanitizer runtime of a sanitized build would refuse a library loaded before it.
    if (std::getenv("ASAN_OPTIONS") == nullptr) variables.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
    if (fault.number > 0) {
        variables.push_back("PLOTMERGE_FAULT_AT=" + std::to_string(fault.number));
        variables.push_back("PLOTMERGE_FAULT_KIND=" + fault.kind);
    }
    return variables;
}

Outcome Sweep::run(const Case& c, const Fault& fault) const
{
    const fs::path folder = c.folder / "run";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& [name, bytes] : c.older) write_file(folder / name, bytes);
    fs::remove(c.folder / "trace.txt");

    // Answers through a pipe are written in full before the run starts; they
    // fit in the pipe's buffer, so each run reads them the same way.
    int input = -1;
    if (c.answers_by_pipe) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) std::abort();
        if (::write(ends[1], c.answers.data(), c.answers.size()) != static_cast<ssize_t>(c.answers.size())) std::abort();
        ::close(ends[1]);
        input = ends[0];
    } else {
        write_file(c.folder / "answers.txt", c.answers);
        input = ::open((c.folder / "answers.txt").c_str(), O_RDONLY | O_CLOEXEC);
    }
    const std::vector<std::string> variables = environment(c, fault);
    std::vector<char*> envp;
    for (const std::string& variable : variables) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    const std::string out_path = (c.folder / "stdout.txt").string();
    const std::string err_path = (c.folder / "stderr.txt").string();

    const pid_t child = ::fork();
    if (child == 0) {
        // Only the three standard streams reach the program.
        const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (input < 0 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(120);
        ::dup2(input, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::alarm(60);  // a run that hangs ends by SIGALRM, which the checks report
        char* argv[] = {const_cast<char*>(plotmerge_.c_str()), nullptr};
        ::execve(plotmerge_.c_str(), argv, envp.data());
        ::_exit(121);
    }
    ::close(input);
    int wait_status = 0;
    while (::waitpid(child, &wait_status, 0) < 0 && errno == EINTR) {
    }
    Outcome outcome;
    outcome.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    outcome.out = read_file(out_path);
    outcome.err = read_file(err_path);
    outcome.calls = parse_trace(read_file(c.folder / "trace.txt"), outcome.disturbed);
    return outcome;
}

// The kinds of failure a real system gives such a call.
std::vector<std::string> kinds_for(const TracedCall& call)
{
    if (call.call == "read") return {"eio", "eintr", "short"};
    if (call.call == "write") return {"eio", "enospc", "eintr", "short"};
    if (call.call == "open") {
        if ((call.size & O_CREAT) != 0) return {"eio", "enospc", "eintr"};
        return {"eio", "eintr"};
    }
    if (call.call == "close") return {"eio", "enospc", "eintr"};
    if (call.call == "ftruncate") return {"eio", "eintr"};
    return {};
}

// Standard error without the warning lines that come before a diagnostic.
std::string without_warnings(std::string err)
{
    while (err.starts_with("plotmerge: warning: ") && err.find('\n') != std::string::npos) err.erase(0, err.find('\n') + 1);
    return err;
}

bool is_one_diagnostic_line(const std::string& err)
{
    const std::string diagnostic = without_warnings(err);
    return diagnostic.starts_with("plotmerge: ") && diagnostic.find('\n') == diagnostic.size() - 1;
}

// The problems of one disturbed run, compared with the clean one.
std::vector<std::string> problems_of(const Case& c, const Outcome& clean, const Outcome& run, const TracedCall& call,
                                     const std::string& kind)
{
    std::vector<std::string> problems;
    if (!run.disturbed) problems.push_back("the call was never made");
    if (run.status != 0 && run.status != 2) {
        problems.push_back("exit status " + std::to_string(run.status) + " (a signal when above 128), expected 0 or 2");
        return problems;
    }
    const bool carried_on = kind == "eintr" || kind == "short";
    if (carried_on && (run.status != clean.status || run.err != clean.err)) {
        problems.push_back("exit status " + std::to_string(run.status) + " and diagnostic '" + run.err +
                           "', expected those of the clean run");
    }
    // A warning that cannot be written is lost, and changes no status: the
    // run ends as the clean one, its outputs as they were.
    if (!carried_on && call.call == "write" && call.descriptor == 2 && clean.status == 0) {
        if (run.status != 0) problems.push_back("a lost warning gave exit status " + std::to_string(run.status));
        for (const auto& [name, bytes] : c.expected) {
            if (read_file(c.folder / "run" / name) != bytes) problems.push_back(name + " differs from the clean run's");
        }
        return problems;
    }
    if (!carried_on && run.status != 2) problems.push_back("exit status " + std::to_string(run.status) + ", expected 2");

    const fs::path folder = c.folder / "run";
    if (run.status == 0) {
        if (run.err != clean.err) problems.push_back("standard error after status 0 is not the clean run's: " + run.err);
        if (run.out != clean.out) problems.push_back("standard output differs from the clean run's");
        for (const auto& [name, bytes] : c.expected) {
            if (read_file(folder / name) != bytes) problems.push_back(name + " differs from the clean run's");
        }
        return problems;
    }
    // A diagnostic that could not be written is lost; only the status tells.
    const bool diagnostic_lost = !carried_on && call.call == "write" && call.descriptor == 2;
    if (!diagnostic_lost && !is_one_diagnostic_line(run.err)) {
        problems.push_back("standard error is not one diagnostic line: '" + run.err.substr(0, 300) + "'");
    }
    if (!clean.out.starts_with(run.out)) problems.push_back("standard output is not the start of the clean run's");
    // A cut that failed leaves what the diagnostic owns up to.
    if (call.call == "ftruncate" && run.err.find("cutting") != std::string::npos) return problems;
    for (const auto& [name, clean_bytes] : c.expected) {
        if (!fs::exists(folder / name)) continue;
        const std::string bytes = read_file(folder / name);
        const auto older = c.older.find(name);
        if (older != c.older.end() && bytes == older->second) continue;
        if (!clean_bytes.starts_with(bytes)) {
            problems.push_back(name + " is neither its older content nor the start of the clean run's (" +
                               std::to_string(bytes.size()) + " bytes)");
        } else if (!bytes.empty() && bytes.back() != '\n') {
            problems.push_back(name + " ends in a partial line (" + std::to_string(bytes.size()) + " bytes)");
        }
    }
    return problems;
}

bool Sweep::sweep(const Case& c)
{
    bool passed = true;
    const Outcome clean = run(c, {});
    // The warnings of a clean run (values too large for their fields, say) aside.
    if (clean.status != c.expected_status || without_warnings(clean.err) != c.expected_diagnostic) {
        std::printf("  FAIL: clean run: exit status %d, standard error '%s'\n", clean.status, clean.err.c_str());
        return false;
    }
    if (clean.out != prompts_for_two_inputs()) {
        std::printf("  FAIL: clean run: standard output is not the five prompts\n");
        passed = false;
    }
    for (const auto& [name, bytes] : c.expected) {
        if (read_file(c.folder / "run" / name) != bytes) {
            std::printf("  FAIL: clean run: %s differs from the expected lines\n", name.c_str());
            passed = false;
        }
    }
    if (!passed) return false;

    long case_runs = 0;
    for (const TracedCall& call : clean.calls) {
        for (const std::string& kind : kinds_for(call)) {
            if (considered_++ % stride_ != 0) continue;
            const Outcome disturbed = run(c, {call.number, kind});
            ++case_runs;
            for (const std::string& problem : problems_of(c, clean, disturbed, call, kind)) {
                std::printf("  FAIL: call %ld (%s %ld %lld %s) %s: %s\n", call.number, call.call.c_str(),
                            call.descriptor, call.size, call.path.c_str(), kind.c_str(), problem.c_str());
                passed = false;
            }
        }
    }
    std::printf("  %zu calls, %ld disturbed runs\n", clean.calls.size(), case_runs);
    calls += static_cast<long>(clean.calls.size());
    runs += case_runs;
    return passed;
}

// ---- the cases --------------------------------------------------------------

std::string answer_lines(std::initializer_list<const char*> answers)
{
    std::string text;
    for (const char* answer : answers) {
        text += answer;
        text += '\n';
    }
    return text;
}

Case two_inputs(const fs::path& work, const std::string& name, int bad_line = 0)
{
    Case c;
    c.name = name;
    c.folder = work / name;
    fs::create_directories(c.folder);
    write_file(c.folder / "in1.plt", make_input(1, kDataLines));
    write_file(c.folder / "in2.plt", make_input(2, kDataLines, bad_line));
    c.answers = answer_lines({"2", "../in1.plt", "../in2.plt", "1.0", "0.5", "A", "Y"});
    c.answers_by_pipe = true;
    c.expected["AVG_CONC.PLT"] = expected_output(Mode::Average, 0.5, kDataLines, 1);
    c.expected["RISK.PLT"] = expected_output(Mode::Average, 0.5, kDataLines, 744);
    return c;
}

std::vector<Case> all_cases(const fs::path& work)
{
    std::vector<Case> cases;
    cases.push_back(two_inputs(work, "average_with_risk_output"));

    // Older outputs, longer than the new ones and of other lines.
    Case older = two_inputs(work, "average_over_older_longer_outputs");
    older.older["AVG_CONC.PLT"] = make_input(2, kDataLines + 500);
    older.older["RISK.PLT"] = make_input(1, kDataLines + 700);
    cases.push_back(older);

    // Answers from a file of 80 KiB, more than the answer reader takes at
    // once: blank lines before the count and the mode, comments after the
    // values, CR LF line ends. In Sum mode the largest risk values no longer
    // fit their field.
    Case sum = two_inputs(work, "sum_with_answers_from_a_file");
    sum.answers_by_pipe = false;
    sum.answers = std::string(40000, '\n') + "2    two runs\r\n../in1.plt\r\n../in2.plt\r\n1.0  first\r\n1D0  second\r\n" +
                  std::string(40000, '\n') + "S\r\nY\r\n";
    sum.expected.clear();
    sum.expected["SUM_CONC.PLT"] = expected_output(Mode::Sum, 1, kDataLines, 1);
    sum.expected["RISK.PLT"] = expected_output(Mode::Sum, 1, kDataLines, 744);
    cases.push_back(sum);

    // A run that stops at a field that is not a number stops the same way,
    // with the lines before it, whatever else fails; the diagnostic's own
    // write is among its calls.
    Case stopped = two_inputs(work, "average_stopped_by_a_field", 5000);
    stopped.expected["AVG_CONC.PLT"] = expected_output(Mode::Average, 0.5, 4999, 1);
    stopped.expected["RISK.PLT"] = expected_output(Mode::Average, 0.5, 4999, 744);
    stopped.expected_status = 2;
    stopped.expected_diagnostic =
        "plotmerge: converting a field of '../in2.plt': line 5003: field value holds '        12.5X', which is not a "
        "number\n";
    cases.push_back(stopped);
    return cases;
}

}  // namespace

int main(int argc, char** argv)
{
    const long stride = argc == 4 ? std::atol(argv[3]) : 1;
    if ((argc != 3 && argc != 4) || stride < 1) {
        std::fprintf(stderr, "usage: %s PATH_TO_PLOTMERGE PATH_TO_FAIL_NTH_CALL_LIBRARY [STRIDE]\n", argv[0]);
        return 2;
    }
    if (stride > 1) std::printf("only every %ld-th disturbed run is made\n", stride);
    const auto started = std::chrono::steady_clock::now();
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern = std::string(temporary != nullptr ? temporary : "/tmp") + "/plotmerge-every-call.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const fs::path work = pattern;
    Sweep sweep(fs::absolute(argv[1]), fs::absolute(argv[2]), stride);
    int failures = 0;
    for (const Case& c : all_cases(work)) {
        const bool passed = sweep.sweep(c);
        std::printf("%s %s\n", passed ? "ok     " : "FAILED ", c.name.c_str());
        std::fflush(stdout);
        if (!passed) ++failures;
    }
    fs::remove_all(work);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("every call: %ld calls in 4 clean runs, %ld disturbed runs, %.1f s; %d cases failed\n", sweep.calls,
                sweep.runs, seconds, failures);
    return failures == 0 ? 0 : 1;
}
