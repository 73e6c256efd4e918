#include "sim/VirtualIndicator.h"

#include "sim/Wire.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace vx::sim {
namespace {

constexpr int kModelRegister = 199;
constexpr int kSecondTextRegister = 204;
constexpr int kTextBytes = 10;
constexpr int kCommandRegister = 19;
constexpr int kRegisterLimit = 65536;
// Reads of more registers than this are refused. The byte count field of an
// answer has two digits; larger blocks go out with it cut to its low digits.
constexpr int kMaxReadRegisters = 1024;

int hexValue(const QByteArray &text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 16);
    return ok ? v : -1;
}

QByteArray hex(int value, int width)
{
    return wire::hexNumber(quint32(value), width);
}

QString fitText(const QString &text, int length)
{
    return text.leftJustified(length, QLatin1Char(' '), true);
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString unquoted(const QString &text)
{
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

}  // namespace

VirtualIndicator::VirtualIndicator()
    : VirtualIndicator(Options{})
{
}

VirtualIndicator::VirtualIndicator(Options options)
    : m_options(std::move(options))
{
    setModel(m_options.model);
    setSecondText(m_options.secondText);
}

void VirtualIndicator::setModel(const QString &text)
{
    m_options.model = fitText(text, kTextBytes);
    setText(kModelRegister, m_options.model, kTextBytes);
}

void VirtualIndicator::setSecondText(const QString &text)
{
    m_options.secondText = fitText(text, kTextBytes);
    setText(kSecondTextRegister, m_options.secondText, kTextBytes);
}

quint16 VirtualIndicator::reg(int index) const
{
    const auto it = m_regs.find(index);
    return it == m_regs.end() ? 0 : it->second;
}

void VirtualIndicator::setReg(int index, quint16 value)
{
    if (index < 0 || index >= kRegisterLimit)
        return;
    if (value == 0)
        m_regs.erase(index);
    else
        m_regs[index] = value;
}

QByteArray VirtualIndicator::bytes(int index, int byteCount) const
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

void VirtualIndicator::setBytes(int index, const QByteArray &data)
{
    for (int i = 0; i < data.size(); ++i) {
        const int r = index + i / 2;
        const quint16 old = reg(r);
        const quint16 b = quint8(data[i]);
        setReg(r, (i % 2 == 0) ? quint16((b << 8) | (old & 0x00FF)) : quint16((old & 0xFF00) | b));
    }
}

void VirtualIndicator::setLong(int index, qint32 value)
{
    const quint32 u = quint32(value);
    setReg(index, quint16(u >> 16));
    setReg(index + 1, quint16(u & 0xFFFF));
}

qint32 VirtualIndicator::longAt(int index) const
{
    return qint32((quint32(reg(index)) << 16) | reg(index + 1));
}

void VirtualIndicator::setText(int index, const QString &text, int byteCount)
{
    QByteArray data = wire::encodeText(text).left(byteCount);
    if (data.size() < byteCount)
        data.append(QByteArray(byteCount - data.size(), ' '));
    setBytes(index, data);
}

void VirtualIndicator::onCommand(int code, CommandHandler handler)
{
    if (handler)
        m_commandHandlers[code].push_back(std::move(handler));
}

void VirtualIndicator::onWrite(int reg, WriteHook hook)
{
    if (hook)
        m_writeHooks[reg].push_back(std::move(hook));
}

void VirtualIndicator::onRead(int reg, ReadHook hook)
{
    if (hook)
        m_readHooks[reg].push_back(std::move(hook));
}

void VirtualIndicator::addFault(const FaultRule &rule)
{
    m_faults.push_back(rule);
}

void VirtualIndicator::clearFaults()
{
    m_faults.clear();
}

QByteArray VirtualIndicator::addressField() const
{
    // "" and "00" both mean: frames without an address field.
    const int value = m_options.address.trimmed().toInt();
    return value <= 0 ? QByteArray() : hex(value, 2);
}

QByteArray VirtualIndicator::frame(const QByteArray &body) const
{
    QByteArray out;
    out.reserve(body.size() + 4);
    out.append('@');
    out.append(body);
    if (m_options.checksum)
        out.append(wire::checksum(body));
    out.append('\r');
    return out;
}

std::optional<VirtualIndicator::Request> VirtualIndicator::parse(const QByteArray &request) const
{
    // The indicator starts a frame at every "@": bytes before the last one are
    // line noise or the remains of an earlier frame.
    const int at = request.lastIndexOf('@');
    if (at < 0)
        return std::nullopt;
    QByteArray body = request.mid(at + 1);
    while (body.endsWith('\r') || body.endsWith('\n'))
        body.chop(1);
    if (body.isEmpty() || !wire::bytesOfHex(body))
        return std::nullopt;

    if (m_options.checksum) {
        if (body.size() < 2)
            return std::nullopt;
        const QByteArray sum = body.right(2).toUpper();
        body.chop(2);
        if (wire::checksum(body) != sum)
            return std::nullopt;
    }

    const QByteArray address = addressField();
    if (!address.isEmpty()) {
        if (body.left(2).toUpper() != address)
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
        r.byteCount = hexValue(body.mid(10, 2));
        r.data = wire::bytesOfHex(body.mid(12)).value_or(QByteArray());
    } else {
        return std::nullopt;
    }
    r.reg = hexValue(body.mid(2, 4));
    r.count = hexValue(body.mid(6, 4));
    return r;
}

QByteArray VirtualIndicator::refusal(const Request &r) const
{
    // The refusal carries no address field: it always begins "@8".
    return QByteArray("80") + (r.write ? "10" : "03") + "01";
}

QByteArray VirtualIndicator::busy(const Request &r) const
{
    // Shaped as the refusal, with "@9": the indicator cannot take the request now.
    return QByteArray("90") + (r.write ? "10" : "03") + "01";
}

QByteArray VirtualIndicator::process(const Request &r)
{
    if (!r.write) {
        if (r.count > kMaxReadRegisters || r.reg + r.count > kRegisterLimit)
            return refusal(r);
        if (const auto it = m_readHooks.find(r.reg); it != m_readHooks.end()) {
            for (const ReadHook &hook : it->second)
                hook(*this, r.reg, r.count * 2);
        }
        const QByteArray data = bytes(r.reg, r.count * 2);
        return addressField() + "03" + hex(int(data.size()), 2) + wire::hexBytes(data);
    }

    if (m_options.strictWrites && (r.data.size() != r.byteCount || r.count * 2 != r.byteCount))
        return refusal(r);
    if (r.reg + (r.data.size() + 1) / 2 > kRegisterLimit)
        return refusal(r);

    setBytes(r.reg, r.data);
    if (const auto it = m_writeHooks.find(r.reg); it != m_writeHooks.end()) {
        for (const WriteHook &hook : it->second)
            hook(*this, r.reg, r.data);
    }

    const int words = (r.data.size() + 1) / 2;
    if (r.reg <= kCommandRegister && kCommandRegister < r.reg + words) {
        const int code = reg(kCommandRegister);
        m_commands.push_back(code);
        if (code == 19)
            m_hostMode = true;
        else if (code == 20)
            m_hostMode = false;
        if (const auto it = m_commandHandlers.find(code); it != m_commandHandlers.end()) {
            for (const CommandHandler &handler : it->second)
                handler(*this);
        }
    }
    return addressField() + "10" + hex(r.count, 4);
}

FaultRule *VirtualIndicator::matchFault(const Request &r)
{
    for (FaultRule &rule : m_faults) {
        if (rule.remaining == 0)
            continue;
        bool hit = false;
        switch (rule.scope) {
        case FaultScope::Always:
            hit = true;
            break;
        case FaultScope::Register:
            hit = r.reg == rule.value;
            break;
        case FaultScope::Command: {
            // The code a write would put into the command register.
            if (r.write && r.reg <= kCommandRegister) {
                const int offset = (kCommandRegister - r.reg) * 2;
                if (r.data.size() >= offset + 2) {
                    const int code = (quint8(r.data[offset]) << 8) | quint8(r.data[offset + 1]);
                    hit = code == rule.value;
                }
            }
            break;
        }
        case FaultScope::EveryNth:
            hit = rule.value > 0 && m_requestCount % rule.value == 0;
            break;
        }
        if (hit) {
            if (rule.remaining > 0)
                --rule.remaining;
            return &rule;
        }
    }
    return nullptr;
}

std::optional<VirtualIndicator::Reply> VirtualIndicator::handle(const QByteArray &request)
{
    m_requests.append(QString::fromLatin1(request));
    const std::optional<Request> r = parse(request);
    if (!r)
        return std::nullopt;
    ++m_requestCount;

    const FaultRule *fault = matchFault(*r);
    if (fault)
        m_faultsFired.push_back(fault->kind);
    if (fault && fault->kind == FaultKind::NoAnswer)
        return std::nullopt;
    if (fault && fault->kind == FaultKind::Refuse)
        return Reply{frame(refusal(*r)), 0};
    if (fault && fault->kind == FaultKind::Busy)
        return Reply{frame(busy(*r)), 0};

    Reply reply{frame(process(*r)), 0};
    if (!fault)
        return reply;

    switch (fault->kind) {
    case FaultKind::BadChecksum:
        if (m_options.checksum && reply.bytes.size() >= 3) {
            // The last two characters before the CR are the checksum.
            const int pos = reply.bytes.size() - 3;
            const int good = hexValue(reply.bytes.mid(pos, 2));
            reply.bytes.replace(pos, 2, hex(good ^ 0x55, 2));
        }
        break;
    case FaultKind::Late:
        reply.extraDelay = fault->lateSeconds;
        break;
    case FaultKind::Partial:
        reply.bytes.truncate(reply.bytes.size() / 2);
        break;
    case FaultKind::Noise: {
        // Deterministic garbage of the answer's length, never "@" or CR.
        quint32 seed = quint32(m_requestCount) * 2654435761u + 12345u;
        for (char &c : reply.bytes) {
            seed = seed * 1103515245u + 12345u;
            char b = char((seed >> 16) & 0xFF);
            if (b == '@' || b == '\r')
                b = '?';
            c = b;
        }
        break;
    }
    case FaultKind::NoAnswer:
    case FaultKind::Refuse:
    case FaultKind::Busy:
        break;
    }
    return reply;
}

bool VirtualIndicator::loadState(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = QStringLiteral("%1: no such file").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    // Everything is checked before anything changes: a damaged file leaves the
    // indicator as it was.
    std::map<int, quint16> regs;
    std::optional<QString> model, second;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = raw.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : raw.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : raw.mid(eq + 1);
        auto bad = [&](const QString &why) {
            if (error)
                *error = QStringLiteral("%1:%2: %3").arg(path).arg(lineNo).arg(why);
            return false;
        };
        if (eq < 0)
            return bad(QStringLiteral("expected KEY=VALUE"));
        if (key == QLatin1String("model")) {
            model = unquoted(value.trimmed());
        } else if (key == QLatin1String("second")) {
            second = unquoted(value.trimmed());
        } else {
            bool okIndex = false, okValue = false;
            const int index = key.toInt(&okIndex, 10);
            const uint v = value.trimmed().toUInt(&okValue, 0);
            if (!okIndex || index < 0 || index >= kRegisterLimit)
                return bad(QStringLiteral("register number \"%1\" is not 0..65535").arg(key));
            if (!okValue || v > 0xFFFF)
                return bad(QStringLiteral("register value \"%1\" is not 0..65535").arg(value.trimmed()));
            regs[index] = quint16(v);
        }
    }
    if (in.status() != QTextStream::Ok) {
        if (error)
            *error = QStringLiteral("%1: read error").arg(path);
        return false;
    }
    // The texts first, then the registers: register lines carry the exact bytes of
    // a text that a text line cannot hold.
    m_regs.clear();
    setModel(model.value_or(QString()));
    setSecondText(second.value_or(QString()));
    for (const auto &[index, v] : regs)
        setReg(index, v);
    m_options.model = wire::decodeText(bytes(kModelRegister, kTextBytes));
    m_options.secondText = wire::decodeText(bytes(kSecondTextRegister, kTextBytes));
    return true;
}

bool VirtualIndicator::saveState(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QString text;
    QTextStream out(&text);
    out << "# Virtual indicator registers: INDEX=VALUE, both decimal\n";
    // A text goes on its own line when it survives the trip through a text file;
    // otherwise its registers are written as numbers as well.
    auto writeText = [&](const char *key, int index) {
        const QByteArray raw = bytes(index, kTextBytes);
        const QString text = wire::decodeText(raw);
        bool plain = wire::encodeText(text) == raw;
        QString shown = text;
        for (QChar &c : shown) {
            const ushort u = c.unicode();
            if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) {
                c = QLatin1Char('?');
                plain = false;
            }
        }
        out << key << "=" << quoted(shown) << "\n";
        return plain;
    };
    const bool modelPlain = writeText("model", kModelRegister);
    const bool secondPlain = writeText("second", kSecondTextRegister);
    for (const auto &[index, v] : m_regs) {
        const bool inModel = index >= kModelRegister && index < kModelRegister + kTextBytes / 2;
        const bool inSecond = index >= kSecondTextRegister && index < kSecondTextRegister + kTextBytes / 2;
        if ((inModel && modelPlain) || (inSecond && secondPlain))
            continue;
        out << index << "=" << v << "\n";
    }
    out.flush();
    file.write(text.toUtf8());
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace vx::sim
