#include "ApplicationMain.h"

#include <platform/Memory.h>

int main(int argc, char** argv) {
    // The window loads documents one after another; what each load frees goes back to the
    // system instead of staying in a heap that only grows.
    platform::Memory::returnLargeBlocksPromptly();
    return velotrack::applicationMain(argc, argv);
}
