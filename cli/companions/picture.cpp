// velotrack-picture: `velotrack picture`, which draws with Qt (see Companion.h).

#include "Commands.h"
#include "Companion.h"

int main(int argc, char** argv) {
    return velotrack::cli::runCompanion(argc, argv, velotrack::cli::addPictureCommand);
}
