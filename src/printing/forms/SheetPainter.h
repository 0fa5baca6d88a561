#pragma once

#include "printing/PrintLayout.h"
#include "printing/TableSheet.h"

#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

// The one routine that draws a sheet, for every target: the preview image, a printer and a PDF file.
//
// The sheet is laid out once, on the paper in reference units of 1/1200 inch: each cell's text is broken
// into lines with QTextLayout at the cell's width and drawn a size smaller at a time until it fits its row
// (see TableSheet.h). Every target then draws that same layout through a painter transform that maps the
// paper's printable rectangle onto the target's page, so the preview is the printed page made small and
// a text fits on the printer exactly where it fits on the screen.
namespace printing {

// The paper of a sheet: A4, portrait for orientation box value 1 and landscape otherwise, with margins of
// 10 mm on every side.
QPageLayout sheetPageLayout(const PrintLayout &layout);

// The preview's scale: 0.63 of the paper for a portrait sheet, 0.8 for a landscape one (of the paper's
// size on a 96 dpi screen).
double previewScale(const PrintLayout &layout);

// The size of the preview image of a sheet (the paper at the preview scale, in pixels).
QSize previewSize(const PrintLayout &layout, double scale = 0.0);

// What one cell's text became.
struct LaidOutCell
{
    int column = 0;
    int row = 0;
    int size = 0;                   // points
    QStringList lines;              // as broken at the cell's width
    std::vector<QPointF> baselines; // where each line drawn is written, in reference units
    bool overflow = false;          // even the smallest size does not fit: only the lines that fit are drawn
};

class SheetPainter
{
public:
    explicit SheetPainter(const PrintLayout &layout);

    // Draws the sheet onto a painter whose device shows the page model in `pageRect` (device units);
    // basePenWidth is the width of a rule of factor 1 before the 0.6 that every rule is drawn at.
    void draw(QPainter &painter, const QRectF &pageRect, double basePenWidth) const;

    // The preview: the whole paper at the preview scale (or at `scale`), white, with the sheet on it.
    QImage preview(double scale = 0.0) const;

    // A page on a printer or PDF writer: setUpPage() gives the device the sheet's paper before a painter
    // begins on it, drawPage() draws the sheet with the painter begun on it.
    void setUpPage(QPagedPaintDevice &device) const;
    void drawPage(QPainter &painter, QPagedPaintDevice &device) const;
    // The three together: false when the device does not start the page or does not finish it.
    bool print(QPagedPaintDevice &device) const;

    // The layout of every cell (for tests and checks).
    const std::vector<LaidOutCell> &cells() const { return m_laidOut; }
    const TableSheetPlan &plan() const { return m_plan; }
    // The paper's printable rectangle in reference units.
    QRectF referencePage() const { return m_referencePage; }

    static constexpr double kReferenceDpi = 1200.0;

private:
    void layOut();

    const PrintLayout &m_layout;
    TableSheetPlan m_plan;
    QPageLayout m_page;
    QRectF m_referencePage;
    std::vector<LaidOutCell> m_laidOut;
};

} // namespace printing
