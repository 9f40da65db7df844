// The main of every test program that has no main of its own: each program gets a fresh,
// empty registry folder, removed at the end, so no test reads or writes the user's.
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TempDir registry;
    setenv("TKV_REGISTRY_DIR", registry.Path().c_str(), 1);
    // No sound card: a test that wants the sound sets another driver itself.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return RUN_ALL_TESTS();
}
