#pragma once

#include "hub/PersonalSheet.h"

#include <QFont>
#include <QRectF>

class QPagedPaintDevice;
class QPainter;

// Draws the personal data sheet. The screen's drawing area, the printer and a PDF file all go through
// paintPage, so what the teacher sees is what is printed: the sheet's positions are fractions of the
// page, its fonts are in points of the device painted on.
namespace hub::sheetpaint {

// The sheet's font size after the graph button, and on paper.
inline constexpr qreal kSheetPointSize = 6.0;

// The sheet's font: the monospaced Japanese font in which its lines are aligned.
QFont sheetFont(qreal pointSize);

// Page `index` of the sheet into `page` (the painter's coordinates): the student's name in three times
// the size above the first block, each block's title line, its statistics lines at one and a half
// times the size, and its framed chart with new bests as red diamonds and other runs as blue circles.
void paintPage(QPainter &painter, const QRectF &page, const hub::PersonalSheet &sheet, int index,
               qreal pointSize = kSheetPointSize);

// Every page of the sheet onto a printer or PDF writer that the painter is active on, the whole paper
// as the page, a new page before each but the first. With startOnNewPage the first page of this sheet
// goes on a new page too (a sheet after another in the same document).
void paintSheet(QPainter &painter, QPagedPaintDevice &device, const hub::PersonalSheet &sheet,
                bool startOnNewPage = false, qreal pointSize = kSheetPointSize);

// The page rectangle of a printer or PDF writer in the painter's coordinates: the whole sheet of
// paper.
QRectF paperRect(QPagedPaintDevice &device);

} // namespace hub::sheetpaint
