// One main for every test: the event-driven parts (serial port, pseudo-terminal
// server, timers) need a QCoreApplication.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

// The test program run again as a child by a test that needs several real processes:
// "--history-appender FILE TAG COUNT" appends COUNT records to FILE (tests/test_history.cpp).
int HistoryAppenderMain(const QStringList &arguments);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--history-appender") == 0)
        return HistoryAppenderMain(app.arguments().mid(2));
    // What the runs append to the service history (every send and calibration) goes to
    // a folder of this run, never into the user's own data folder. A test that looks
    // at the history points XDG_DATA_HOME at a folder of its own.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
