// The virtual indicator's memories, driven with frames written out by hand (no
// address, checksum off): what the memory sequence tests cannot see through it (the
// selector it ignores, lines not stored without their command) and the bank a state
// file carries. Loading and storing records, headers, setpoints and EPL chunks is
// pinned by the memory sequence tests that run on it.

#include "sim/Memories.h"
#include "sim/Modules.h"
#include "sim/VirtualIndicator.h"
#include "support/SimFixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vx::sim;

namespace {

struct SimMemoriesTest : ::testing::Test {
    SimMemoriesTest() { InstallDefaultModules(device, {}); }
    QByteArray send(const QByteArray &frame) { return vx::test::SimAnswer(device, frame); }
    VirtualIndicator device{vx::test::WithoutChecksum()};
};

TEST_F(SimMemoriesTest, SelectorAfterTheLastStoresAndLoadsNothing)
{
    const StoredIdRecord before = StoredId(device, 100);
    send("@100069000C18" "E3" "00000063" "58" "202020202020202020202020202020" "0000");
    send("@100013000102000B");
    EXPECT_EQ(StoredId(device, 100).number, before.number);
    send("@100013000102000A");
    EXPECT_EQ(send("@0300690001"), "@0302E300\r") << "register 105 as written";
}

TEST_F(SimMemoriesTest, TicketLinesStoredOnlyByCommand4)
{
    const QByteArray before = StoredTicketLine(device, 0);
    send("@100028000A14" "4142432020202020202020202020202020202020");
    EXPECT_EQ(StoredTicketLine(device, 0), before);
    send("@1000130001020004");
    EXPECT_EQ(StoredTicketLine(device, 0), QByteArray("ABC                 ") + '\0');
    // Command 3 brings back what is stored.
    send("@100028000A14" "5A5A5A2020202020202020202020202020202020");
    send("@1000130001020003");
    EXPECT_EQ(send("@0300280002"), "@0304" "41424320\r");
}

TEST_F(SimMemoriesTest, StateFileCarriesTheBank)
{
    QTemporaryDir dir;
    SetStoredId(device, 7, 777, "KAYIT");
    SetStoredEpl(device, "P1\r\n");
    ASSERT_TRUE(device.saveState(dir.filePath("state.txt")));

    VirtualIndicator restarted(vx::test::WithoutChecksum());
    ASSERT_TRUE(restarted.loadState(dir.filePath("state.txt")));
    InstallDefaultModules(restarted, {});
    EXPECT_EQ(StoredId(restarted, 7).number, 777);
    EXPECT_EQ(StoredId(restarted, 2).number, 1001);
    EXPECT_EQ(StoredEpl(restarted).left(4), QByteArray("P1\r\n"));
}

}  // namespace
