#include "sim/Dispatch.h"

#include "sim/Wire.h"

namespace vx::sim {

int HexValue(const QByteArray &text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 16);
    return ok ? v : -1;
}

QByteArray AddressField(const QString &address)
{
    const int value = address.trimmed().toInt();
    return value <= 0 ? QByteArray() : wire::hexNumber(quint32(value), 2);
}

std::optional<Request> ParseRequest(const QByteArray &text, const QByteArray &addressField, bool checksum)
{
    // The indicator starts a frame at every "@": bytes before the last one are
    // line noise or the remains of an earlier frame.
    const int at = text.lastIndexOf('@');
    if (at < 0)
        return std::nullopt;
    QByteArray body = text.mid(at + 1);
    while (body.endsWith('\r') || body.endsWith('\n'))
        body.chop(1);
    if (body.isEmpty() || !wire::bytesOfHex(body))
        return std::nullopt;

    if (checksum) {
        if (body.size() < 2)
            return std::nullopt;
        const QByteArray sum = body.right(2).toUpper();
        body.chop(2);
        if (wire::checksum(body) != sum)
            return std::nullopt;
    }

    if (!addressField.isEmpty()) {
        if (body.left(2).toUpper() != addressField)
            return std::nullopt;
        body = body.mid(2);
    }

    Request r;
    const QByteArray function = body.left(2);
    if (function == "03") {
        if (body.size() != 10)
            return std::nullopt;
        r.write = false;
    } else if (function == "10") {
        if (body.size() < 12)
            return std::nullopt;
        r.write = true;
        r.byteCount = HexValue(body.mid(10, 2));
        r.data = wire::bytesOfHex(body.mid(12)).value_or(QByteArray());
    } else {
        return std::nullopt;
    }
    r.reg = HexValue(body.mid(2, 4));
    r.count = HexValue(body.mid(6, 4));
    return r;
}

QByteArray Framed(const QByteArray &body, bool checksum)
{
    QByteArray out;
    out.reserve(body.size() + 4);
    out.append('@');
    out.append(body);
    if (checksum)
        out.append(wire::checksum(body));
    out.append('\r');
    return out;
}

QByteArray RefusalBody(const Request &r)
{
    return QByteArray("80") + (r.write ? "10" : "03") + "01";
}

QByteArray BusyBody(const Request &r)
{
    // Shaped as the refusal, with "@9": the indicator cannot take the request now.
    return QByteArray("90") + (r.write ? "10" : "03") + "01";
}

QByteArray ReadAnswerBody(const QByteArray &addressField, const QByteArray &data)
{
    return addressField + "03" + wire::hexNumber(quint32(data.size()), 2) + wire::hexBytes(data);
}

QByteArray WriteAnswerBody(const QByteArray &addressField, int registerCount)
{
    return addressField + "10" + wire::hexNumber(quint32(registerCount), 4);
}

void Handlers::onCommand(int code, CommandHandler handler)
{
    if (handler)
        m_commands[code].push_back(std::move(handler));
}

void Handlers::onWrite(int reg, WriteHook hook)
{
    if (hook)
        m_writes[reg].push_back(std::move(hook));
}

void Handlers::onRead(int reg, ReadHook hook)
{
    if (hook)
        m_reads[reg].push_back(std::move(hook));
}

void Handlers::read(VirtualIndicator &indicator, int reg, int byteCount) const
{
    if (const auto it = m_reads.find(reg); it != m_reads.end()) {
        for (const ReadHook &hook : it->second)
            hook(indicator, reg, byteCount);
    }
}

void Handlers::wrote(VirtualIndicator &indicator, int reg, const QByteArray &data) const
{
    if (const auto it = m_writes.find(reg); it != m_writes.end()) {
        for (const WriteHook &hook : it->second)
            hook(indicator, reg, data);
    }
}

void Handlers::command(VirtualIndicator &indicator, int code) const
{
    if (const auto it = m_commands.find(code); it != m_commands.end()) {
        for (const CommandHandler &handler : it->second)
            handler(indicator);
    }
}

}  // namespace vx::sim
