// Test entry for the binaries that need a QApplication: GUI tests run headless.
#include <gmock/gmock.h>
#include <cstdlib>
#include <QApplication>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
