#pragma once

// Shared by the benchmark programs: each measurement runs in a process of its own.
//
// Loading allocates a few hundred MiB. Measured one after another in one process, a smaller
// document reuses the pages a larger one (or an earlier benchmark) left in the heap while a
// larger one pays the kernel for fresh pages, so sizes compare unfairly. A child process per
// measurement starts from the same heap every time, and times two runs: the first, which pays
// for every page it needs, as a command-line tool loading one document does; and the second,
// which finds the heap the first left behind, as an application loading documents one after
// another does. (The C library still maps blocks above 32 MiB afresh for every run.)

#include "QuietLogging.h"

#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace velotrack::bench {

// The CPU time of the calling process, in seconds: on a shared machine it is steadier than the
// wall clock, and everything measured here runs on one thread.
inline double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The CPU seconds of two runs of `work` in one process.
struct RunTimes {
    double first = 0;
    double second = 0;
};

// Both runs of `work` in a fresh child process. Throws std::runtime_error when the child cannot
// be started or does not report.
template <class Work> RunTimes cpuSecondsInOwnProcess(Work&& work) {
    int channel[2];
    if (pipe(channel) != 0) {
        throw std::runtime_error("no pipe for the measuring process");
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("the measuring process could not be started");
    }
    if (child == 0) {
        // The child only measures: it never returns into the caller, whatever happens.
        close(channel[0]);
        try {
            quietLogging();
            RunTimes times;
            for (double* run : {&times.first, &times.second}) {
                const double begin = processSeconds();
                work();
                *run = processSeconds() - begin;
            }
            const bool reported = write(channel[1], &times, sizeof times) == sizeof times;
            _exit(reported ? 0 : 1);
        } catch (...) {
            _exit(1);
        }
    }
    close(channel[1]);
    RunTimes times;
    const bool received = read(channel[0], &times, sizeof times) == sizeof times;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the measuring process failed");
    }
    return times;
}

} // namespace velotrack::bench
