// The main of the test programs that show Qt widgets: they need a QApplication on the main
// thread before any test runs, and like every test program a fresh registry folder; listing
// the tests (as the build does to register them) needs neither.
#include <cstdlib>

#include <QApplication>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    TempDir registry;
    setenv("TKV_REGISTRY_DIR", registry.Path().c_str(), 1);
    // No sound card: a test that wants the sound sets another driver itself.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
