#pragma once
// The virtual indicator's register memory: 16-bit words, numbered 0 to 65535, that
// read as zero until something sets them.

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <map>

namespace vx::sim {

// Registers the indicator itself gives a meaning to.
namespace regs {
constexpr int Command = 19;      // a code written here runs a command
constexpr int Model = 199;       // 10 characters: model and version
constexpr int SecondText = 204;  // 10 characters: the second identification text
constexpr int TextBytes = 10;
constexpr int Limit = 65536;     // one past the last register
}  // namespace regs

class RegisterBank {
public:
    // Unknown registers read as zero.
    quint16 reg(int index) const;
    // Whether the register holds a value other than zero.
    bool holds(int index) const { return m_words.count(index) != 0; }
    // Outside 0..65535 nothing happens; zero forgets the register.
    void setReg(int index, quint16 value);
    void clear() { m_words.clear(); }

    // Big-endian bytes starting at register index (byteCount may be odd; rounded up).
    QByteArray bytes(int index, int byteCount) const;
    // Bytes from register index on, high byte first; an odd count leaves the low
    // byte of the last register as it was.
    void setBytes(int index, const QByteArray &data);
    // A 32-bit value over two registers (high word first), as the "LG" tag reads it.
    void setLong(int index, qint32 value);
    qint32 longAt(int index) const;
    // Text in the device's code page, padded with blanks or cut to byteCount.
    void setText(int index, const QString &text, int byteCount);

    // The registers that hold a value, by number.
    const std::map<int, quint16> &words() const { return m_words; }

private:
    std::map<int, quint16> m_words;
};

}  // namespace vx::sim
