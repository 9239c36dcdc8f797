#include "ApplicationMain.h"

int main(int argc, char** argv) {
    return velotrack::applicationMain(argc, argv);
}
