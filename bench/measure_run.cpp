// measure_run <directory> <stdin-file> <stdout-file> <program> [arguments...]
// Runs program in directory with standard input and output redirected and
// prints one line: its exit status, wall seconds, CPU seconds (user and
// system) and peak resident memory in KiB.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + 1e-6 * static_cast<double>(time.tv_usec); }

double now()
{
    timespec time{};
    clock_gettime(CLOCK_MONOTONIC, &time);
    return static_cast<double>(time.tv_sec) + 1e-9 * static_cast<double>(time.tv_nsec);
}

// In the child: set up the directory and streams, then become program.
[[noreturn]] void run_child(char** argv)
{
    const int input = ::open(argv[2], O_RDONLY | O_CLOEXEC);
    const int output = ::open(argv[3], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (input < 0 || output < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 ||
        ::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "measure_run: cannot prepare the run: %s\n", std::strerror(errno));
        _exit(126);
    }
    ::execvp(argv[4], argv + 4);
    std::fprintf(stderr, "measure_run: cannot run '%s': %s\n", argv[4], std::strerror(errno));
    _exit(127);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: measure_run <directory> <stdin-file> <stdout-file> <program> [arguments...]\n");
        return 1;
    }
    const double start = now();
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("measure_run: fork");
        return 1;
    }
    if (child == 0) run_child(argv);

    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("measure_run: wait4");
            return 1;
        }
    }
    const double wall = now() - start;
    const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%d %.4f %.4f %ld\n", exit_status, wall, seconds(usage.ru_utime) + seconds(usage.ru_stime),
                usage.ru_maxrss);
    return 0;
}
