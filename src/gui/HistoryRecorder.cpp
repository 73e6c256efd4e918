#include "gui/HistoryRecorder.h"

#include "files/WorkingSet.h"
#include "link/Interfaces.h"
#include "service/TransferJobs.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace vx::gui {

namespace {
constexpr int kLongestNote = 1000;  // characters, as the tool allows
}

NoteField::NoteField(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name + QStringLiteral("Field"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_label = new QLabel(this);
    m_label->setObjectName(name + QStringLiteral("Label"));
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(name);
    m_edit->setMaxLength(kLongestNote);
    m_label->setBuddy(m_edit);
    layout->addWidget(m_label);
    layout->addWidget(m_edit, 1);
    applyLanguage(TextService());
}

void NoteField::applyLanguage(const TextService &texts) { m_label->setText(texts.builtIn(BuiltIn::HistoryNoteLabel)); }

QString NoteField::note() const { return m_edit->text().trimmed(); }

IndicatorIdentity WindowIdentity(const AppState &state, WorkingSet &set)
{
    return ProvenanceIdentity(set, std::nullopt, state.IndicatorModelText, {});
}

void SayHistoryNotWritten(Operator &op, const TextService &texts, const QString &why)
{
    op.message(texts.builtIn(BuiltIn::HistoryNotWritten).arg(QDir::toNativeSeparators(HistoryFilePath()), why),
               Icon::Warning);
}

bool AppendWindowHistory(Operator &op, const TextService &texts, HistoryRecord record, const QString &note)
{
    record.tool = HistoryTool::Window;
    if (!note.trimmed().isEmpty())
        record.note = note.trimmed();
    QString why;
    if (AppendHistory(record, &why))
        return true;
    SayHistoryNotWritten(op, texts, why);
    return false;
}

}  // namespace vx::gui
