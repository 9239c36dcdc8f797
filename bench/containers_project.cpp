// The two helpers of the end-to-end measurement (describe_end_to_end.py):
//
//   containers_project write <clips> <file>   writes the containers benchmark's project
//   containers_project expat <file>            reads the file and makes the raw expat pass
//   containers_project measure <program> <arguments>...
//                                              runs the program with its output to /dev/null
//                                              and prints "<CPU s> <wall s> <peak bytes>"
//
// so that the built tool and the floor it is compared with read the same bytes from the same
// file, each in a process of its own. A process's peak resident memory counts the process it was
// forked from until its exec, so a program started straight from Python would never show less
// than the interpreter's own size; started from this small program it shows its own peak.

#include "ContainersProject.h"
#include "ExpatPass.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int measure(char** argv) {
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("containers_project: fork");
        return 1;
    }
    if (child == 0) {
        const int sink = open("/dev/null", O_WRONLY);
        dup2(sink, STDOUT_FILENO);
        execv(argv[0], argv);
        std::perror("containers_project: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("containers_project: wait");
        return 1;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    std::printf("%.6f %.6f %lld\n", seconds(usage.ru_utime) + seconds(usage.ru_stime), wall.count(),
                static_cast<long long>(usage.ru_maxrss) * 1024);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "write" && argc == 4) {
            const auto clips = static_cast<std::size_t>(std::stoul(argv[2]));
            std::ofstream(argv[3], std::ios::binary) << velotrack::bench::generatedProject(clips);
            return 0;
        }
        if (mode == "expat" && argc == 3) {
            std::ifstream file(argv[2], std::ios::binary);
            const std::string xml{std::istreambuf_iterator<char>(file),
                                  std::istreambuf_iterator<char>()};
            std::printf("%lld\n", velotrack::bench::expatEventPass(xml));
            return 0;
        }
        if (mode == "measure" && argc > 2) {
            return measure(argv + 2);
        }
        std::fprintf(stderr, "usage: containers_project write <clips> <file> | expat <file> | "
                             "measure <program> <arguments>...\n");
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "containers_project: %s\n", error.what());
        return 1;
    }
}
