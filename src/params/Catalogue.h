#pragma once
// The parameter catalogue: the 84 rows of the parameter grid (Grid1 index 2), each
// described once as data: caption, value kind, the codes and texts it can hold,
// where its value lies in the indicator's blocks, which write group sends it, which
// editor the grid lays over it, its text limit and the models it is shown for. The
// grid layout, the block decoders and encoders and the editors' lists are all
// derived from this one table.

#include "link/Features.h"
#include "link/Model.h"

#include <QString>
#include <span>

namespace vx {

class LanguageTexts;

namespace params {

inline constexpr int RowCount = 84;  // rows 0..83; row 0 is the header

// The identification rows: the model and version text (82) and the second text (83).
inline constexpr int ModelTextRow = 82;
inline constexpr int SecondTextRow = 83;

// What a row's value cell holds and how it travels.
enum class Kind {
    Header,        // row 0: the two column captions
    Section,       // a section title in column 1
    Choice,        // one text of the row's list; the wire carries its leading code (1 byte)
    Number,        // a byte as decimal digits
    Digit,         // [120]: 1..9 as the digit and one blank, anything else "0 "
    Tenths,        // byte / 10 with the decimal comma
    Weight,        // 4 bytes two's complement, shown in the weight display format
    Word,          // 2 bytes unsigned
    WordPair,      // 4 bytes signed, shown as high word " - " low word
    Long,          // 4 bytes signed decimal
    LongPrefixed,  // 4 bytes signed decimal, "9," in front when longer than one character
    DateTime,      // the indicator's clock, register 124
    Text,          // a read-only identification text (registers 199, 204)
    Unused,        // rows 80, 81: a caption and nothing else
};

// Where a row's value lies.
enum class Area {
    None,
    Configuration,  // 100 bytes from register 149
    Calibration,    // 40 bytes from register 128
    Clock,          // 8 bytes at register 124
    ModelText,      // 10 bytes at register 199
    SecondText,     // 10 bytes at register 204
};

// Which block of a write sends the row; the send panel's boxes choose the groups.
enum class Group {
    None,         // never written
    DateTime,     // box 8
    Calibration,  // box 5
    Jmp,          // box 6: configuration bytes 0-9
    Nrm,          // box 7: configuration bytes 10-85
};

enum class Editor { None, Text, List, DateTime };

// For which models a row is shown (it is filled on every read either way).
enum class Shown { Always, ZR2Only, Never };

// How the configuration file stores a row (files/ParameterRecord.h).
enum class FileForm {
    Text,            // its display text
    RawNumber,       // its raw number (Int32 or Int16): weights, [410], [420], the calibration values
    FirstCharacter,  // the first character of its display text, the code: [207], [105]
};

// A text built from the language file: literal + line `line` without its first
// `skip` characters (either part may be absent).
struct TextRef {
    const char *literal = nullptr;  // UTF-8
    int line = 0;
    int skip = 0;
    QString text(const LanguageTexts &texts) const;
    bool empty() const { return !literal && line == 0; }
};
constexpr TextRef L(int line) { return {nullptr, line, 0}; }
constexpr TextRef T(const char *literal) { return {literal, 0, 0}; }

// When a list item is offered in the editor.
enum class Offered {
    Always,
    ZR2Only,      // only while the connected model is a ZR2
    Not200,       // only while [200] is off
};

struct Item {
    int code;
    TextRef text;
    Offered offered = Offered::Always;
};
using Items = std::span<const Item>;

// What a read shows for a code outside the row's list.
enum class Other {
    Text,   // the row's other text
    Empty,  // an empty cell ([207], [105])
    Keep,   // the cell keeps what it held ([040])
};

struct Row {
    int row = 0;
    const char *code = "";          // "200", "971]-[972"; empty: no code in the caption
    int caption = 0;                // language line of the caption (section: of the title)
    const char *literal = nullptr;  // a caption that is no language line (rows 80, 81)
    Kind kind = Kind::Unused;
    Area area = Area::None;
    int offset = 0;                 // byte offset in its block
    int width = 0;                  // bytes
    Group group = Group::None;
    Items read = {};                // code -> text on a read
    Other other = Other::Text;
    TextRef otherText = {};
    Items list = {};                // the editor's list; empty: the read list
    Editor editor = Editor::None;
    int maxLength = 0;              // Text editor: characters allowed
    Shown shown = Shown::Always;
    FileForm fileForm = FileForm::Text;

    Items editorItems() const { return list.empty() ? read : list; }
    bool shownFor(Model model) const
    {
        return shown == Shown::Always || (shown == Shown::ZR2Only && FeaturesOf(model).extendedParameters);
    }
    bool isValueRow() const { return kind != Kind::Header && kind != Kind::Section && kind != Kind::Unused; }
};

// The whole catalogue, indexed by row (Rows()[r].row == r).
std::span<const Row> Rows();
const Row &RowAt(int row);  // row 0 for a number outside 0..83

// A byte of a block that carries a constant: written as it stands, ignored when read.
struct FixedByte {
    Area area;
    int offset;
    int value;
};
std::span<const FixedByte> FixedBytes();

// One block write: `bytes` bytes of the area from `offset`, to the register they lie in.
struct Piece {
    Group group;
    Area area;
    int offset;
    int bytes;
    bool drainAfter = false;  // the serial input is drained once more afterwards
};
std::span<const Piece> Pieces();

// Block geometry.
int AreaRegister(Area area);  // first register
int AreaBytes(Area area);     // bytes read
int PieceRegister(const Piece &piece);


// Language lines of the grid's header row and of rows 82 (model) and its model names.
inline constexpr int HeaderCaptionLine = 78;
inline constexpr int HeaderValueLine = 79;

// The caption of a row as the grid shows it in column 0 ("[140] " + line 162).
QString RowCaption(const Row &row, const LanguageTexts &texts);
// The code of a row as its caption shows it between "[" and "]"; empty without one.
QString RowCode(const Row &row);

}  // namespace params
}  // namespace vx
