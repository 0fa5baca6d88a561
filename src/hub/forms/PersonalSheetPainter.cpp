#include "hub/forms/PersonalSheetPainter.h"

#include "app/forms/Style.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace style = app::style;

namespace hub::sheetpaint {

namespace {
const QColor kInk(0x1f, 0x2a, 0x36);
const QColor kFrame(0x55, 0x5f, 0x6b);
const QColor kGrid(0xc4, 0xcb, 0xd3);
const QColor kNewBest(0xff, 0x00, 0x00);  // red
const QColor kOtherRun(0x00, 0x00, 0xff); // blue

// The markers are sized by the sheet's font, so that they keep their size against the text on every
// device.
void drawMarker(QPainter &painter, QPointF at, bool newBest, qreal size)
{
    painter.setPen(Qt::NoPen);
    if (newBest) {
        // A diamond, a little larger than the circles: a new best reads by its shape as well as its
        // colour.
        const qreal r = size * 0.75;
        painter.setBrush(kNewBest);
        painter.drawPolygon(
            QPolygonF({at + QPointF(0, -r), at + QPointF(r, 0), at + QPointF(0, r), at + QPointF(-r, 0)}));
    } else {
        const qreal r = size * 0.45;
        painter.setBrush(kOtherRun);
        painter.drawEllipse(at, r, r);
    }
    painter.setBrush(Qt::NoBrush);
}

void paintChart(QPainter &painter, const QRectF &page, const hub::ChartLayout &chart, const QFont &font,
                qreal lineWidth)
{
    const auto px = [&](double x) { return page.left() + x * page.width(); };
    const auto py = [&](double y) { return page.top() + y * page.height(); };
    const QRectF frame(QPointF(px(chart.left), py(chart.top)), QPointF(px(chart.right), py(chart.bottom)));
    const QFontMetricsF metrics(font, painter.device());
    const qreal marker = metrics.height();

    painter.setFont(font);
    for (const hub::ChartTick &tick : chart.ticks) {
        const qreal y = py(tick.y);
        if (y > frame.top() + 0.5 && y < frame.bottom() - 0.5) {
            painter.setPen(QPen(kGrid, lineWidth, Qt::DashLine));
            painter.drawLine(QPointF(frame.left(), y), QPointF(frame.right(), y));
        }
        painter.setPen(kInk);
        const QRectF label(frame.left() - metrics.horizontalAdvance(u'0') * 8, y - metrics.height() / 2,
                           metrics.horizontalAdvance(u'0') * 7.5, metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, tick.label);
    }
    painter.setPen(QPen(kFrame, lineWidth));
    painter.drawRect(frame);

    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const hub::ChartPoint &p : chart.points)
        drawMarker(painter, QPointF(px(p.x), py(p.y)), p.newBest, marker);

    // The key under the frame.
    qreal x = frame.left();
    const qreal y = frame.bottom() + metrics.height() * 0.9;
    for (bool newBest : {true, false}) {
        drawMarker(painter, QPointF(x + marker * 0.75, y), newBest, marker);
        x += marker * 1.9;
        const QString text = newBest ? QStringLiteral("ベスト更新") : QStringLiteral("その他の回");
        painter.setPen(kInk);
        painter.drawText(QPointF(x, y + metrics.ascent() / 2 - metrics.descent() / 2), text);
        x += metrics.horizontalAdvance(text) + marker * 1.5;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}
// A block of weak idioms: its title, then per idiom its line at one and a half times the size and its
// meaning under it at the sheet's size.
void paintWeakBlock(QPainter &painter, const QRectF &page, const hub::WeakIdiomsBlock &block,
                    const QFont &font, const QFont &linesFont, qreal left)
{
    const QFontMetricsF metrics(font, painter.device());
    const QFontMetricsF lineMetrics(linesFont, painter.device());
    const qreal indent = lineMetrics.horizontalAdvance(u'　') * 2;
    const qreal width = page.right() - 0.05 * page.width() - left;
    painter.setPen(kInk);
    painter.setFont(linesFont);
    qreal y = page.top() + block.top * page.height() + lineMetrics.ascent();
    painter.drawText(QPointF(left, y), block.title);
    painter.setPen(QPen(kFrame, std::max<qreal>(1.0, metrics.height() / 12.0)));
    painter.drawLine(QPointF(left, y + lineMetrics.descent()),
                     QPointF(left + width, y + lineMetrics.descent()));
    painter.setPen(kInk);
    y += lineMetrics.lineSpacing() * 1.5;
    if (!block.note.isEmpty()) {
        painter.setFont(font);
        const QRectF area(left + indent, y - metrics.ascent(), width - indent, metrics.lineSpacing() * 6);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, block.note);
        return;
    }
    for (const hub::WeakIdiomLine &line : block.lines) {
        painter.setFont(linesFont);
        painter.drawText(QPointF(left, y), line.text);
        y += lineMetrics.descent() + metrics.ascent();
        painter.setFont(font);
        painter.drawText(QPointF(left + indent, y),
                         metrics.elidedText(line.meaning, Qt::ElideRight, width - indent));
        y += metrics.descent() + lineMetrics.lineSpacing() * 0.35 + lineMetrics.ascent();
    }
}
} // namespace

QFont sheetFont(qreal pointSize)
{
    return style::monoFont(pointSize);
}

void paintPage(QPainter &painter, const QRectF &page, const hub::PersonalSheet &sheet, int index,
               qreal pointSize)
{
    if (index < 0 || std::size_t(index) >= sheet.pages.size())
        return;
    const hub::SheetPage &sheetPage = sheet.pages[std::size_t(index)];
    painter.save();
    const QFont font = sheetFont(pointSize);
    const QFont nameFont = sheetFont(pointSize * 3);
    const QFont linesFont = sheetFont(pointSize * 1.5);
    const QFontMetricsF metrics(font, painter.device());
    const QFontMetricsF nameMetrics(nameFont, painter.device());
    const QFontMetricsF lineMetrics(linesFont, painter.device());
    const qreal lineWidth = std::max<qreal>(1.0, metrics.height() / 12.0);
    const qreal textLeft = page.left() + 0.05 * page.width();
    const qreal linesLeft = page.left() + 0.52 * page.width();

    painter.setPen(kInk);
    if ((!sheetPage.blocks.empty() || !sheetPage.weakBlocks.empty()) && !sheet.name.isEmpty()) {
        const double top =
            sheetPage.blocks.empty() ? sheetPage.weakBlocks.front().top : sheetPage.blocks.front().top;
        const qreal firstTop = page.top() + top * page.height();
        painter.setFont(nameFont);
        painter.drawText(QPointF(textLeft, firstTop - nameMetrics.descent() - metrics.height() * 0.3),
                         sheet.name);
    }

    for (const hub::SheetBlock &block : sheetPage.blocks) {
        const qreal top = page.top() + block.top * page.height();
        painter.setPen(kInk);
        painter.setFont(font);
        painter.drawText(QPointF(textLeft, top + metrics.ascent()), block.title);

        // The statistics lines at one and a half times the size; the size is the sheet's again after.
        painter.setFont(linesFont);
        qreal y = top + metrics.height() * 1.5 + lineMetrics.ascent();
        for (const hub::StatisticsLine &line : block.lines) {
            if (line.halfLineLower)
                y += lineMetrics.lineSpacing() * 0.5;
            painter.drawText(QPointF(linesLeft, y), line.text);
            y += lineMetrics.lineSpacing();
        }
        painter.setFont(font);
        paintChart(painter, page, block.chart, font, lineWidth);
    }
    for (const hub::WeakIdiomsBlock &block : sheetPage.weakBlocks)
        paintWeakBlock(painter, page, block, font, linesFont, textLeft);
    painter.restore();
}

QRectF paperRect(QPagedPaintDevice &device)
{
    // Printers and PDF writers paint with the origin at the printable area's corner; the sheet's
    // fractions are of the whole paper.
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiX();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    return QRectF(full).translated(-paint.topLeft());
}

void paintSheet(QPainter &painter, QPagedPaintDevice &device, const hub::PersonalSheet &sheet,
                bool startOnNewPage, qreal pointSize)
{
    const QRectF page = paperRect(device);
    for (std::size_t i = 0; i < sheet.pages.size(); ++i) {
        if (i > 0 || startOnNewPage)
            device.newPage();
        paintPage(painter, page, sheet, int(i), pointSize);
    }
}

} // namespace hub::sheetpaint
