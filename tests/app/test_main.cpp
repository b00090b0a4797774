// Test entry for the window tests: the real Qt window runs offscreen, with a private runtime
// folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

int main(int argc, char** argv) {
    // Window tests never need a display; without one and without this, Qt aborts.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char runtimeDir[] = "/tmp/tallowind-window-test-XXXXXX";  // mkdtemp makes it 0700
    const char* runtime = mkdtemp(runtimeDir);
    if (runtime != nullptr) {
        setenv("XDG_RUNTIME_DIR", runtime, 1);
    }
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (runtime != nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }
    return result;
}
