// One application object for every test: widgets need it, and the tests run the real event loop.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    // No display is needed, whether CTest or a person starts the tests.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Every application the tests start registers its workspace extension: into a state folder of
    // this run, never into the person's own.
    std::string state =
        (std::filesystem::temp_directory_path() / "velotrack-app-tests-XXXXXX").string();
    if (::mkdtemp(state.data()) == nullptr) {
        std::perror("velotrack-app-tests: no temporary state folder");
        return 1;
    }
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        QApplication application(argc, argv);
        status = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(state, ignored);
    return status;
}
