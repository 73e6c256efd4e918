#include "gui/MemoryGrid.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLayout>
#include <QLineEdit>
#include <QPalette>
#include <QTableView>

namespace vx::gui {
namespace {

// Column 0 holds the row captions: shaded and bold, as a fixed column.
class CaptionColumnStyle : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (index.column() == 0) {
            if (role == Qt::BackgroundRole)
                return QApplication::palette().brush(QPalette::Button);
            if (role == Qt::FontRole) {
                QFont bold = QApplication::font();
                bold.setBold(true);
                return bold;
            }
        }
        return QIdentityProxyModel::data(index, role);
    }
};

}  // namespace

QTableView *MakeMemoryGrid(int index, QAbstractItemModel *model, QFrame *area)
{
    auto *view = new QTableView(area);
    view->setObjectName(QStringLiteral("Grid1_%1").arg(index));
    auto *style = new CaptionColumnStyle(view);
    style->setSourceModel(model);
    view->setModel(style);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->hide();
    // Rows as high as an entry box, so that the boxes fit over the cells.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(QLineEdit().sizeHint().height());
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(true);
    area->layout()->addWidget(view);
    return view;
}

}  // namespace vx::gui
