#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>

// Unit tests run without a display: Allegro's memory bitmaps, fonts and the polled
// key/mouse globals all work with the null system driver.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(16);
    return RUN_ALL_TESTS();
}
END_OF_MAIN()
