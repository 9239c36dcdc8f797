// velotrack-share: `velotrack share`, whose share assets read movies with FFmpeg (see
// Companion.h).

#include "Commands.h"
#include "Companion.h"

int main(int argc, char** argv) {
    return velotrack::cli::runCompanion(argc, argv, velotrack::cli::addShareCommand);
}
