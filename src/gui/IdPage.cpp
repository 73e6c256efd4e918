#include "gui/IdPage.h"

#include "files/WorkingSet.h"
#include "gui/MemoryGrid.h"
#include "gui/RowEntry.h"
#include "gui/Widgets.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace vx::gui {
namespace {
// Captions of the grid's header row.
constexpr int TextRecordColumn = 408;
constexpr int TextNumberColumn = 409;
constexpr int TextNameColumn = 410;
}  // namespace

IdPage::IdPage(PageHost &host, QWidget *parent)
    : TabPage(Tab::IdMemory, host, parent), m_memory(host.workingSet().ids())
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    // The current IDs: box 2k the number, box 2k + 1 the name of ID k + 1.
    m_frame8 = Named<QGroupBox>(QStringLiteral("Frame8"), this);
    auto *cl = new QGridLayout(m_frame8);
    for (int k = 0; k < CurrentIdCount; ++k) {
        cl->addWidget(Named<QLabel>(QStringLiteral("LabelId_%1").arg(k), m_frame8, IdMemory::rowLabel(k)), k, 0);
        for (int column = 0; column < 2; ++column) {
            const int i = 2 * k + column;
            QLineEdit *&box = m_text11[size_t(i)];
            box = Named<QLineEdit>(QStringLiteral("Text11_%1").arg(i), m_frame8);
            box->setMaxLength(column == 0 ? IdNumberWidth : IdNameWidth);
            if (column == 0) {
                new BoxKeyFilter(box, BoxKeys::Digits);
                box->setMaximumWidth(90);
            }
            cl->addWidget(box, k, column + 1);
            connect(box, &QLineEdit::textEdited, this, [this, i](const QString &text) {
                if (i % 2 == 0 && !BoxKeyFilter::accepts(BoxKeys::Digits, text))
                    return;  // the key filter passes on what stays of it
                if (i % 2 == 0)
                    m_memory.setNumber(i / 2, text);
                else
                    m_memory.setName(i / 2, text);
                this->host().workingSet().edited(DataGroup::Ids);
            });
        }
    }
    cl->setColumnStretch(2, 1);
    m_captions.add(381, m_frame8, "Aktif ID Bilgileri");

    m_headerFrame = Named<QGroupBox>(QStringLiteral("FrameIdHeader"), this);
    auto *hl = new QGridLayout(m_headerFrame);
    m_text6 = Named<QLineEdit>(QStringLiteral("Text6"), m_headerFrame);
    m_text8 = Named<QLineEdit>(QStringLiteral("Text8"), m_headerFrame);
    QLineEdit *headers[2] = {m_text6, m_text8};
    for (int i = 0; i < IdHeaderCount; ++i) {
        m_label21[i] = Named<QLabel>(QStringLiteral("Label21_%1").arg(i), m_headerFrame);
        headers[i]->setMaxLength(IdHeaderWidth);
        hl->addWidget(m_label21[i], i, 0);
        hl->addWidget(headers[i], i, 1);
        connect(headers[i], &QLineEdit::textEdited, this, [this, i](const QString &text) {
            m_memory.setIdHeader(i, text);
            this->host().workingSet().edited(DataGroup::Ids);
        });
    }
    m_captions.add(75, m_headerFrame, "ID Header");
    m_captions.add(76, m_label21[0], " ID Header 1");
    m_captions.add(77, m_label21[1], " ID Header 2");

    m_gridArea = MakeGridArea(0, this);
    m_grid = MakeMemoryGrid(0, &m_memory, m_gridArea);
    m_entry = new RowEntry(m_grid);
    connect(m_entry, &RowEntry::typed, this, [this] { this->host().workingSet().edited(DataGroup::Ids); });
    m_entry->addBox(QStringLiteral("Text2"), IdMemory::Number, BoxKeys::Digits, IdNumberWidth);
    m_entry->addBox(QStringLiteral("Text3"), IdMemory::Name, BoxKeys::Any, IdNameWidth);
    // Rows 1 and 2 of the grid (the current IDs) are edited in their own boxes above.
    m_entry->setFirstRow(CurrentIdCount);

    connect(&m_memory, &IdMemory::idHeaderChanged, this, &IdPage::showHeader);
    connect(&m_memory, &QAbstractItemModel::dataChanged, this, &IdPage::showCurrentIds);
    connect(&m_memory, &QAbstractItemModel::modelReset, this, &IdPage::showCurrentIds);

    layout->addWidget(m_frame8, 0, 0);
    layout->addWidget(m_headerFrame, 0, 1);
    layout->addWidget(m_gridArea, 1, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    m_captions.applyDesign();
    m_memory.setColumnCaptions({QStringLiteral("Kayıt"), QStringLiteral("ID No"), QStringLiteral("ID Adı")});
    layOutGrids();
}

void IdPage::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    m_memory.setColumnCaptions({texts.line(TextRecordColumn), texts.line(TextNumberColumn), texts.line(TextNameColumn)});
}

void IdPage::layOutGrids()
{
    for (int record = 0; record < CurrentIdCount; ++record)
        m_grid->setRowHidden(record, true);
    m_grid->setColumnWidth(IdMemory::Label, 150);
    m_grid->setColumnWidth(IdMemory::Number, 110);
    if (m_entry->currentRow() < CurrentIdCount)
        m_entry->setCurrentRow(CurrentIdCount);
}

void IdPage::entered()
{
    // The grid's selection goes back to its first row on every visit.
    m_entry->setCurrentRow(CurrentIdCount);
}

void IdPage::showHeader(int index)
{
    QLineEdit *box = index == 0 ? m_text6 : m_text8;
    if (box->text() != m_memory.idHeader(index))
        box->setText(m_memory.idHeader(index));
}

void IdPage::showCurrentIds()
{
    for (int i = 0; i < 4; ++i) {
        const QString text = i % 2 == 0 ? m_memory.number(i / 2) : m_memory.name(i / 2);
        if (m_text11[size_t(i)]->text() != text)
            m_text11[size_t(i)]->setText(text);
    }
}

TransferResult IdPage::read()
{
    const TransferResult result =
        IDOKUHost(host().link(), m_memory, host().texts(), [this] { host().DisconnectAction(); });
    ReportRead(host().workingSet(), DataGroup::Ids, result);
    return result;
}

void IdPage::clearPage()
{
    m_memory.clear();
    m_entry->setCurrentRow(CurrentIdCount);
}

}  // namespace vx::gui
