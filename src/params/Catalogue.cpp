#include "params/Catalogue.h"

#include "link/Registers.h"

#include "shell/LanguageTexts.h"

#include <array>

namespace vx::params {
namespace {

using O = Offered;
constexpr TextRef TL(const char *literal, int line, int skip) { return {literal, line, skip}; }

// ---- code -> text lists -------------------------------------------------------

constexpr Item k200[] = {{0, L(177)}, {1, L(178)}};
constexpr Item k201[] = {{0, L(179)}, {1, L(180)}};
constexpr Item k202[] = {{0, L(181)}, {1, L(182)}, {2, L(183)}};
// With [200] on, [203], [204] and [206] offer only their smallest settings.
constexpr Item k203[] = {{0, L(181)}, {1, L(184)}, {2, L(185), O::Not200}};
constexpr Item k204[] = {{0, L(181)}, {1, L(186)}, {2, L(187), O::Not200}, {3, L(188), O::Not200}};
constexpr Item k205[] = {{0, L(181)}, {1, L(189)}, {2, L(190), O::ZR2Only}};
constexpr TextRef k206Off = TL("4", 191, 1);  // "4" + line 191 without its first character
constexpr Item k206[] = {{0, T("0- ±0.3e")},
                         {1, T("1- ±0.5e"), O::Not200},
                         {2, T("2- ±1.0e"), O::Not200},
                         {3, T("3- ±2.0e"), O::Not200},
                         {4, k206Off, O::Not200}};
constexpr Item kTilt[] = {{0, L(335)}, {1, L(336)}, {2, L(337)}};
constexpr Item kOffOn[] = {{0, L(181)}, {1, L(214)}};
constexpr Item k120List[] = {{0, T("00")}, {1, T("01")}, {2, T("02")}, {3, T("03")}, {4, T("04")},
                             {5, T("05")}, {6, T("06")}, {7, T("07")}, {8, T("08")}, {9, T("09")}};
constexpr Item k100[] = {{0, L(192)}, {1, L(193)}, {2, L(194)}, {3, L(195)}, {4, L(196)}};
constexpr Item kFKey[] = {{0, L(181)}, {1, L(197)}, {2, L(198)}, {3, L(199)}, {4, L(200)}, {5, L(201)}};
constexpr Item k110[] = {{0, L(205)}, {1, L(206)}};
constexpr Item k111[] = {{0, L(203)}, {1, L(207)}, {2, L(208)}};
constexpr Item k112[] = {{0, L(209)}, {1, L(210)}};
constexpr Item k113[] = {{0, L(203)}, {1, L(204)}};
constexpr Item k130[] = {{0, L(181)}, {1, L(211)}, {2, L(212)}, {3, L(213)}};
constexpr Item kFilling[] = {{0, L(338)}, {1, L(339)}};
// Serial ports: function, baud rate, handshake, parity.
constexpr Item kPortRead[] = {{1, L(215)}, {2, L(216)}, {3, L(217)}, {4, L(218)}};
constexpr Item kPortList3[] = {{0, L(181)}, {1, L(215)}, {2, L(216)}, {3, L(217)}};
constexpr Item kPortList4[] = {{0, L(181)}, {1, L(215)}, {2, L(216)}, {3, L(217)}, {4, L(218)}};
constexpr Item kBaud[] = {{0, T("0-1200")},  {1, T("1-2400")},  {2, T("2-4800")}, {3, T("3-9600")},
                          {4, T("4-19200")}, {5, T("5-38400")}, {6, T("6-57600")}};
constexpr Item kHandshakeRead[] = {{1, T("1-xon/xoff")}, {2, T("2-RTS/CTS")}};
constexpr Item kHandshakeList[] = {{0, L(219)}, {1, L(220)}, {2, L(221)}};
constexpr Item kParityRead[] = {{1, T("1-ODD")}, {2, T("2-EVEN")}};
constexpr Item kParityList[] = {
    {0, T("0- 8 bit,NONE parity")}, {1, T("1- 7 bit,ODD parity")}, {2, T("2- 7 bit,EVEN parity")}};
constexpr Item k024[] = {{0, L(222)}, {1, L(223)}, {2, L(224)}};
constexpr Item k040[] = {{1, L(225)}, {2, L(226)}, {3, L(323), O::ZR2Only}, {4, L(227)}};
constexpr Item k041[] = {{0, L(181)}, {1, L(228)}};
constexpr Item k043[] = {{0, L(181)}, {1, L(229)}, {2, L(230)}, {3, L(231)}};
constexpr Item k046[] = {{0, L(232)}, {1, L(233)}, {2, L(234)}};
constexpr Item k049List[] = {{1, T("1")}, {2, T("2")}, {3, T("3")}, {4, T("4")}, {5, T("5")},
                             {6, T("6")}, {7, T("7")}, {8, T("8")}, {9, T("9")}};
constexpr Item k210[] = {{0, L(175)}, {1, L(176)}};

// ---- the rows -----------------------------------------------------------------

using K = Kind;
using A = Area;
using G = Group;
using E = Editor;
using S = Shown;
using F = FileForm;

constexpr Row section(int row, int line) { return {.row = row, .caption = line, .kind = K::Section}; }

constexpr std::array<Row, RowCount> kRows = {{
    {.row = 0, .kind = K::Header},
    {.row = 1, .code = "140", .caption = 162, .kind = K::DateTime, .area = A::Clock, .width = 8,
     .group = G::DateTime, .editor = E::DateTime, .shown = S::ZR2Only},
    section(2, 126),
    {.row = 3, .code = "200", .caption = 127, .kind = K::Choice, .area = A::Configuration, .offset = 0, .width = 1,
     .group = G::Jmp, .read = k200, .otherText = L(177), .editor = E::List},
    {.row = 4, .code = "201", .caption = 128, .kind = K::Choice, .area = A::Configuration, .offset = 1, .width = 1,
     .group = G::Jmp, .read = k201, .otherText = L(179), .editor = E::List},
    {.row = 5, .code = "202", .caption = 129, .kind = K::Choice, .area = A::Configuration, .offset = 2, .width = 1,
     .group = G::Jmp, .read = k202, .otherText = L(181), .editor = E::List},
    {.row = 6, .code = "203", .caption = 130, .kind = K::Choice, .area = A::Configuration, .offset = 3, .width = 1,
     .group = G::Jmp, .read = k203, .otherText = L(181), .editor = E::List},
    {.row = 7, .code = "204", .caption = 131, .kind = K::Choice, .area = A::Configuration, .offset = 4, .width = 1,
     .group = G::Jmp, .read = k204, .otherText = L(181), .editor = E::List},
    {.row = 8, .code = "205", .caption = 132, .kind = K::Choice, .area = A::Configuration, .offset = 5, .width = 1,
     .group = G::Jmp, .read = k205, .otherText = L(181), .editor = E::List},
    {.row = 9, .code = "206", .caption = 133, .kind = K::Choice, .area = A::Configuration, .offset = 6, .width = 1,
     .group = G::Jmp, .read = k206, .otherText = k206Off, .editor = E::List},
    {.row = 10, .code = "207", .caption = 332, .kind = K::Choice, .area = A::Configuration, .offset = 8, .width = 1,
     .group = G::Jmp, .read = kTilt, .other = Other::Empty, .editor = E::List, .fileForm = F::FirstCharacter},
    {.row = 11, .code = "801", .caption = 134, .kind = K::Choice, .area = A::Configuration, .offset = 7, .width = 1,
     .group = G::Jmp, .read = kOffOn, .otherText = L(181), .editor = E::List},
    section(12, 135),
    {.row = 13, .code = "120", .caption = 136, .kind = K::Digit, .area = A::Configuration, .offset = 10, .width = 1,
     .group = G::Nrm, .list = k120List, .editor = E::List},
    {.row = 14, .code = "100", .caption = 137, .kind = K::Choice, .area = A::Configuration, .offset = 13, .width = 1,
     .group = G::Nrm, .read = k100, .otherText = L(192), .editor = E::List, .shown = S::ZR2Only},
    {.row = 15, .code = "131", .caption = 138, .kind = K::Choice, .area = A::Configuration, .offset = 14, .width = 1,
     .group = G::Nrm, .read = kFKey, .otherText = L(181), .editor = E::List},
    {.row = 16, .code = "132", .caption = 139, .kind = K::Choice, .area = A::Configuration, .offset = 15, .width = 1,
     .group = G::Nrm, .read = kFKey, .otherText = L(181), .editor = E::List},
    {.row = 17, .code = "133", .caption = 140, .kind = K::Choice, .area = A::Configuration, .offset = 16, .width = 1,
     .group = G::Nrm, .read = kFKey, .otherText = L(181), .editor = E::List},
    {.row = 18, .code = "101", .caption = 142, .kind = K::Weight, .area = A::Configuration, .offset = 18, .width = 4,
     .group = G::Nrm, .editor = E::Text, .maxLength = 6, .shown = S::ZR2Only, .fileForm = F::RawNumber},
    {.row = 19, .code = "102", .caption = 143, .kind = K::Number, .area = A::Configuration, .offset = 22, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 2, .shown = S::ZR2Only},
    {.row = 20, .code = "104", .caption = 144, .kind = K::Weight, .area = A::Configuration, .offset = 23, .width = 4,
     .group = G::Nrm, .editor = E::Text, .maxLength = 6, .shown = S::ZR2Only, .fileForm = F::RawNumber},
    {.row = 21, .code = "103", .caption = 145, .kind = K::Tenths, .area = A::Configuration, .offset = 27, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 3, .shown = S::ZR2Only},
    {.row = 22, .code = "110", .caption = 146, .kind = K::Choice, .area = A::Configuration, .offset = 28, .width = 1,
     .group = G::Nrm, .read = k110, .otherText = L(205), .editor = E::List, .shown = S::Never},
    {.row = 23, .code = "111", .caption = 147, .kind = K::Choice, .area = A::Configuration, .offset = 29, .width = 1,
     .group = G::Nrm, .read = k111, .otherText = L(203), .editor = E::List},
    {.row = 24, .code = "112", .caption = 148, .kind = K::Choice, .area = A::Configuration, .offset = 30, .width = 1,
     .group = G::Nrm, .read = k112, .otherText = L(209), .editor = E::List},
    {.row = 25, .code = "113", .caption = 149, .kind = K::Choice, .area = A::Configuration, .offset = 31, .width = 1,
     .group = G::Nrm, .read = k113, .otherText = L(203), .editor = E::List},
    {.row = 26, .code = "130", .caption = 150, .kind = K::Choice, .area = A::Configuration, .offset = 33, .width = 1,
     .group = G::Nrm, .read = k130, .otherText = L(181), .editor = E::List},
    {.row = 27, .code = "105", .caption = 333, .kind = K::Choice, .area = A::Configuration, .offset = 35, .width = 1,
     .group = G::Nrm, .read = kFilling, .other = Other::Empty, .editor = E::List, .shown = S::ZR2Only, .fileForm = F::FirstCharacter},
    section(28, 151),
    {.row = 29, .code = "000", .caption = 152, .kind = K::Choice, .area = A::Configuration, .offset = 36, .width = 1,
     .group = G::Nrm, .read = kPortRead, .otherText = L(219), .list = kPortList3, .editor = E::List},
    {.row = 30, .code = "001", .caption = 153, .kind = K::Choice, .area = A::Configuration, .offset = 37, .width = 1,
     .group = G::Nrm, .read = kBaud, .otherText = T("0-1200"), .editor = E::List},
    {.row = 31, .code = "002", .caption = 154, .kind = K::Choice, .area = A::Configuration, .offset = 40, .width = 1,
     .group = G::Nrm, .read = kHandshakeRead, .otherText = L(219), .list = kHandshakeList, .editor = E::List},
    {.row = 32, .code = "003", .caption = 155, .kind = K::Number, .area = A::Configuration, .offset = 38, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 2},
    {.row = 33, .code = "004", .caption = 322, .kind = K::Choice, .area = A::Configuration, .offset = 42, .width = 1,
     .group = G::Nrm, .read = kParityRead, .otherText = T("0-NONE"), .list = kParityList, .editor = E::List},
    section(34, 156),
    {.row = 35, .code = "010", .caption = 152, .kind = K::Choice, .area = A::Configuration, .offset = 44, .width = 1,
     .group = G::Nrm, .read = kPortRead, .otherText = L(219), .list = kPortList3, .editor = E::List},
    {.row = 36, .code = "011", .caption = 153, .kind = K::Choice, .area = A::Configuration, .offset = 45, .width = 1,
     .group = G::Nrm, .read = kBaud, .otherText = T("0-1200"), .editor = E::List},
    {.row = 37, .code = "012", .caption = 154, .kind = K::Choice, .area = A::Configuration, .offset = 48, .width = 1,
     .group = G::Nrm, .read = kHandshakeRead, .otherText = L(219), .list = kHandshakeList, .editor = E::List},
    {.row = 38, .code = "013", .caption = 155, .kind = K::Number, .area = A::Configuration, .offset = 46, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 2},
    {.row = 39, .code = "014", .caption = 322, .kind = K::Choice, .area = A::Configuration, .offset = 50, .width = 1,
     .group = G::Nrm, .read = kParityRead, .otherText = T("0-NONE"), .list = kParityList, .editor = E::List},
    section(40, 157),
    {.row = 41, .code = "020", .caption = 152, .kind = K::Choice, .area = A::Configuration, .offset = 52, .width = 1,
     .group = G::Nrm, .read = kPortRead, .otherText = L(219), .list = kPortList4, .editor = E::List},
    {.row = 42, .code = "021", .caption = 153, .kind = K::Choice, .area = A::Configuration, .offset = 53, .width = 1,
     .group = G::Nrm, .read = kBaud, .otherText = T("0-1200"), .editor = E::List},
    {.row = 43, .code = "022", .caption = 154, .kind = K::Choice, .area = A::Configuration, .offset = 56, .width = 1,
     .group = G::Nrm, .read = kHandshakeRead, .otherText = L(219), .list = kHandshakeList, .editor = E::List},
    {.row = 44, .code = "023", .caption = 155, .kind = K::Number, .area = A::Configuration, .offset = 54, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 2},
    {.row = 45, .code = "024", .caption = 158, .kind = K::Choice, .area = A::Configuration, .offset = 55, .width = 1,
     .group = G::Nrm, .read = k024, .otherText = L(222), .editor = E::List},
    {.row = 46, .code = "025", .caption = 322, .kind = K::Choice, .area = A::Configuration, .offset = 58, .width = 1,
     .group = G::Nrm, .read = kParityRead, .otherText = T("0-NONE"), .list = kParityList, .editor = E::List},
    section(47, 159),
    {.row = 48, .code = "030", .caption = 152, .kind = K::Choice, .area = A::Configuration, .offset = 60, .width = 1,
     .group = G::Nrm, .read = kPortRead, .otherText = L(219), .list = kPortList4, .editor = E::List},
    {.row = 49, .code = "031", .caption = 155, .kind = K::Number, .area = A::Configuration, .offset = 62, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 2},
    section(50, 160),
    {.row = 51, .code = "040", .caption = 161, .kind = K::Choice, .area = A::Configuration, .offset = 68, .width = 1,
     .group = G::Nrm, .read = k040, .other = Other::Keep, .editor = E::List},
    {.row = 52, .code = "041", .caption = 162, .kind = K::Choice, .area = A::Configuration, .offset = 69, .width = 1,
     .group = G::Nrm, .read = k041, .otherText = L(181), .editor = E::List, .shown = S::ZR2Only},
    {.row = 53, .code = "042", .caption = 163, .kind = K::Choice, .area = A::Configuration, .offset = 71, .width = 1,
     .group = G::Nrm, .read = kOffOn, .otherText = L(181), .editor = E::List},
    {.row = 54, .code = "043", .caption = 164, .kind = K::Choice, .area = A::Configuration, .offset = 76, .width = 1,
     .group = G::Nrm, .read = k043, .otherText = L(181), .editor = E::List, .shown = S::ZR2Only},
    {.row = 55, .code = "044", .caption = 165, .kind = K::Choice, .area = A::Configuration, .offset = 77, .width = 1,
     .group = G::Nrm, .read = k043, .otherText = L(181), .editor = E::List, .shown = S::ZR2Only},
    {.row = 56, .code = "045", .caption = 166, .kind = K::Weight, .area = A::Configuration, .offset = 72, .width = 4,
     .group = G::Nrm, .editor = E::Text, .maxLength = 6, .fileForm = F::RawNumber},
    {.row = 57, .code = "046", .caption = 167, .kind = K::Choice, .area = A::Configuration, .offset = 70, .width = 1,
     .group = G::Nrm, .read = k046, .otherText = L(232), .editor = E::List},
    {.row = 58, .code = "047", .caption = 168, .kind = K::Number, .area = A::Configuration, .offset = 78, .width = 1,
     .group = G::Nrm, .editor = E::Text, .maxLength = 2},
    {.row = 59, .code = "048", .caption = 169, .kind = K::Choice, .area = A::Configuration, .offset = 79, .width = 1,
     .group = G::Nrm, .read = kOffOn, .otherText = L(181), .editor = E::List},
    {.row = 60, .code = "049", .caption = 334, .kind = K::Number, .area = A::Configuration, .offset = 80, .width = 1,
     .group = G::Nrm, .list = k049List, .editor = E::List},
    section(61, 110),
    {.row = 62, .code = "210", .caption = 111, .kind = K::Choice, .area = A::Calibration, .offset = 0, .width = 1,
     .group = G::Calibration, .read = k210, .otherText = L(176), .editor = E::List, .shown = S::Never},
    {.row = 63, .code = "211", .caption = 112, .kind = K::Number, .area = A::Calibration, .offset = 2, .width = 1,
     .group = G::Calibration, .shown = S::Never},
    {.row = 64, .code = "211", .caption = 113, .kind = K::Number, .area = A::Calibration, .offset = 3, .width = 1,
     .group = G::Calibration, .shown = S::Never},
    {.row = 65, .code = "212", .caption = 114, .kind = K::Number, .area = A::Calibration, .offset = 4, .width = 1,
     .group = G::Calibration, .shown = S::Never},
    {.row = 66, .code = "212", .caption = 115, .kind = K::Number, .area = A::Calibration, .offset = 5, .width = 1,
     .group = G::Calibration, .shown = S::Never},
    {.row = 67, .code = "970", .caption = 116, .kind = K::Number, .area = A::Calibration, .offset = 6, .width = 1,
     .group = G::Calibration},
    {.row = 68, .code = "???", .caption = 117, .kind = K::Number, .area = A::Calibration, .offset = 7, .width = 1,
     .group = G::Calibration, .shown = S::Never},
    {.row = 69, .code = "971]-[972", .caption = 118, .kind = K::WordPair, .area = A::Calibration, .offset = 8,
     .width = 4, .group = G::Calibration, .fileForm = F::RawNumber},
    {.row = 70, .code = "973]-[974", .caption = 119, .kind = K::WordPair, .area = A::Calibration, .offset = 12,
     .width = 4, .group = G::Calibration, .fileForm = F::RawNumber},
    {.row = 71, .code = "975]-[976", .caption = 120, .kind = K::WordPair, .area = A::Calibration, .offset = 16,
     .width = 4, .group = G::Calibration, .fileForm = F::RawNumber},
    {.row = 72, .code = "977]-[978", .caption = 121, .kind = K::WordPair, .area = A::Calibration, .offset = 20,
     .width = 4, .group = G::Calibration, .fileForm = F::RawNumber},
    // [800] is read only: bytes 24-27 are never written.
    {.row = 73, .code = "800", .caption = 122, .kind = K::Long, .area = A::Calibration, .offset = 24, .width = 4},
    {.row = 74, .code = "???", .caption = 123, .kind = K::Long, .area = A::Calibration, .offset = 28, .width = 4,
     .group = G::Calibration, .shown = S::Never},
    {.row = 75, .code = "300", .caption = 124, .kind = K::LongPrefixed, .area = A::Calibration, .offset = 32,
     .width = 4, .group = G::Calibration, .fileForm = F::RawNumber},
    {.row = 76, .code = "300", .caption = 125, .kind = K::LongPrefixed, .area = A::Calibration, .offset = 36,
     .width = 4, .group = G::Calibration, .fileForm = F::RawNumber},
    section(77, 170),
    {.row = 78, .code = "410", .caption = 171, .kind = K::Word, .area = A::Configuration, .offset = 82, .width = 2,
     .group = G::Nrm, .editor = E::Text, .maxLength = 6, .fileForm = F::RawNumber},
    {.row = 79, .code = "420", .caption = 172, .kind = K::Word, .area = A::Configuration, .offset = 84, .width = 2,
     .group = G::Nrm, .editor = E::Text, .maxLength = 6, .fileForm = F::RawNumber},
    {.row = 80, .literal = "Barcode Line_2", .kind = K::Unused, .shown = S::Never},
    {.row = 81, .literal = "Barcode Line_3", .kind = K::Unused, .shown = S::Never},
    {.row = 82, .caption = 173, .kind = K::Text, .area = A::ModelText, .width = 10},
    {.row = 83, .caption = 174, .kind = K::Text, .area = A::SecondText, .width = 10},
}};

constexpr bool indexedByRow()
{
    for (int r = 0; r < RowCount; ++r)
        if (kRows[std::size_t(r)].row != r)
            return false;
    return true;
}
static_assert(indexedByRow(), "the catalogue lists every row once, in order");

// Constant bytes of the blocks, written as they stand.
constexpr FixedByte kFixed[] = {
    {A::Calibration, 1, 0x00},
    {A::Configuration, 9, 0x00},  {A::Configuration, 11, 0x00}, {A::Configuration, 12, 0x00},
    {A::Configuration, 17, 0x00}, {A::Configuration, 32, 0x00}, {A::Configuration, 34, 0x00},
    {A::Configuration, 39, 0x00}, {A::Configuration, 41, 0x01}, {A::Configuration, 43, 0x00},
    {A::Configuration, 47, 0x00}, {A::Configuration, 49, 0x01}, {A::Configuration, 51, 0x00},
    {A::Configuration, 57, 0x01}, {A::Configuration, 59, 0x00}, {A::Configuration, 61, 0x05},
    {A::Configuration, 63, 0x00}, {A::Configuration, 64, 0x00}, {A::Configuration, 65, 0x01},
    {A::Configuration, 66, 0x00}, {A::Configuration, 67, 0x00}, {A::Configuration, 81, 0x00},
};

// The block writes, in the order they are sent within their group.
constexpr Piece kPieces[] = {
    {G::Calibration, A::Calibration, 0, 20},    // register 128
    {G::Calibration, A::Calibration, 20, 4},    // 138
    {G::Calibration, A::Calibration, 28, 12},   // 142 (bytes 24-27 are never written)
    {G::Jmp, A::Configuration, 0, 10},          // 149
    {G::Nrm, A::Configuration, 10, 12},         // 154
    {G::Nrm, A::Configuration, 22, 14},         // 160
    {G::Nrm, A::Configuration, 36, 8},          // 167: serial port 1
    {G::Nrm, A::Configuration, 44, 8, true},    // 171: serial port 2
    {G::Nrm, A::Configuration, 52, 8},          // 175: serial port 3
    {G::Nrm, A::Configuration, 60, 8},          // 179: serial port 4
    {G::Nrm, A::Configuration, 68, 14},         // 183: printer
    {G::Nrm, A::Configuration, 82, 4},          // 190: analog output
};

}  // namespace

QString TextRef::text(const LanguageTexts &texts) const
{
    QString out = literal ? QString::fromUtf8(literal) : QString();
    if (line > 0)
        out += texts.text(line).mid(skip);
    return out;
}

std::span<const Row> Rows() { return kRows; }

const Row &RowAt(int row)
{
    if (row < 0 || row >= RowCount)
        return kRows[0];
    return kRows[std::size_t(row)];
}

std::span<const FixedByte> FixedBytes() { return kFixed; }
std::span<const Piece> Pieces() { return kPieces; }

int AreaRegister(Area area)
{
    switch (area) {
    case Area::Configuration: return reg::ConfigurationBlock;
    case Area::Calibration: return reg::CalibrationBlock;
    case Area::Clock: return reg::Clock;
    case Area::ModelText: return reg::Version;
    case Area::SecondText: return reg::SecondText;
    case Area::None: break;
    }
    return 0;
}

int AreaBytes(Area area)
{
    switch (area) {
    case Area::Configuration: return 100;
    case Area::Calibration: return 40;
    case Area::Clock: return 8;
    case Area::ModelText:
    case Area::SecondText: return 10;
    case Area::None: break;
    }
    return 0;
}

int PieceRegister(const Piece &piece) { return AreaRegister(piece.area) + piece.offset / 2; }

QString RowCaption(const Row &row, const LanguageTexts &texts)
{
    switch (row.kind) {
    case Kind::Header:
        return texts.text(HeaderCaptionLine);
    case Kind::Section:
        return {};  // the title stands in the value column
    default:
        break;
    }
    if (row.literal)
        return QString::fromUtf8(row.literal);
    const QString line = texts.text(row.caption);
    const QString code = RowCode(row);
    return code.isEmpty() ? line : QStringLiteral("[") + code + QStringLiteral("] ") + line;
}

QString RowCode(const Row &row) { return QString::fromLatin1(row.code); }

}  // namespace vx::params
