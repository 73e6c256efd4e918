// One main for every test: the event-driven parts (serial port, pseudo-terminal
// server, timers) need a QCoreApplication.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // What the runs append to the service history (every send and calibration) goes to
    // a folder of this run, never into the user's own data folder. A test that looks
    // at the history points XDG_DATA_HOME at a folder of its own.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
