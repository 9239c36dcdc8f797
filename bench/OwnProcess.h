#pragma once

// Shared by the benchmark programs: each measurement runs in a process of its own.
//
// Loading allocates a few hundred MiB. Measured one after another in one process, a smaller
// document reuses the pages a larger one (or an earlier benchmark) left in the heap while a
// larger one pays the kernel for fresh pages, so sizes compare unfairly. A child process per
// run starts every measurement from the same empty heap; a first unmeasured run then grows it
// to what the work needs, as a second document loaded by the same tool would find it.

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

// The CPU seconds of one run of `work`, measured in a fresh child process after one unmeasured
// run there. Throws std::runtime_error when the child cannot be started or does not report.
template <class Work> double cpuSecondsInOwnProcess(Work&& work) {
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
            work();
            const double begin = processSeconds();
            work();
            const double seconds = processSeconds() - begin;
            const bool reported = write(channel[1], &seconds, sizeof seconds) == sizeof seconds;
            _exit(reported ? 0 : 1);
        } catch (...) {
            _exit(1);
        }
    }
    close(channel[1]);
    double seconds = -1;
    const bool received = read(channel[0], &seconds, sizeof seconds) == sizeof seconds;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the measuring process failed");
    }
    return seconds;
}

} // namespace velotrack::bench
