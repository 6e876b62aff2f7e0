#include "fakes/FakeDefaults.h"

#include "Platform/Defaults.h"

#include <QApplication>
#include <gtest/gtest.h>

// Every test executable runs inside a QApplication with an in-memory preferences store,
// so that no test reads or writes the user's preferences.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    FakeDefaults defaults;
    Platform::setDefaultsForTesting(&defaults);
    const int result = RUN_ALL_TESTS();
    Platform::setDefaultsForTesting(nullptr);
    return result;
}
