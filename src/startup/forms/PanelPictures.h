#pragma once

#include "startup/forms/DevicePicture.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QSet>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>

class QFrame;
class QPainter;
class QPushButton;
class QStyleOption;
class QTransform;

// The panels of the canvas's buttons, drawn from pictures while the canvas is shown scaled.
//
// A button of the screens is a rounded panel with a border, drawn by the style-sheet engine, and a text
// on it. Scaled to a full screen, filling the panel's rounded outline and stroking its corners from paths
// at every painting was the largest cost of a click or a repaint beyond the window's. This filter paints a
// button itself: its panel (as the style sheet draws it for the button's state) is drawn once into a
// picture at the display's own resolution and at its place inside a display pixel, and copied whenever
// the button is painted again in the same state, size and place; the text and the focus frame are drawn
// over it at each painting as before (large text from TextPictureStyle's pictures). As crisp as drawn
// directly: no picture is enlarged. A button not drawn by a style sheet, or painted without a scale, on a
// printer or under a rotation, paints itself as before. The rounded backgrounds and borders of small
// labels and frames (the drill's answer boxes, its lamps) are drawn from pictures the same way.
class PanelPictures : public QObject
{
public:
    // Filters the paintings of the widgets of `window` (its own and those inside it; of every window of
    // the application when null) while it lives.
    explicit PanelPictures(const QWidget *window = nullptr);
    ~PanelPictures() override;

    // Whether a button's panel drawn through `toDevice` (its units to display pixels) is drawn from a
    // picture: only under a scale (with a move) that enlarges it.
    static bool worthAPicture(const QTransform &toDevice);

    // What the opaque controls on a widget (and on the transparent ones on it) cover of it, in its
    // units: a background taken over here is not painted there, since they paint over it at once.
    QRegion covered(const QWidget &widget) const;

    // Panels copied from a picture kept, and pictures drawn, since the filter was made.
    int picturesReused() const { return m_pictures.reused(); }
    int picturesDrawn() const { return m_pictures.drawnSoFar(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Whether the widget is one whose paintings are filtered.
    bool ofTheWindow(const QWidget *widget) const;
    // Whether what is painted through the painter is drawn from pictures.
    static bool pictured(QPainter &painter);
    // Paints the button with its panel from a picture; false when it is to paint itself.
    bool paintButton(QPushButton *button);
    // Who paints a widget's background: the toolkit, or this filter (a fill of one opaque colour, a
    // small panel that the style sheet draws).
    enum class Background { Toolkit, Fill, Panel };
    static Background backgroundOf(const QWidget &widget);
    // Paints the widget's background where this filter took it over.
    void paintBackground(QWidget *widget, const QRegion &region);
    // What the opaque controls of `parent` cover of `clip` (the parent's units, moved by `offset`).
    void cover(const QWidget &parent, QPoint offset, const QRect &clip, QRegion &area) const;
    // The radius of the corners outside which a control may leave what is beneath it to show; -1 when
    // it does not fill itself with an opaque colour.
    int solidCorner(const QWidget &widget) const;
    // The toolkit paints the widget's background again.
    void giveBackground(QWidget *widget);
    // Draws what `draw` paints of the widget for `option` from a picture of it.
    void drawFromPicture(QPainter &painter, QWidget *widget, const QStyleOption &option,
                         const std::function<void(QPainter &)> &draw);
    // Forgets the widget's pictures and background when it goes.
    void watch(QObject *widget);
    // The button's look changed (its style sheet, palette or properties): its pictures are not used again.
    void forget(const QObject *button);

    // At most this many kibibytes of pictures are kept; the least recently used go first.
    static constexpr int kPictureKiB = 48 * 1024;
    // Labels and frames of at most this many canvas pixels have their backgrounds drawn from pictures.
    static constexpr int kLargestPanelArea = 200 * 120;

    // What a picture was drawn for: the widget's look, the option's state, kind and size, the scale, the
    // place inside a display pixel, and the widget's name and the device's resolution, which a style
    // sheet may draw by.
    struct Key
    {
        int look;
        uint state;
        int type;
        QSize size;
        double scaleX;
        double scaleY;
        int fractionX;
        int fractionY;
        QString name;
        int dpiX;
        int dpiY;
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.look, key.state, key.type, key.size.width(), key.size.height(),
                              key.scaleX, key.scaleY, key.fractionX, key.fractionY, key.name, key.dpiX,
                              key.dpiY);
        }
    };
    devicepicture::Pictures<Key> m_pictures{kPictureKiB};
    // Each button's pictures are keyed by the button and the number of times its look changed.
    QHash<const QObject *, int> m_looks;
    // The labels and frames whose backgrounds are painted here.
    // (Looked up at every painting: a set.)
    QSet<QObject *> m_backgrounds;
    // The widgets whose going is watched, to forget their pictures and backgrounds.
    QSet<QObject *> m_watched;
    QPointer<const QWidget> m_window;
    bool m_anyWindow = true;
    int m_nextLook = 0;
};
