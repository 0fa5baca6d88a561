#include "startup/forms/ScaledWindow.h"

#include "app/forms/DialogScale.h"
#include "startup/forms/MainWindow.h"
#include "startup/forms/ScaledAccessible.h"
#include "startup/forms/TextPictureStyle.h"

#include <QApplication>
#include <QDialog>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QStyleOptionGraphicsItem>

#include <algorithm>

namespace {

// Whether a shown child of the canvas fills all of `area` (canvas units) with its own background, as
// every screen does.
bool coveredByAScreen(const QWidget &canvas, const QRect &area)
{
    for (QObject *child : canvas.children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->isVisible() && widget->autoFillBackground() &&
            widget->palette().brush(widget->backgroundRole()).isOpaque() && widget->geometry().contains(area))
            return true;
    }
    return false;
}

} // namespace

void CanvasProxy::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    QWidget *canvas = widget();
    if (!canvas || !canvas->isVisible())
        return;
    const QRect exposed = (option->exposedRect & rect()).toAlignedRect();
    if (exposed.isEmpty())
        return;
    // The canvas's own background is painted only where no screen covers it: under a screen each
    // fill of the canvas's area would be painted over at once, and at a full screen's resolution a fill
    // of that area is a good part of a painting.
    // On a picture of the window (a grab, a printer) nothing of the canvas goes beyond its edges.
    if (painter->device()->devType() != QInternal::Widget)
        painter->setClipRect(canvas->geometry(), Qt::IntersectClip);
    QWidget::RenderFlags flags = QWidget::DrawChildren;
    if (!coveredByAScreen(*canvas, exposed))
        flags |= QWidget::DrawWindowBackground;
    canvas->render(painter, exposed.topLeft(), exposed, flags);
}

ScaledWindow::ScaledWindow(MainWindow &canvas, QWidget *parent)
    : QGraphicsView(parent), m_canvas(canvas), m_panels(&canvas)
{
    setObjectName(QStringLiteral("ScaledWindow"));
    setWindowTitle(canvas.windowTitle());
    auto *scene = new QGraphicsScene(QRectF(0, 0, MainWindow::kWidth, MainWindow::kHeight), this);
    setScene(scene);
    // Only a hidden window can be embedded; one already shown is shown again inside the scene.
    const bool shown = canvas.isVisible();
    canvas.hide();
    m_proxy = new CanvasProxy;
    m_proxy->setWidget(&canvas);
    scene->addItem(m_proxy);
    if (shown)
        canvas.show();
    m_proxy->setPos(0, 0);

    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignCenter);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setResizeAnchor(QGraphicsView::NoAnchor);
    // Text and lines are drawn at the display's size anyway; pictures not drawn for it (icons, a preview
    // drawn before F11) are scaled smoothly.
    setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    // drawBackground() and the canvas (its screen, or its own background where no screen covers it)
    // paint all that is exposed, so neither the viewport nor the window under it need fill it first: at
    // a full screen's resolution each fill of the display's area is a good part of a repaint.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setOptimizationFlags(QGraphicsView::DontSavePainterState | QGraphicsView::DontAdjustForAntialiasing);
    setMinimumSize(320, 240);
    resize(MainWindow::kWidth, MainWindow::kHeight);
    m_paintedSurround = surroundColour().rgb();

    // Large text is drawn from pictures at the display's resolution (see TextPictureStyle.h), and so are
    // the panels of buttons (m_panels).
    TextPictureStyle::install();
    qApp->installEventFilter(this);
    scaledaccessible::install(*this); // screen readers and magnifiers see the canvas as it is drawn
}

ScaledWindow::~ScaledWindow()
{
    qApp->removeEventFilter(this);
    m_canvas.hide();
    m_proxy->setWidget(nullptr);
}

void ScaledWindow::start()
{
    showKiosk();
    activateWindow();
    setFocus();
    m_canvas.start();
}

void ScaledWindow::showKiosk()
{
    showFullScreen();
    // Without a window manager (a kiosk session, a virtual display) nobody makes the window as large as
    // the display but the window itself.
    if (QScreen *display = screen())
        setGeometry(display->geometry());
}

void ScaledWindow::showWindowed()
{
    showNormal();
    resize(MainWindow::kWidth, MainWindow::kHeight);
}

void ScaledWindow::toggleFullScreen()
{
    if (isKiosk())
        showWindowed();
    else
        showKiosk();
    activateWindow();
}

double ScaledWindow::fitScale(const QSizeF &area)
{
    if (area.width() <= 0 || area.height() <= 0)
        return 1.0;
    return std::min(area.width() / MainWindow::kWidth, area.height() / MainWindow::kHeight);
}

double ScaledWindow::displayScale(const QWidget *canvasWidget)
{
    return app::dialogscale::displayScale(canvasWidget);
}

void ScaledWindow::fit()
{
    m_scale = fitScale(viewport()->size());
    // The scene is never larger than the viewport, so it stays centred (setAlignment above).
    setTransform(QTransform::fromScale(m_scale, m_scale));
}

QRectF ScaledWindow::canvasArea() const
{
    return QRectF(mapFromScene(QPointF(0, 0)),
                  QSizeF(MainWindow::kWidth * m_scale, MainWindow::kHeight * m_scale));
}

QPoint ScaledWindow::toViewport(const QPointF &canvasPoint) const
{
    return mapFromScene(canvasPoint);
}

QPoint ScaledWindow::toViewport(const QWidget *canvasWidget, const QPointF &point) const
{
    return mapFromScene(m_proxy->mapToScene(m_proxy->subWidgetRect(canvasWidget).topLeft() + point));
}

QColor ScaledWindow::surroundColour() const
{
    return QColor::fromRgb(m_canvas.state().settings.seasonColour);
}

void ScaledWindow::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    fit();
}

void ScaledWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F11 && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            toggleFullScreen();
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void ScaledWindow::paintEvent(QPaintEvent *event)
{
    // The season colour changed since the surround was painted (a repaint of the splash follows the
    // start-up's setting it): the whole surround is painted again next.
    const QRgb surround = surroundColour().rgb();
    if (surround != m_paintedSurround) {
        m_paintedSurround = surround;
        viewport()->update();
    }
    QGraphicsView::paintEvent(event);
}

void ScaledWindow::drawBackground(QPainter *painter, const QRectF &rect)
{
    // The canvas paints its own area (its window background first), so only what is around it is
    // filled here: a fill of the canvas's area would be painted over at once.
    const QRegion around =
        QRegion(rect.toAlignedRect()) - QRegion(0, 0, MainWindow::kWidth, MainWindow::kHeight);
    const QColor colour = surroundColour();
    for (const QRect &part : around)
        painter->fillRect(part, colour);
}

bool ScaledWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A dialog is polished before it is laid out, sized and placed for its first showing.
    if (event->type() == QEvent::Polish && watched->isWidgetType()) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (dialog && dialog->isWindow() && !dialog->graphicsProxyWidget())
            app::dialogscale::scaleDialog(dialog, std::max(1.0, m_scale));
    }
    return QGraphicsView::eventFilter(watched, event);
}
