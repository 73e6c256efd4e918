#include "files/Batch.h"

#include "files/WorkingSet.h"
#include "link/Transaction.h"
#include "shell/TextService.h"

#include <functional>

namespace vx {
namespace {

// Step captions of the read-all panel (groups 0-4) and the send panel's parameter step.
constexpr int kTextReading[5] = {253, 254, 255, 256, 257};
constexpr int kTextSendingParameters = 268;
constexpr int kTextNotReady = 313;
constexpr int kTextRefused = 309;

constexpr int kCommandRegister = 19;
constexpr int kProbeCommand = 3;
constexpr double kShortWait = 0.05;

BatchOutcome outcomeOf(TransferResult result)
{
    switch (result) {
    case TransferResult::Completed: return BatchOutcome::Completed;
    case TransferResult::Aborted: return BatchOutcome::Aborted;
    case TransferResult::Refused: return BatchOutcome::Refused;
    case TransferResult::NotSent: return BatchOutcome::NotSent;
    }
    return BatchOutcome::Refused;
}

}  // namespace

ReadAllResult ReadAll(Link &link, WorkingSet &set, const TextService &texts, const ReadAllChoice &choice,
                      const WeightFormat &weight, const DisconnectAction &disconnect)
{
    ReadAllResult result;
    if (!weight.known() && (choice.setpoint || choice.parameters)) {
        link.op().message(texts.builtIn(BuiltIn::RangeUnknown), Icon::Critical);
        result.outcome = BatchOutcome::NotSent;
        return result;
    }
    link.AbortRequested = false;
    const bool chosen[5] = {choice.header, choice.id, choice.setpoint, choice.parameters, choice.status};
    for (int group = 0; group < 5 && result.outcome == BatchOutcome::Completed; ++group) {
        if (!chosen[group])
            continue;
        if (link.AbortRequested) {
            result.outcome = BatchOutcome::Aborted;
            break;
        }
        link.op().showStep(texts.line(kTextReading[group]), Tone::Working);
        switch (group) {
        case 0:
            result.outcome = outcomeOf(BaşlıkOku(link, set.ticket(), choice.printer, texts, disconnect));
            break;
        case 1:
            result.outcome = outcomeOf(IDOKUHost(link, set.ids(), texts, disconnect));
            break;
        case 2:
            result.outcome = outcomeOf(STPOKUHost(link, set.setpoints(), weight, texts, disconnect));
            break;
        case 3: {
            const ParameterReadResult read = ParametreHostOku(link, set.parameters(), texts, choice.model, disconnect);
            result.sendBoxesToTick = read.sendBoxesToTick;
            if (!read.completed)
                result.outcome = BatchOutcome::Refused;
            break;
        }
        case 4:
            result.status = StatuOku(link, texts.lines(), disconnect);
            if (result.status->refused)
                result.outcome = BatchOutcome::Refused;
            break;
        }
    }
    return result;
}

SendAllResult SendAll(Link &link, WorkingSet &set, const TextService &texts, const SendAllChoice &choice,
                      const WeightFormat &weight)
{
    SendAllResult result;
    Operator &op = link.op();
    if (!weight.known() && (choice.setpoint || choice.parameters.nrm)) {
        op.message(texts.builtIn(BuiltIn::RangeUnknown), Icon::Critical);
        result.outcome = BatchOutcome::NotSent;
        return result;
    }
    const QString probe = link.writeNoAck(kCommandRegister, 2, "Lg", kProbeCommand, kShortWait);
    if (probe.isEmpty() || probe.startsWith(QStringLiteral("@8"))) {
        op.message(texts.line(kTextNotReady) + QLatin1Char('\n') + texts.lineOr(kTextRefused, BuiltIn::DeviceRefused),
                   Icon::Critical);
        result.outcome = BatchOutcome::ProbeRefused;
        return result;
    }

    link.AbortRequested = false;
    const ConfigurationRecord &record = set.record();
    auto run = [&](bool chosenGroup, const std::function<TransferResult()> &writer) {
        if (!chosenGroup || result.outcome != BatchOutcome::Completed)
            return;
        if (link.AbortRequested) {
            result.outcome = BatchOutcome::Aborted;
            return;
        }
        result.outcome = outcomeOf(writer());
    };
    run(choice.header, [&] {
        const TicketWriteResult written = BaşlıkYaz(link, record.ticket, choice.printer, texts);
        if (choice.printer == PrinterKind::Epl && written.result == TransferResult::Completed)
            set.ticket().setEplText(written.eplText);
        return written.result;
    });
    run(choice.id, [&] { return IDYaz(link, record.idMemory, texts); });
    run(choice.setpoint, [&] { return STPYaz(link, record.setpoints, weight, texts); });
    run(true, [&] {
        op.showStep(texts.line(kTextSendingParameters), Tone::Working);
        const ParameterWriteResult written = ParametreHostYaz(link, set.parameters(), texts, choice.parameters);
        result.dateTimeSkipped = written.dateTimeSkipped;
        return written.aborted ? TransferResult::Aborted : TransferResult::Completed;
    });
    return result;
}

std::optional<HardwareStatus> SendPanelHardwareStatus(Link &link)
{
    // "Tx1" keeps every byte: a word holding 00 or 0A reads the same on every tab.
    const QVariant word = link.decodeAnswer(link.readRaw(HardwareRegister, 2, kShortWait), "Tx1", HardwareRegister, 2);
    if (!word.isValid())
        return std::nullopt;
    return HWDurumOku(word.toString());
}

}  // namespace vx
