// The main of every test executable that does not bring its own: a Qt
// application object (for event loops and queued calls), then GoogleTest.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
