#include <gtest/gtest.h>
#include "win_test_util.h"
TEST(Harness, CreatesAWindow)
{
    HWND w = CreateWindowExA(0, "STATIC", "x", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    ASSERT_NE(w, (HWND)NULL);
    EXPECT_EQ(vntest::WindowText(w), "x");
    DestroyWindow(w);
}
