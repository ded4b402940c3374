// The wizard's tests run on Qt's offscreen platform inside the program's own
// application object.
#include "ui/guarded_application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    tesslow::GuardedApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
