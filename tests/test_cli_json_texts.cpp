// vextora-cli --json: no text of any command ends in blanks (the indicator pads its
// texts, the window trims nothing), checked over every string of the answer, against
// the in-process virtual indicator.

#include "support/CliProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;

// Every string in the value with a trailing blank, as "path: text".
void collectPadded(const QJsonValue &v, const QString &path, QStringList &out)
{
    if (v.isString()) {
        const QString s = v.toString();
        if (!s.isEmpty() && s.back().isSpace())
            out << QStringLiteral("%1: \"%2\"").arg(path, s);
    } else if (v.isArray()) {
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size(); ++i)
            collectPadded(a.at(i), QStringLiteral("%1[%2]").arg(path).arg(i), out);
    } else if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            collectPadded(it.value(), path + QLatin1Char('.') + it.key(), out);
    }
}

TEST(CliJsonTexts, NoTextOfIdentifyStatusParamsOrCalibrateEndsInBlanks)
{
    InProcessIndicator sim;
    // Texts the indicator pads with blanks: the version ("ZR2 V2.20 ") and the second text.
    sim.device.setSecondText(QStringLiteral("SN 1234   "));
    InProcessCli cli;
    const QList<QStringList> commands = {
        {"--json", "identify"},
        {"--json", "status"},
        {"--json", "params"},
        {"--json", "calibrate", "zero", "--yes"},
    };
    for (const QStringList &args : commands) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = cli.run(sim, args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        QStringList padded;
        collectPadded(doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object()), args.at(1), padded);
        EXPECT_TRUE(padded.isEmpty()) << padded.join('\n').toStdString();
    }
}

}  // namespace
