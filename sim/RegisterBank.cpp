#include "sim/RegisterBank.h"

#include "sim/Wire.h"

namespace vx::sim {

quint16 RegisterBank::reg(int index) const
{
    const auto it = m_words.find(index);
    return it == m_words.end() ? 0 : it->second;
}

void RegisterBank::setReg(int index, quint16 value)
{
    if (index < 0 || index >= regs::Limit)
        return;
    if (value == 0)
        m_words.erase(index);
    else
        m_words[index] = value;
}

QByteArray RegisterBank::bytes(int index, int byteCount) const
{
    QByteArray out;
    const int words = (qMax(0, byteCount) + 1) / 2;
    out.reserve(words * 2);
    for (int i = 0; i < words; ++i) {
        const quint16 w = reg(index + i);
        out.append(char(w >> 8));
        out.append(char(w & 0xFF));
    }
    return out;
}

void RegisterBank::setBytes(int index, const QByteArray &data)
{
    for (int i = 0; i < data.size(); ++i) {
        const int r = index + i / 2;
        const quint16 old = reg(r);
        const quint16 b = quint8(data[i]);
        setReg(r, (i % 2 == 0) ? quint16((b << 8) | (old & 0x00FF)) : quint16((old & 0xFF00) | b));
    }
}

void RegisterBank::setLong(int index, qint32 value)
{
    const quint32 u = quint32(value);
    setReg(index, quint16(u >> 16));
    setReg(index + 1, quint16(u & 0xFFFF));
}

qint32 RegisterBank::longAt(int index) const
{
    return qint32((quint32(reg(index)) << 16) | reg(index + 1));
}

void RegisterBank::setText(int index, const QString &text, int byteCount)
{
    QByteArray data = wire::encodeText(text).left(byteCount);
    if (data.size() < byteCount)
        data.append(QByteArray(byteCount - data.size(), ' '));
    setBytes(index, data);
}

}  // namespace vx::sim
