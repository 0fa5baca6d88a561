#pragma once

#include "startup/forms/PanelPictures.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsView>

class MainWindow;

// The canvas in the window's scene: paints what is exposed of it as the toolkit's own proxy does, but
// leaves out the canvas's background where a screen paints its own over it.
class CanvasProxy : public QGraphicsProxyWidget
{
public:
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
};

// The program's window on the display. The screens are drawn on MainWindow, a canvas of 1024 x 768
// units; this window shows that canvas scaled as a whole to the largest size that fits, keeping its
// proportions, with the season colour around it. It opens full screen (a kiosk for the students); F11
// switches to a window of the canvas's own size for a teacher, and back.
//
// The canvas lives in a graphics scene, and the view paints its widgets through a painter scaled by the
// factor, so text and lines are drawn at the display's own resolution (no bitmap is blown up), and the
// view maps every click, tap and key back into canvas units, so each lands where the student sees it.
// The toolkit's high-DPI scale factor would have done the drawing too, but it is fixed for the whole
// process before the first window opens (an environment variable read at start-up), so F11 could not
// switch between the full screen and a window of the original size at run time; and a fractional factor
// (1.40625 on a 1920 x 1080 display) rounds each widget's geometry to whole logical pixels on its own,
// so rows and edges laid out in canvas units would drift apart by a pixel here and there.
//
// The canvas keeps its own rules for changing screens; this window only shows it. Dialogs are windows
// of their own (see DialogScale.h): while this window lives, every dialog is scaled by its factor
// (never below 1) as it is first shown.
class ScaledWindow : public QGraphicsView
{
    Q_OBJECT
public:
    explicit ScaledWindow(MainWindow &canvas, QWidget *parent = nullptr);
    // Gives the canvas back to its owner, hidden.
    ~ScaledWindow() override;

    // Opens full screen and starts the program on the canvas (the splash).
    void start();

    // The full screen (the kiosk), or a window of the canvas's size.
    void showKiosk();
    void showWindowed();
    void toggleFullScreen();
    bool isKiosk() const { return isFullScreen(); }

    MainWindow &canvas() const { return m_canvas; }
    // Viewport pixels per canvas unit.
    double scale() const { return m_scale; }
    // Where the canvas is on the viewport, in viewport pixels.
    QRectF canvasArea() const;
    // Where a point of the canvas (in canvas units) is on the viewport.
    QPoint toViewport(const QPointF &canvasPoint) const;
    // The point of a widget of the canvas (in the widget's own units) on the viewport.
    QPoint toViewport(const QWidget *canvasWidget, const QPointF &point) const;
    // The colour around the canvas: the season colour of the shared state.
    QColor surroundColour() const;

    // Display pixels per unit of a widget of the canvas: the scale of the window that shows it, 1 for a
    // widget in no scaled window. Pictures drawn for the screen are drawn at this resolution.
    static double displayScale(const QWidget *canvasWidget);

    // The pictures the canvas's button panels are drawn from while scaled (see PanelPictures.h).
    const PanelPictures &panelPictures() const { return m_panels; }

    // The largest scale at which the canvas fits into `area`, keeping its proportions.
    static double fitScale(const QSizeF &area);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    MainWindow &m_canvas;
    CanvasProxy *m_proxy;
    double m_scale = 1.0;
    // The surround as last painted: the start-up sets the season colour while the splash shows.
    QRgb m_paintedSurround = 0;
    PanelPictures m_panels;
};
