// The Telnet session of a network port with the COM port control option (RFC 2217):
// the bytes it sends and how it takes apart what a server sends, written out by hand.

#include "link/Telnet.h"

#include <gtest/gtest.h>

namespace vx::test {
namespace {

using telnet::Session;

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

TEST(TelnetSession, OpensAskingForTheComPortOptionBinaryAndNoGoAhead)
{
    Session t;
    EXPECT_EQ(t.opening(), bytes({0xFF, 0xFB, 44, 0xFF, 0xFB, 0, 0xFF, 0xFD, 0, 0xFF, 0xFB, 3, 0xFF, 0xFD, 3}));
    EXPECT_EQ(t.opening(), QByteArray()) << "asked once";
}

TEST(TelnetSession, LineCommandsSetSpeedBitsParityStopsAndNoFlowControl)
{
    EXPECT_EQ(telnet::LineCommands(19200, 8, telnet::ComPort::ParityNone, telnet::ComPort::StopOne),
              bytes({0xFF, 0xFA, 44, 1, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0,  // 19200 = 0x4B00
                     0xFF, 0xFA, 44, 2, 8, 0xFF, 0xF0,                     //
                     0xFF, 0xFA, 44, 3, 1, 0xFF, 0xF0,                     //
                     0xFF, 0xFA, 44, 4, 1, 0xFF, 0xF0,                     //
                     0xFF, 0xFA, 44, 5, 1, 0xFF, 0xF0}));
    EXPECT_EQ(telnet::LineCommands(1200, 7, telnet::ComPort::ParityEven, telnet::ComPort::StopTwo).mid(10, 21),
              bytes({0xFF, 0xFA, 44, 2, 7, 0xFF, 0xF0, 0xFF, 0xFA, 44, 3, 3, 0xFF, 0xF0, 0xFF, 0xFA, 44, 4, 2, 0xFF,
                     0xF0}));
    // 0xFF inside a subnegotiation's value is doubled too.
    EXPECT_EQ(telnet::ComPortCommand(telnet::ComPort::SetBaudRate, bytes({0, 0, 0xFF, 0xFF})),
              bytes({0xFF, 0xFA, 44, 1, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0}));
}

TEST(TelnetSession, DataOutDoublesIacAndFollowsTheCrRuleUntilBinaryIsAgreed)
{
    Session t;
    t.opening();
    EXPECT_EQ(t.escape(bytes({'@', 0xFF, '\r'})), bytes({'@', 0xFF, 0xFF, '\r', 0}));
    QByteArray data;
    EXPECT_EQ(t.feed(bytes({0xFF, 0xFD, 0}), data), QByteArray()) << "DO BINARY answers our WILL: nothing to say";
    EXPECT_EQ(t.escape(bytes({'@', 0xFF, '\r'})), bytes({'@', 0xFF, 0xFF, '\r'}));
}

// What ser2net 4.3 sends when a client opens as ours does (seen on the wire).
const QByteArray Ser2netGreeting = bytes({0xFF, 0xFB, 3, 0xFF, 0xFD, 3, 0xFF, 0xFB, 1, 0xFF, 0xFE, 1, 0xFF, 0xFD, 0,
                                          0xFF, 0xFB, 0, 0xFF, 0xFD, 44, 0xFF, 0xFA, 44, 107, 0, 0xFF, 0xF0, 0xFF,
                                          0xFD, 3});

TEST(TelnetSession, AnswersAServersGreetingOnceAndRefusesWhatItDoesNotKnow)
{
    Session t;
    t.opening();
    QByteArray data;
    // Only the echo it offers is refused; everything else answers our own requests.
    EXPECT_EQ(t.feed(Ser2netGreeting, data), bytes({0xFF, 0xFE, 1}));
    EXPECT_TRUE(data.isEmpty());
    EXPECT_TRUE(t.comPortAgreed());
    EXPECT_FALSE(t.comPortRefused());
    // Asked again, an agreed option is not answered (no endless answering); an unknown one is refused.
    EXPECT_EQ(t.feed(bytes({0xFF, 0xFD, 0, 0xFF, 0xFB, 0, 0xFF, 0xFD, 24}), data), bytes({0xFF, 0xFC, 24}));
    // The server stops binary: acknowledged once.
    EXPECT_EQ(t.feed(bytes({0xFF, 0xFC, 0, 0xFF, 0xFC, 0}), data), bytes({0xFF, 0xFE, 0}));
    EXPECT_TRUE(data.isEmpty());
}

TEST(TelnetSession, AGreetingCutAnywhereGivesTheSameAnswers)
{
    Session whole;
    whole.opening();
    QByteArray data;
    const QByteArray expected = whole.feed(Ser2netGreeting + bytes({0xFF, 0xFA, 44, 101, 0, 0, 0x4B, 0, 0xFF, 0xF0}), data);
    for (int cut = 1; cut < 8; ++cut) {
        Session t;
        t.opening();
        QByteArray replies, pieces;
        const QByteArray all = Ser2netGreeting + bytes({0xFF, 0xFA, 44, 101, 0, 0, 0x4B, 0, 0xFF, 0xF0});
        for (qsizetype at = 0; at < all.size(); at += cut)
            replies += t.feed(all.mid(at, cut), pieces);
        EXPECT_EQ(replies, expected) << cut;
        EXPECT_EQ(t.serverBaud(), 19200u) << cut;
        EXPECT_TRUE(pieces.isEmpty()) << cut;
    }
}

TEST(TelnetSession, DataInLosesTheProtocolAndKeepsEveryByte)
{
    Session t;
    t.opening();
    QByteArray data;
    // A doubled IAC is one 0xFF; a subnegotiation between the bytes of an answer is taken out.
    t.feed(bytes({'@', '1', 0xFF, 0xFF, '2', 0xFF, 0xFA, 44, 106, 0x60, 0xFF, 0xF0, '3', '\r'}), data);
    EXPECT_EQ(data, bytes({'@', '1', 0xFF, '2', '3', '\r'}));

    // Before the server sends binary, its CR comes as CR NUL; after, a NUL is data.
    data.clear();
    t.feed(bytes({'A', '\r', 0, 'B'}), data);
    EXPECT_EQ(data, bytes({'A', '\r', 'B'}));
    data.clear();
    t.feed(bytes({0xFF, 0xFB, 0, 'A', '\r', 0, 'B'}), data);
    EXPECT_EQ(data, bytes({'A', '\r', 0, 'B'}));
}

TEST(TelnetSession, ASpeedAnswerWithAnEscapedByteAndAnOverlongSubnegotiation)
{
    Session t;
    QByteArray data;
    t.feed(bytes({0xFF, 0xFA, 44, 101, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0}), data);
    EXPECT_EQ(t.serverBaud(), 65535u);
    EXPECT_EQ(t.serverBaudAnswers(), 1);
    // Longer than any the option has: dropped whole, and what follows is read as usual.
    QByteArray longSub = bytes({0xFF, 0xFA, 44, 101});
    longSub += QByteArray(Session::MaxSubnegotiation + 10, char(1));
    longSub += bytes({0xFF, 0xF0, 'O', 'K'});
    t.feed(longSub, data);
    EXPECT_EQ(t.serverBaud(), 65535u);
    EXPECT_EQ(data, "OK");
}

TEST(TelnetSession, AServerThatRefusesTheComPortOptionIsNoted)
{
    Session t;
    t.opening();
    QByteArray data;
    EXPECT_EQ(t.feed(bytes({0xFF, 0xFE, 44}), data), QByteArray()) << "a refusal of our request is not answered";
    EXPECT_TRUE(t.comPortRefused());
    EXPECT_FALSE(t.comPortAgreed());
}

}  // namespace
}  // namespace vx::test
