// The two helpers of the end-to-end measurement (describe_end_to_end.py):
//
//   containers_project write <clips> <file>   writes the containers benchmark's project
//   containers_project expat <file>            reads the file and makes the raw expat pass
//
// so that the built tool and the floor it is compared with read the same bytes from the same
// file, each in a process of its own.

#include "ContainersProject.h"
#include "ExpatPass.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

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
        std::fprintf(stderr, "usage: containers_project write <clips> <file> | expat <file>\n");
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "containers_project: %s\n", error.what());
        return 1;
    }
}
