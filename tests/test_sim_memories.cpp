// The virtual indicator's memories, driven with frames written out by hand (no
// address, checksum off): the load and store commands, the EPL area addressed by
// the byte, the selectors it ignores and the bank a state file carries.

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

TEST_F(SimMemoriesTest, IdRecordLoadedAndStoredBySelector)
{
    // Select memory record 1 (selector 0x80), load it, read 24 bytes.
    EXPECT_EQ(send("@1000690001028000"), "@100001\r");  // write acknowledged
    send("@100013000102000A");
    // Record 1 of the default image: 1001 "ÖZKAN HAFRİYAT" (Windows-1254), padded to 16.
    EXPECT_EQ(send("@030069000C"), "@0318" "80" "000003E9" "D65A4B414E2048414652DD5941542020" "000000\r");
    // Store a record under selector 0x81 (record index 3).
    send("@100069000C18" "81" "0000002A" "414243" "20202020202020202020202020" "0000");
    send("@100013000102000B");
    EXPECT_EQ(StoredId(device, 3).number, 42);
    EXPECT_EQ(StoredId(device, 3).name, "ABC             ");
}

TEST_F(SimMemoriesTest, SelectorAfterTheLastStoresAndLoadsNothing)
{
    const StoredIdRecord before = StoredId(device, 100);
    send("@100069000C18" "E3" "00000063" "58" "202020202020202020202020202020" "0000");
    send("@100013000102000B");
    EXPECT_EQ(StoredId(device, 100).number, before.number);
    send("@100013000102000A");
    EXPECT_EQ(send("@0300690001"), "@0302E300\r") << "register 105 as written";
}

TEST_F(SimMemoriesTest, IdHeaderSelectedLoadedAndStored)
{
    send("@1000D10001020100");
    send("@100013000102000F");
    EXPECT_EQ(send("@0300D10007"), "@030E" "01" "504C414B41" "00000000000000" "00\r");
    send("@1000D100070E" "00" "4B414E54415200");
    send("@1000130001020010");
    EXPECT_EQ(StoredIdHeader(device, 0), "KANTAR");
}

TEST_F(SimMemoriesTest, SetpointRecordLoadedAndStored)
{
    send("@1000750001020100");
    send("@1000130001020001");
    EXPECT_EQ(send("@0300750007"), "@030E" "01" "000009C4" "00001D4C" "00002EE0" "00\r");
    send("@10007500070E" "02" "00000001" "FFFFFFFF" "00000003" "00");
    send("@1000130001020002");
    EXPECT_EQ(StoredSetpoint(device, 2), (std::array<qint32, 3>{1, -1, 3}));
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

TEST_F(SimMemoriesTest, EplAreaAddressedByTheByte)
{
    SetStoredEpl(device, "0123456789ABCDEF");
    EXPECT_EQ(send("@0300D90004"), "@0308" "3031323334353637\r");  // 217: bytes 0-7
    EXPECT_EQ(send("@0300E10004"), "@0308" "3839414243444546\r");  // 225: bytes 8-15
    // A 4-byte write at 221 is bytes 4-7; stored by command 21.
    send("@1000DD000204" "58595A21");
    EXPECT_EQ(send("@0300D90004"), "@0308" "3031323358595A21\r");
    EXPECT_TRUE(StoredEpl(device).startsWith("0123456789"));
    send("@1000130001020015");
    EXPECT_TRUE(StoredEpl(device).startsWith("0123XYZ!89"));
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
