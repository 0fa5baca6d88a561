#include "printing/forms/SheetPainter.h"

#include "app/forms/Style.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace style = app::style;

namespace printing {

namespace {

constexpr double kMarginMm = 10.0;
constexpr double kScreenDpi = 96.0;
constexpr double kPortraitPreviewScale = 0.63;
constexpr double kLandscapePreviewScale = 0.8;
constexpr double kRuleWidthShare = 0.6;
constexpr double kPrinterBasePenAt600Dpi = 6.0;
constexpr int kMaxParagraphs = 20;
constexpr int kMaxLinesPerParagraph = 40;

double dotsPerPoint()
{
    return SheetPainter::kReferenceDpi / 72.0;
}

QFont sheetFont(int size)
{
    QFont font(style::font(10).family());
    font.setPixelSize(std::max(1, int(std::lround(size * dotsPerPoint()))));
    // Outlines as designed: the breaks found here hold at every target's resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The lines of a text at a width, paragraph by paragraph (at most 20 paragraphs of at most 40 lines).
// *widest is the width of the widest line: more than `width` when one character alone does not fit.
QStringList breakLines(const QString &text, const QFont &font, double width, double *widest)
{
    *widest = 0.0;
    QStringList lines;
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList paragraphs = normalised.split(u'\n');
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    for (int p = 0; p < paragraphs.size() && p < kMaxParagraphs; ++p) {
        const QString &paragraph = paragraphs[p];
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (int n = 0; n < kMaxLinesPerParagraph; ++n) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            *widest = std::max(*widest, line.naturalTextWidth());
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace

QPageLayout sheetPageLayout(const PrintLayout &layout)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       layout.settings.orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

double previewScale(const PrintLayout &layout)
{
    return layout.settings.orientation == 1 ? kPortraitPreviewScale : kLandscapePreviewScale;
}

SheetPainter::SheetPainter(const PrintLayout &layout)
    : m_layout(layout),
      m_plan(layout.settings.sheetKind == kTableSheet ? planTableSheet(layout) : TableSheetPlan{}),
      m_page(sheetPageLayout(layout))
{
    const QRectF points = m_page.paintRect(QPageLayout::Point);
    m_referencePage = QRectF(0, 0, points.width() * dotsPerPoint(), points.height() * dotsPerPoint());
    layOut();
}

void SheetPainter::layOut()
{
    const double xScale = m_referencePage.width() / kPageUnits;
    const double yScale = m_referencePage.height() / kPageUnits;
    const double rowHeight = m_plan.rowHeight * yScale;
    m_laidOut.reserve(m_plan.cells.size());
    for (const SheetCell &cell : m_plan.cells) {
        const double width = cell.rect.width() * xScale;
        QStringList lines;
        auto overflowsAt = [&](int size) {
            double widest = 0.0;
            lines = breakLines(cell.text, sheetFont(size), width, &widest);
            // A character wider than the cell would cross the rule beside it.
            return widest > width ||
                   overflowsRow(int(lines.size()), size * kLineFactor * dotsPerPoint(), rowHeight);
        };
        const int size = fittedTextSize(m_plan.textSize, cell.fit, overflowsAt);
        // The last layout tried may have been at another size (or none for a cell drawn as it is).
        const bool overflow = overflowsAt(size);

        LaidOutCell out{cell.column, cell.row, size, lines, {}, overflow};
        const QFontMetricsF metrics(sheetFont(size));
        const double lineHeight = size * kLineFactor * dotsPerPoint();
        const QPointF origin(cell.rect.left() * xScale, cell.rect.top() * yScale);
        for (int k = 0; k < lines.size(); ++k) {
            if (overflowsRow(k + 1, lineHeight, rowHeight))
                break;
            out.baselines.push_back(origin + QPointF(0, k * lineHeight + metrics.ascent()));
        }
        m_laidOut.push_back(std::move(out));
    }
}

void SheetPainter::draw(QPainter &painter, const QRectF &pageRect, double basePenWidth) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(pageRect.topLeft());
    const double sx = pageRect.width() / m_referencePage.width();
    const double sy = pageRect.height() / m_referencePage.height();
    painter.scale(sx, sy);
    const double xScale = m_referencePage.width() / kPageUnits;
    const double yScale = m_referencePage.height() / kPageUnits;

    painter.setPen(Qt::black);
    for (const LaidOutCell &cell : m_laidOut) {
        painter.setFont(sheetFont(cell.size));
        for (std::size_t k = 0; k < cell.baselines.size(); ++k)
            painter.drawText(cell.baselines[k], cell.lines[qsizetype(k)]);
    }
    if (!m_plan.title.isEmpty()) {
        painter.setFont(sheetFont(m_plan.textSize));
        const QRectF title(m_plan.titleRect.left() * xScale, m_plan.titleRect.top() * yScale,
                           m_plan.titleRect.width() * xScale, m_plan.titleRect.height() * yScale);
        painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, m_plan.title);
    }
    for (const SheetRule &rule : m_plan.rules) {
        // The width is the target's, in device units, whatever the transform.
        QPen pen(QColor::fromRgb(QRgb(0xff000000u | rule.colour)));
        pen.setWidthF(basePenWidth * rule.widthFactor * kRuleWidthShare / sx);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawLine(QLineF(rule.line.x1() * xScale, rule.line.y1() * yScale, rule.line.x2() * xScale,
                                rule.line.y2() * yScale));
    }
    painter.restore();
}

QSize previewSize(const PrintLayout &layout, double scale)
{
    const double factor = kScreenDpi / 72.0 * (scale > 0.0 ? scale : previewScale(layout));
    const QRectF paper = sheetPageLayout(layout).fullRect(QPageLayout::Point);
    return QSize(int(std::lround(paper.width() * factor)), int(std::lround(paper.height() * factor)));
}

QImage SheetPainter::preview(double scale) const
{
    const double factor = kScreenDpi / 72.0 * (scale > 0.0 ? scale : previewScale(m_layout));
    const QRectF paint = m_page.paintRect(QPageLayout::Point);
    QImage image(previewSize(m_layout, scale), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter,
         QRectF(paint.left() * factor, paint.top() * factor, paint.width() * factor, paint.height() * factor),
         1.0);
    painter.end();
    return image;
}

void SheetPainter::setUpPage(QPagedPaintDevice &device) const
{
    if (!device.setPageLayout(m_page)) {
        // A printer that cannot print this close to the edge keeps its own margins.
        device.setPageSize(m_page.pageSize());
        device.setPageOrientation(m_page.orientation());
    }
}

void SheetPainter::drawPage(QPainter &painter, QPagedPaintDevice &device) const
{
    // The painter's origin is the printable rectangle's corner.
    const int dpi = device.logicalDpiX();
    const QRect paint = device.pageLayout().paintRectPixels(dpi);
    draw(painter, QRectF(0, 0, paint.width(), paint.height()), kPrinterBasePenAt600Dpi * dpi / 600.0);
}

bool SheetPainter::print(QPagedPaintDevice &device) const
{
    setUpPage(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    drawPage(painter, device);
    return painter.end();
}

} // namespace printing
