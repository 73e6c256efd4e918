#include "sim/VirtualIndicator.h"

#include "sim/StateFile.h"
#include "sim/Wire.h"

namespace vx::sim {
namespace {

QString fitText(const QString &text, int length)
{
    return text.leftJustified(length, QLatin1Char(' '), true);
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
    m_options.model = fitText(text, regs::TextBytes);
    setText(regs::Model, m_options.model, regs::TextBytes);
}

void VirtualIndicator::setSecondText(const QString &text)
{
    m_options.secondText = fitText(text, regs::TextBytes);
    setText(regs::SecondText, m_options.secondText, regs::TextBytes);
}

QByteArray VirtualIndicator::process(const Request &r)
{
    const QByteArray address = AddressField(m_options.address);
    if (!r.write) {
        if (r.count > kMaxReadRegisters || r.reg + r.count > regs::Limit)
            return RefusalBody(r);
        m_handlers.read(*this, r.reg, r.count * 2);
        return ReadAnswerBody(address, bytes(r.reg, r.count * 2));
    }

    if (m_options.strictWrites && (r.data.size() != r.byteCount || r.count * 2 != r.byteCount))
        return RefusalBody(r);
    if (r.reg + (r.data.size() + 1) / 2 > regs::Limit)
        return RefusalBody(r);

    setBytes(r.reg, r.data);
    m_handlers.wrote(*this, r.reg, r.data);

    const int words = (r.data.size() + 1) / 2;
    if (r.reg <= regs::Command && regs::Command < r.reg + words) {
        const int code = reg(regs::Command);
        m_commands.push_back(code);
        if (code == 19)
            m_hostMode = true;
        else if (code == 20)
            m_hostMode = false;
        m_handlers.command(*this, code);
    }
    return WriteAnswerBody(address, r.count);
}

std::optional<VirtualIndicator::Reply> VirtualIndicator::handle(const QByteArray &request)
{
    m_requests.append(QString::fromLatin1(request));
    const std::optional<Request> r = ParseRequest(request, AddressField(m_options.address), m_options.checksum);
    if (!r)
        return std::nullopt;
    ++m_requestCount;

    const std::optional<FaultRule> fault = m_faults.fire(*r, m_requestCount);
    if (fault && fault->kind == FaultKind::NoAnswer)
        return std::nullopt;
    if (fault && fault->kind == FaultKind::Refuse)
        return Reply{Framed(RefusalBody(*r), m_options.checksum), 0};
    if (fault && fault->kind == FaultKind::Busy)
        return Reply{Framed(BusyBody(*r), m_options.checksum), 0};

    Reply reply{Framed(process(*r), m_options.checksum), 0};
    if (fault)
        FaultInjector::Distort(*fault, reply.bytes, &reply.extraDelay, m_options.checksum, m_requestCount);
    return reply;
}

bool VirtualIndicator::loadState(const QString &path, QString *error)
{
    // Everything is checked before anything changes: a damaged file leaves the
    // indicator as it was.
    const std::optional<StateImage> image = ReadStateFile(path, error);
    if (!image)
        return false;
    // The texts first, then the registers: register lines carry the exact bytes of
    // a text that a text line cannot hold.
    m_bank.clear();
    setModel(image->model.value_or(QString()));
    setSecondText(image->second.value_or(QString()));
    for (const auto &[index, v] : image->words)
        setReg(index, v);
    m_options.model = wire::decodeText(bytes(regs::Model, regs::TextBytes));
    m_options.secondText = wire::decodeText(bytes(regs::SecondText, regs::TextBytes));
    return true;
}

bool VirtualIndicator::saveState(const QString &path, QString *error) const
{
    return WriteStateFile(path, m_bank, error);
}

}  // namespace vx::sim
