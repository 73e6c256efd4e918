#include "link/RecordRead.h"

#include "link/Codec.h"
#include "link/Transaction.h"

namespace vx {

RecordCheck ReadRecord(Link &link, int reg, const std::function<RecordCheck()> &attempt, int again)
{
    const int tries = 1 + (again > 0 ? again : 0);
    RecordCheck check = RecordCheck::Unconfirmed;
    for (int n = 1; n <= tries; ++n) {
        if (n > 1 && link.AbortRequested)
            return RecordCheck::Aborted;
        check = attempt();
        if (check != RecordCheck::Unconfirmed)
            return check;
        if (n < tries) {
            link.AppendCommsLog(link.shortDate() + QStringLiteral(" - [") + PadLeftZeros(qint64(reg), 3)
                                + QStringLiteral("]--- not confirmed, read again (%1/%2)").arg(n + 1).arg(tries));
            // An answer of this attempt that is still on its way would be taken for the
            // next attempt's: let the line fall quiet first.
            link.DrainStaleInput();
        }
    }
    return check;
}

RecordCheck CheckWriteAnswer(const Answer &answer)
{
    if (answer.whole())
        return RecordCheck::Confirmed;
    return answer.refused() ? RecordCheck::Refused : RecordCheck::Unconfirmed;
}

RecordCheck CheckReadAnswer(const Answer &answer, QString *dataHex)
{
    if (dataHex)
        *dataHex = answer.data;
    if (answer.refused())
        return RecordCheck::Refused;
    return answer.whole() ? RecordCheck::Confirmed : RecordCheck::Unconfirmed;
}

RecordCheck ReadDecoded(Link &link, int reg, int byteCount, ReadTag tag, double preDelay, QVariant *value,
                        QString *dataHex)
{
    const Answer answer = link.readAnswer(reg, byteCount, preDelay);
    const RecordCheck read = CheckReadAnswer(answer, dataHex);
    if (read != RecordCheck::Confirmed)
        return read;
    *value = link.valueOf(answer, tag, reg);
    return value->isValid() ? RecordCheck::Confirmed : RecordCheck::Unconfirmed;
}

}  // namespace vx
