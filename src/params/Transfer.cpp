#include "params/Transfer.h"

#include "params/Catalogue.h"
#include "link/Codec.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "params/BlockCodec.h"
#include "params/ParameterSet.h"
#include "shell/Refusal.h"
#include "shell/TextService.h"

#include <array>
#include <optional>

namespace vx {

using params::Area;
using params::Group;

namespace {

constexpr int kReadSteps = 15;
constexpr double kBlockWait = 0.2;  // the configuration and text reads wait this instead of the reading time

constexpr int kRowClock = 1;
constexpr int kRowTenths = 21;

constexpr int kTenthsLow = 50;
constexpr int kTenthsHigh = 99;

// The send panel's boxes a read ticks: calibration, Jmp and Nrm groups.
const std::vector<int> kBoxesRead = {5, 6, 7};

// How a write group opens and closes around its blocks.
enum class Enter { None, PlainHostOn, HostMode };
enum class Leave { None, PlainHostOff, WaitThenHostMode };
struct GroupStep {
    Group group;
    int stepLine;  // the send panel's status label; 0: none
    Enter enter;
    int confirm;   // the confirmed command after the blocks
    Leave leave;
};
constexpr GroupStep kGroupSteps[] = {
    {Group::DateTime, 0, Enter::None, cmd::StoreClock, Leave::None},
    {Group::Calibration, 303, Enter::PlainHostOn, cmd::StoreCalibration, Leave::PlainHostOff},
    {Group::Jmp, 304, Enter::PlainHostOn, cmd::StoreConfigurationHead, Leave::PlainHostOff},
    {Group::Nrm, 305, Enter::HostMode, cmd::StoreConfiguration, Leave::WaitThenHostMode},
};

}  // namespace

bool WriteGroups::has(Group group) const
{
    switch (group) {
    case Group::DateTime: return dateTime;
    case Group::Calibration: return calibration;
    case Group::Jmp: return jmp;
    case Group::Nrm: return nrm;
    case Group::None: break;
    }
    return false;
}

void WriteGroups::add(Group group)
{
    switch (group) {
    case Group::DateTime: dateTime = true; break;
    case Group::Calibration: calibration = true; break;
    case Group::Jmp: jmp = true; break;
    case Group::Nrm: nrm = true; break;
    case Group::None: break;
    }
}

// ---------------------------------------------------------------------------
// Reading

ParameterReadResult ParametreHostOku(Link &link, ParameterSet &set, const TextService &texts, Model model,
                                     const std::function<void()> &disconnect)
{
    Operator &op = link.op();
    const LanguageTexts &lines = texts.lines();
    const LinkSettings &s = link.settings;
    ParameterReadResult result;
    int step = 0;
    auto advance = [&] {
        ++step;
        op.setProgress(ProgressId::Main, step, kReadSteps);
        op.setProgress(ProgressId::Small, step, kReadSteps);
    };
    // A bad answer ends the read where it stands; host mode is not left.
    auto stop = [&](int reg) {
        ReportRefusal(op, texts, disconnect);
        op.showProgress(ProgressId::Small, false);
        result.failedRegister = reg;
        return result;
    };
    auto command = [&](int code) {
        return !link.writeAnswer(reg::Command, 2, "Lg", code, s.ReadingTime).missingOrRefused();
    };
    // The data field of a whole answer of the count asked for.
    auto read = [&](int reg, int bytes, double wait) -> std::optional<QString> {
        const Answer answer = link.readAnswer(reg, bytes, wait);
        if (!answer.whole())
            return std::nullopt;
        return answer.data;
    };

    // 1-4. Host mode; the rows this model hides; the boxes; the bars.
    link.WriteHostMode(true);
    set.applyModel(model);
    set.setTexts(lines);
    result.sendBoxesToTick = kBoxesRead;
    op.showProgress(ProgressId::Small, true);
    op.setProgress(ProgressId::Main, 0, kReadSteps);
    op.setProgress(ProgressId::Small, 0, kReadSteps);

    // 5-6. The date and time.
    if (!command(cmd::LoadClock))
        return stop(reg::Command);
    advance();
    {
        const Answer answer = link.readAnswer(reg::Clock, params::AreaBytes(Area::Clock), s.ReadingTime);
        const QVariant clock = link.valueOf(answer, "Tarih", reg::Clock);
        if (!clock.isValid())
            return stop(reg::Clock);
        set.setClock(clock.toString(), link.decode.weekdayText);
    }
    advance();

    // 7-8. The calibration block.
    if (!command(cmd::LoadCalibration))
        return stop(reg::Command);
    advance();
    {
        const int reg = params::AreaRegister(Area::Calibration);
        const std::optional<QString> data = read(reg, params::AreaBytes(Area::Calibration), s.ReadingTime);
        if (!data)
            return stop(reg);
        PlaceCalibrationBlock(set, *data, lines);
    }
    advance();

    // 9-11. The configuration block in two answers of 50 bytes. Both are tested: an
    // answer that did not come whole would otherwise fill rows with bytes the
    // indicator never sent.
    if (!command(cmd::LoadConfiguration))
        return stop(reg::Command);
    advance();
    {
        const int half = params::AreaBytes(Area::Configuration) / 2;
        const int first = params::AreaRegister(Area::Configuration);
        const int second = first + half / 2;
        const std::optional<QString> a = read(first, half, kBlockWait);
        advance();
        const std::optional<QString> b = read(second, half, kBlockWait);
        advance();
        if (!a)
            return stop(first);
        if (!b)
            return stop(second);
        PlaceConfigurationBlock(set, *a + *b, lines);
    }
    advance();

    // 12-13. The identification texts: line feeds dropped, NULs kept ("Tx"), as the
    // parameters tab, where the window reads them, always had them.
    for (const auto &[area, row] : {std::pair{Area::ModelText, params::ModelTextRow}, std::pair{Area::SecondText, params::SecondTextRow}}) {
        const int textReg = params::AreaRegister(area);
        const Answer answer = link.readAnswer(textReg, params::AreaBytes(area), kBlockWait);
        const QVariant text = link.valueOf(answer, "Tx", textReg);
        if (answer.missingOrRefused() || !text.isValid())
            return stop(textReg);
        set.setRowValue(row, RowValue::indicatorText(text.toString()));
        advance();
    }

    // 14. Host mode left.
    op.showProgress(ProgressId::Small, false);
    link.WriteHostMode(false);
    op.setProgress(ProgressId::Main, kReadSteps, kReadSteps);
    result.completed = true;
    return result;
}

// ---------------------------------------------------------------------------
// Writing

int ClampTenths(ParameterSet &set)
{
    const qint64 v = TenthsByte(set.value(kRowTenths));
    if (v < kTenthsLow)
        set.setValue(kRowTenths, TenthsText(kTenthsLow));
    else if (v > kTenthsHigh)
        set.setValue(kRowTenths, TenthsText(kTenthsHigh));
    return int(TenthsByte(set.value(kRowTenths)));
}

ParameterWriteResult ParametreHostYaz(Link &link, ParameterSet &set, const TextService &texts, WriteGroups groups,
                                      const std::function<void(params::Group)> &groupStarted)
{
    Operator &op = link.op();
    ParameterWriteResult result;

    // Rows 18, 20, 56 show their raw values while the write runs.
    set.setWeightsRaw(true);
    auto restore = [&] { set.setWeightsRaw(false); };
    auto plain = [&](int code) { link.writeNoAck(reg::Command, 2, "Lg", code, link.settings.ReadingTime); };
    // A confirmed write, then the abort test; false: the write ends here.
    auto confirmed = [&](int reg, int bytes, WriteTag tag, const QVariant &data) {
        link.WriteAcknowledged(reg, bytes, tag, data);
        if (!link.AbortRequested)
            return true;
        link.WriteHostMode(false);
        restore();
        result.aborted = true;
        return false;
    };

    for (const GroupStep &g : kGroupSteps) {
        if (!groups.has(g.group))
            continue;

        // The blocks of the group, built before anything is sent.
        std::vector<std::pair<const params::Piece *, QString>> blocks;
        if (g.group == Group::DateTime) {
            const std::optional<QString> wire = DateTimeToWire(set.value(kRowClock) + set.clockSuffix());
            if (!wire) {
                // An empty or impossible date would set the indicator's clock to nonsense.
                op.message(texts.builtIn(BuiltIn::DateTimeNotSent), Icon::Critical);
                result.dateTimeSkipped = true;
                continue;
            }
            blocks.emplace_back(nullptr, *wire);
        } else {
            if (g.group == Group::Nrm)
                ClampTenths(set);
            for (const params::Piece &p : params::Pieces())
                if (p.group == g.group)
                    blocks.emplace_back(&p, PieceText(set, p));
        }

        if (groupStarted)
            groupStarted(g.group);
        if (g.stepLine)
            op.showStep(texts.line(g.stepLine), Tone::Working);
        switch (g.enter) {
        case Enter::None: break;
        case Enter::PlainHostOn: plain(cmd::HostOn); break;
        case Enter::HostMode: link.WriteHostMode(true); break;
        }

        int sent = 0;
        for (const auto &[piece, data] : blocks) {
            const int blockReg = piece ? params::PieceRegister(*piece) : reg::Clock;
            const int bytes = piece ? piece->bytes : params::AreaBytes(Area::Clock);
            if (!confirmed(blockReg, bytes, "By", data))
                return result;
            op.setProgress(ProgressId::Send, ++sent, int(blocks.size()));
            if (piece && piece->drainAfter)
                link.IntOku();
        }
        if (!confirmed(reg::Command, 2, "Lg", g.confirm))
            return result;

        switch (g.leave) {
        case Leave::None: break;
        case Leave::PlainHostOff: plain(cmd::HostOff); break;
        case Leave::WaitThenHostMode:
            link.WaitSeconds(link.settings.ReadingTime);
            link.WriteHostMode(false);
            break;
        }
        result.sent.add(g.group);
    }

    restore();
    return result;
}

}  // namespace vx
