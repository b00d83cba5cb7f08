#include "report/preview/preview_window.h"

#include <gtest/gtest.h>

TEST(PreviewWindow, Builds)
{
    SUCCEED();
}
