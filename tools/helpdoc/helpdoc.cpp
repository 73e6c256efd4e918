// Renders a help document written in Markdown to an A4 PDF.
//
//   vextora-helpdoc <input.md> <output.pdf>
//
// The build runs it for docs/help/VextoraTR.md and VextoraENG.md and puts the
// PDFs in the "Help" folder beside the program. It needs a Qt platform plugin
// only for the font database; the build sets QT_QPA_PLATFORM=offscreen.

#include <QAbstractTextDocumentLayout>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextFrameFormat>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>

#include <cstdio>

namespace {

constexpr int kResolution = 300;        // dots per inch of the PDF's device space
constexpr double kMarginMm = 20.0;      // page margin on every side
constexpr double kFooterGapMm = 8.0;    // room between the text and the footer line
const char *const kBodyFont = "DejaVu Sans";
const char *const kCodeFont = "DejaVu Sans Mono";

void fail(const QString &message)
{
    std::fprintf(stderr, "vextora-helpdoc: %s\n", qPrintable(message));
}

// The document title is its first level-1 heading; the file name otherwise.
QString titleOf(const QString &markdown, const QString &fallback)
{
    static const QRegularExpression heading(QStringLiteral("^#\\s+(.+?)\\s*#*\\s*$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = heading.match(markdown);
    return m.hasMatch() ? m.captured(1) : fallback;
}

double mmToDots(double mm) { return mm / 25.4 * kResolution; }
// Lengths inside the document (margins, padding, borders) are in the layout's
// logical pixels of 96 per inch, which the layout scales up to the device itself.
// The page size and the painter work in device dots.
double mmToLayout(double mm) { return mm / 25.4 * 96.0; }
double ptToLayout(double pt) { return pt / 72.0 * 96.0; }

// Code spans and blocks come out of the Markdown reader with the platform's fixed
// font; pin them to a font that is known to embed.
void useCodeFont(QTextDocument &doc)
{
    struct Range {
        int position;
        int length;
        QTextCharFormat format;
    };
    const QString systemFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    QList<Range> ranges;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QTextCharFormat format = fragment.charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            const bool fixed =
                format.fontFixedPitch() || (!families.isEmpty() && families.first() == systemFixed);
            if (!fixed)
                continue;
            format.setFontFamilies({QString::fromLatin1(kCodeFont)});
            format.setFontFixedPitch(true);
            format.setFontStyleStrategy(QFont::PreferNoShaping);
            ranges.append({fragment.position(), fragment.length(), format});
        }
    }
    // Applied after the walk: changing formats splits and merges fragments.
    QTextCursor cursor(&doc);
    for (const Range &r : ranges) {
        cursor.setPosition(r.position);
        cursor.setPosition(r.position + r.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(r.format);
    }
}


// Spacing of headings and paragraphs, and thin ruled tables with a shaded header row.
void styleDocument(QTextDocument &doc)
{
    QTextCursor cursor(&doc);
    bool afterList = false;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        const bool inList = block.textList() != nullptr;
        const bool inTable = QTextCursor(block).currentTable() != nullptr;
        if (level == 1) {
            format.setTopMargin(0);
            format.setBottomMargin(ptToLayout(4));
        } else if (level == 2) {
            format.setTopMargin(ptToLayout(14));
            format.setBottomMargin(ptToLayout(5));
        } else if (level >= 3) {
            format.setTopMargin(ptToLayout(9));
            format.setBottomMargin(ptToLayout(4));
        } else if (inList) {
            format.setTopMargin(0);
            format.setBottomMargin(ptToLayout(2));
        } else if (format.hasProperty(QTextFormat::BlockCodeFence)) {
            format.setBackground(QColor(0xF2, 0xF2, 0xF2));
            format.setLeftMargin(ptToLayout(12));
            format.setTopMargin(afterList ? ptToLayout(4) : 0);
            const QTextBlock next = block.next();
            const bool lastLine = !next.isValid() || !next.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
            format.setBottomMargin(lastLine ? ptToLayout(6) : 0);
        } else if (!inTable) {
            format.setTopMargin(afterList ? ptToLayout(4) : 0);
            format.setBottomMargin(ptToLayout(5));
        }
        afterList = inList;
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }

    QList<QTextFrame *> frames = doc.rootFrame()->childFrames();
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeFirst();
        frames += frame->childFrames();
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorder(ptToLayout(0.6));
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0x99, 0x99, 0x99));
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(ptToLayout(3));
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setTopMargin(ptToLayout(2));
        format.setBottomMargin(ptToLayout(8));
        format.setHeaderRowCount(1);
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat cellFormat = cell.format();
            cellFormat.setBackground(QColor(0xE4, 0xEA, 0xF2));
            cell.setFormat(cellFormat);
        }
    }
}

// The document's layout is lazy: a change lays out again only up to where it is
// asked about, and the rest would follow on the event loop's idle time, which a
// tool without an event loop never has. Asking for the whole size lays out the
// whole document; positions, the page count and the painting read it only after.
void layoutWhole(QTextDocument &doc)
{
    doc.documentLayout()->documentSize();
}

// A heading left alone at the foot of a page moves to the next page with the text
// it introduces. Each move changes the layout after it, so headings are checked
// again, on a whole new layout, until none is left alone.
void keepHeadingsWithText(QTextDocument &doc, double pageHeight)
{
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    for (int pass = 0; pass < 50; ++pass) {
        layoutWhole(doc);
        bool moved = false;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            const QTextBlock next = block.next();
            if (block.blockFormat().headingLevel() == 0 || !next.isValid())
                continue;
            // A block's first line may sit lower than the block itself: the layout
            // pushes lines that do not fit down to the next page.
            const auto firstLineTop = [layout](const QTextBlock &b) {
                double top = layout->blockBoundingRect(b).top();
                if (b.layout() && b.layout()->lineCount() > 0)
                    top += b.layout()->lineAt(0).y();
                return top;
            };
            const int headingPage = int(firstLineTop(block) / pageHeight);
            const int nextPage = int(firstLineTop(next) / pageHeight);
            if (nextPage <= headingPage)
                continue;
            QTextBlockFormat format = block.blockFormat();
            if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
            moved = true;
            break;
        }
        if (!moved)
            return;
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        fail(QStringLiteral("usage: vextora-helpdoc <input.md> <output.pdf>"));
        return 2;
    }
    const QString inputPath = args.at(1);
    const QString outputPath = args.at(2);

    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(inputPath, input.errorString()));
        return 1;
    }
    const QString markdown = QString::fromUtf8(input.readAll());
    input.close();
    if (markdown.trimmed().isEmpty()) {
        fail(QStringLiteral("%1 is empty").arg(inputPath));
        return 1;
    }
    if (!QFontDatabase::families().contains(QString::fromLatin1(kBodyFont)))
        fail(QStringLiteral("warning: font \"%1\" is not installed; another font is used")
                 .arg(QString::fromLatin1(kBodyFont)));

    const QString title = titleOf(markdown, QFileInfo(inputPath).completeBaseName());

    QPdfWriter writer(outputPath);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Vextora help document generator"));

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    QFont body(QString::fromLatin1(kBodyFont));
    body.setPointSizeF(10.0);
    // Turkish text must not use the "fi" ligature (it hides the dot of the i);
    // plain shaping also keeps the PDF's text searchable letter by letter.
    body.setStyleStrategy(QFont::PreferNoShaping);
    doc.setDefaultFont(body);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    useCodeFont(doc);
    styleDocument(doc);

    // The document is paginated on whole pages; the root frame's margins keep the
    // text off the page edges and leave room for the footer on every page.
    const double pageWidth = writer.width();
    const double pageHeight = writer.height();
    const double margin = mmToDots(kMarginMm);
    QTextFrameFormat rootFormat = doc.rootFrame()->frameFormat();
    rootFormat.setLeftMargin(mmToLayout(kMarginMm));
    rootFormat.setRightMargin(mmToLayout(kMarginMm));
    rootFormat.setTopMargin(mmToLayout(kMarginMm));
    rootFormat.setBottomMargin(mmToLayout(kMarginMm + kFooterGapMm + 4.0));
    doc.rootFrame()->setFrameFormat(rootFormat);
    doc.setPageSize(QSizeF(pageWidth, pageHeight));
    keepHeadingsWithText(doc, pageHeight);
    layoutWhole(doc);

    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(QStringLiteral("cannot write %1").arg(outputPath));
        return 1;
    }
    QFont footerFont(QString::fromLatin1(kBodyFont));
    footerFont.setPointSizeF(8.0);
    footerFont.setStyleStrategy(QFont::PreferNoShaping);
    const int pages = doc.pageCount();
    const double footerTop = pageHeight - margin - mmToDots(4.0);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * pageHeight);
        doc.drawContents(&painter, QRectF(0, page * pageHeight, pageWidth, pageHeight));
        painter.restore();

        painter.setPen(QPen(Qt::gray, mmToDots(0.2)));
        painter.drawLine(QPointF(margin, footerTop - mmToDots(2.0)),
                         QPointF(pageWidth - margin, footerTop - mmToDots(2.0)));
        painter.setPen(Qt::darkGray);
        painter.setFont(footerFont);
        const QRectF footer(margin, footerTop, pageWidth - 2 * margin, mmToDots(5.0));
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop, title);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignTop,
                         QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
    }
    if (!painter.end()) {
        fail(QStringLiteral("cannot finish %1").arg(outputPath));
        return 1;
    }
    return 0;
}
