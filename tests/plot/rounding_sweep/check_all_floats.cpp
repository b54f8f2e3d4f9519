// Writes every one of the 2^32 float bit patterns into both real field shapes and E13.6
// and compares each text with the reference. Two threads, one per sign, since
// the two halves cost the same. Prints the first disagreements and a count;
// exits 1 when there is any.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "field_disagreement.hpp"

namespace {

constexpr std::uint64_t kPatterns = std::uint64_t{1} << 32;
constexpr std::uint64_t kReportedDisagreements = 20;
constexpr std::uint64_t kProgressStep = std::uint64_t{1} << 28;

std::mutex print_lock;
std::atomic<std::uint64_t> disagreements{0};
std::atomic<std::uint64_t> checked{0};

void check_range(std::uint64_t begin, std::uint64_t end)
{
    for (std::uint64_t bits = begin; bits < end; ++bits) {
        const std::string disagreement = field_disagreement(float_from_bits(static_cast<std::uint32_t>(bits)));
        if (!disagreement.empty() && disagreements++ < kReportedDisagreements) {
            const std::lock_guard<std::mutex> hold(print_lock);
            std::printf("%s\n", disagreement.c_str());
        }
        if ((bits + 1) % kProgressStep == 0) {
            const std::uint64_t done = checked += kProgressStep;
            const std::lock_guard<std::mutex> hold(print_lock);
            std::printf("%3u%% checked\n", static_cast<unsigned>(done * 100 / kPatterns));
            std::fflush(stdout);
        }
    }
}

}  // namespace

int main()
{
    const auto start = std::chrono::steady_clock::now();
    std::thread positive(check_range, 0, kPatterns / 2);
    std::thread negative(check_range, kPatterns / 2, kPatterns);
    positive.join();
    negative.join();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%llu float bit patterns checked in (13, 5), (8, 2) and E13.6 in %.0f s: %llu disagreements\n",
                static_cast<unsigned long long>(kPatterns), elapsed.count(),
                static_cast<unsigned long long>(disagreements.load()));
    return disagreements.load() == 0 ? 0 : 1;
}
