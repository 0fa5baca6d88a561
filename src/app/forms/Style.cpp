#include "app/forms/Style.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace app::style {

namespace {

const QHash<QString, QRgb> &paletteNames()
{
    static const QHash<QString, QRgb> names = {
        {QStringLiteral("canvas"), kCanvas},
        {QStringLiteral("panel"), kPanel},
        {QStringLiteral("ink"), kInk},
        {QStringLiteral("quietInk"), kQuietInk},
        {QStringLiteral("line"), kLine},
        {QStringLiteral("softLine"), kSoftLine},
        {QStringLiteral("plain"), kPlain},
        {QStringLiteral("plainPressed"), kPlainPressed},
        {QStringLiteral("fixedCell"), kFixedCell},
        {QStringLiteral("disabled"), kDisabled},
        {QStringLiteral("disabledInk"), kDisabledInk},
        {QStringLiteral("accent"), kAccent},
        {QStringLiteral("accentPressed"), kAccentPressed},
        {QStringLiteral("accentInk"), kAccentInk},
        {QStringLiteral("accentTint"), kAccentTint},
        {QStringLiteral("mistake"), kMistake},
        {QStringLiteral("mistakeTint"), kMistakeTint},
        {QStringLiteral("mistakeInk"), kMistakeInk},
        {QStringLiteral("success"), kSuccess},
        {QStringLiteral("successInk"), kSuccessInk},
        {QStringLiteral("celebration"), kCelebration},
        {QStringLiteral("celebrationLine"), kCelebrationLine},
        {QStringLiteral("timeBar"), kTimeBar},
        {QStringLiteral("focusInk"), kFocusInk},
        {QStringLiteral("lampPass"), kLampPass},
        {QStringLiteral("lampBest"), kLampBest},
        {QStringLiteral("lampOwnBest"), kLampOwnBest},
    };
    return names;
}

QString firstInstalled(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : families) {
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return families.isEmpty() ? QString() : families.first();
}

constexpr char kRole[] = "role";

// The one style sheet, in the palette's names (see sheet()). A rule is keyed by a role, never by a
// screen or a control's name.
const char *const kSheet = R"(
*[role="card"] { background: @panel; border: 1px solid @softLine; border-radius: 12px; }
QLabel[role="card"] { color: @ink; padding: 8px 18px; }
*[role="panel"] { background: @panel; border: 2px solid @quietInk; border-radius: 14px; }
*[role="colouredPanel"] { border: 2px solid @quietInk; border-radius: 14px; }
*[role="panel"] QLabel, *[role="colouredPanel"] QLabel { color: @ink; }
*[role="colouredPanel"][lightText="true"] QLabel { color: @panel; }
*[role="statusBar"] { background: @panel; border-bottom: 2px solid @softLine; }
*[role="notice"] { background: @panel; border: 4px solid @accent; border-radius: 16px; }
*[role="choice"] { background: @accentTint; border: 2px solid @accent; border-radius: 12px; }
*[role="mistakePanel"] { background: @mistakeTint; border: 2px solid @mistake; border-radius: 12px; }
*[role="celebration"] { background: @celebration; border: 4px solid @celebrationLine; border-radius: 18px; }

QPushButton[role="action"] { background: @accent; color: @accentInk; border: 2px solid @accentPressed; border-radius: 10px; font-weight: bold; }
QPushButton[role="action"][large="true"] { border-radius: 12px; }
QPushButton[role="action"]:focus { border: 3px solid @focusInk; }
QPushButton[role="action"]:pressed { background: @accentPressed; }
QPushButton[role="action"]:disabled { background: @disabled; color: @disabledInk; border: 1px solid @softLine; }
QPushButton[role="plain"] { background: @plain; color: @ink; border: 1px solid @line; border-radius: 8px; }
QPushButton[role="plain"][large="true"] { border-radius: 12px; }
QPushButton[role="plain"]:focus { border: 3px solid @accent; }
QPushButton[role="plain"]:pressed { background: @plainPressed; }
QPushButton[role="plain"]:disabled { background: @disabled; color: @disabledInk; border: 1px dashed @line; }
QPushButton[role="link"] { color: @quietInk; border: none; background: transparent; text-align: right; }
QPushButton[role="link"]:focus { text-decoration: underline; }

*[role="ink"] { color: @ink; }
*[role="caption"] { color: @quietInk; }
*[role="figure"] { color: @ink; font-weight: bold; }
*[role="mistake"] { color: @mistake; }
QLabel[role="box"] { background: @panel; border: 3px solid @line; border-radius: 8px; color: @ink; }
QLabel[role="correction"] { background: @mistakeTint; border: 3px solid @mistake; border-radius: 8px; color: @mistake; }
QLabel[role="chosen"] { color: @ink; background: @accentTint; border: 2px solid @accent; border-radius: 10px; }
QLabel[role="cleared"] { color: @successInk; background: @success; border-radius: 10px; padding: 4px 16px; }
QLabel[role="lock"] { background: @mistake; color: @mistakeInk; border-radius: 10px; }
QLabel[role="marker"] { color: @panel; background: @ink; }
QLabel[role="note"] { color: @ink; background: @panel; border: 1px solid @softLine; padding: 4px; }

QAbstractItemView[role="list"], QAbstractItemView[role="markedList"] { color: @ink; border: 1px solid @line; }
QAbstractItemView[role="list"]::item:selected { background: @accentTint; color: @ink; }
QAbstractItemView[role="markedList"]::item:selected { background: @accent; color: @accentInk; }
QListView[role="cardList"] { border: none; color: @ink; }
QListView[role="cardList"]::item { padding: 3px 4px; }
QListView[role="cardList"]::item:selected { background: @accentTint; color: @ink; }
QListView[role="tiles"] { border: none; color: @ink; }
QListView[role="tiles"]::item { background: @plain; border: 1px solid @line; border-radius: 8px; }
QListView[role="tiles"]::item:selected { background: @accentTint; color: @ink; border: 3px solid @accent; }
QTableView[role="grid"] { background: @panel; color: @ink; gridline-color: @softLine; }
*[role="grid"] QHeaderView::section { background: @fixedCell; color: @ink; border: 1px solid @softLine; padding: 2px; }
*[role="picture"] { background: @panel; border: 1px solid @line; }
QLineEdit[role="entry"] { border: 2px solid @line; background: @panel; color: @ink; padding: 0 2px; }
QLineEdit[role="entry"][next="true"] { border-color: @accent; }

*[role="gauge"] { background: @panel; border: 2px solid @line; }
*[role="timeBar"] { background: @timeBar; border: none; }
*[role="targetLine"] { background: transparent; border: none; border-right: 3px solid @success; }
*[role="minimumLine"] { background: transparent; border: none; border-right: 3px solid @mistake; }
QLabel[role="lampPass"][lit="true"] { background: @lampPass; border: 1px solid @quietInk; border-radius: 9px; }
QLabel[role="lampBest"][lit="true"] { background: @lampBest; border: 1px solid @quietInk; border-radius: 9px; }
QLabel[role="lampOwnBest"][lit="true"] { background: @lampOwnBest; border: 1px solid @quietInk; border-radius: 9px; }
)";

// The window colour and the text colour for it, for the widget and what it holds.
void setColours(QWidget *widget, const QColor &colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, textOn(colour));
    widget->setPalette(pal);
}

// The sheet reads a widget's dynamic properties and palette when the widget is polished, so one already
// shown is polished again; and as that puts back the palette it had when it was first polished, a change
// of its palette is made in between.
template <typename Change> void restyle(QWidget *widget, Change change)
{
    const bool polished = widget->testAttribute(Qt::WA_WState_Polished);
    if (polished)
        widget->style()->unpolish(widget);
    change();
    if (polished) {
        widget->style()->polish(widget);
        widget->update();
    }
}

void restyle(QWidget *widget)
{
    restyle(widget, [] {});
}

// A panel in a colour of the screen's own, which the sheet cannot name: its face is painted here in the
// panel's window colour, rounded as the sheet frames it.
constexpr char kPanelFace[] = "panelFace";
constexpr qreal kPanelRadius = 14;

class PanelFace : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *panel = static_cast<QWidget *>(watched);
            QPainter painter(panel);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(panel->palette().window());
            // Inside the frame's 2 pixels, which the sheet has drawn by now.
            painter.drawRoundedRect(QRectF(panel->rect()).adjusted(2, 2, -2, -2), kPanelRadius - 2,
                                    kPanelRadius - 2);
        }
        return false;
    }
};

double channel(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

QString css(QRgb colour)
{
    return QColor::fromRgb(colour).name(QColor::HexRgb);
}

QList<QRgb> paletteColours()
{
    return paletteNames().values();
}

QString sheet(const QString &text)
{
    static const QRegularExpression token(QStringLiteral("@([A-Za-z]+)"));
    static QSet<QString> reported;
    QString out;
    out.reserve(text.size());
    qsizetype last = 0;
    for (const QRegularExpressionMatch &m : token.globalMatch(text)) {
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const auto found = paletteNames().constFind(m.captured(1));
        if (found != paletteNames().constEnd()) {
            out += css(found.value());
        } else {
            out += m.captured(0);
            if (!reported.contains(m.captured(1))) {
                reported.insert(m.captured(1));
                qWarning("style sheet names a colour the palette does not have: %s",
                         qPrintable(m.captured(0)));
            }
        }
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

double relativeLuminance(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor textOn(const QColor &background)
{
    const QColor ink = QColor::fromRgb(kInk), white(Qt::white);
    return contrastRatio(ink, background) >= contrastRatio(white, background) ? ink : white;
}

QFont font(qreal pointSize, bool bold)
{
    static const QString family = firstInstalled(
        {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
         QStringLiteral("Meiryo UI"), QStringLiteral("ＭＳ Ｐゴシック")});
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QFont monoFont(qreal pointSize)
{
    static const QString family =
        firstInstalled({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                        QStringLiteral("ＭＳ ゴシック")});
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

void background(QWidget *widget, QColor colour)
{
    widget->setAutoFillBackground(true);
    setColours(widget, colour);
}

QList<Role> roles()
{
    QList<Role> all;
    for (int r = 0; r <= int(Role::LampOwnBest); ++r)
        all << Role(r);
    return all;
}

QString roleName(Role role)
{
    static const char *const names[] = {
        "card",         "panel",       "colouredPanel", "statusBar", "notice",     "choice",
        "mistakePanel", "celebration", "action",        "plain",     "link",       "ink",
        "caption",      "figure",      "mistake",       "box",       "correction", "chosen",
        "cleared",      "lock",        "marker",        "note",      "list",       "markedList",
        "cardList",     "tiles",       "grid",          "picture",   "entry",      "gauge",
        "timeBar",      "targetLine",  "minimumLine",   "lampPass",  "lampBest",   "lampOwnBest",
    };
    static_assert(std::size(names) == std::size_t(Role::LampOwnBest) + 1, "a name for every role");
    return QString::fromLatin1(names[int(role)]);
}

const QString &applicationSheet()
{
    static const QString generated = sheet(QString::fromLatin1(kSheet));
    return generated;
}

namespace {

// What the sheet's rules say of one role on one class of control: whether its background is opaque in
// every state, and the largest radius of its corners.
struct Fill
{
    QString type; // "*" or the class the rules name
    bool solid = false;
    bool unsure = false;
    int radius = 0;
};

QHash<QString, QList<Fill>> fillsByRole()
{
    // A rule for one control of a role: `Class[role="name"]`, maybe with more conditions (a property,
    // a state), never a control inside another.
    static const QRegularExpression rule(QStringLiteral(R"(([^{}]+)\{([^}]*)\})"));
    static const QRegularExpression selector(
        QStringLiteral(R"re(^\s*(\*|[A-Za-z]+)\[role="([A-Za-z]+)"\](\S*)\s*$)re"));
    static const QRegularExpression backgroundDecl(
        QStringLiteral(R"((?:^|;)\s*background(?:-color)?\s*:\s*([^;]+))"));
    static const QRegularExpression radius(QStringLiteral(R"(border-radius\s*:\s*(\d+)px)"));
    static const QRegularExpression opaque(QStringLiteral(R"(^#[0-9a-fA-F]{6}$)"));
    QHash<QString, QList<Fill>> fills;
    for (const QRegularExpressionMatch &r : rule.globalMatch(applicationSheet())) {
        const QString body = r.captured(2);
        const QRegularExpressionMatch bg = backgroundDecl.match(body);
        const QRegularExpressionMatch rad = radius.match(body);
        for (const QString &one : r.captured(1).split(QLatin1Char(','))) {
            const QRegularExpressionMatch sel = selector.match(one);
            if (!sel.hasMatch())
                continue;
            QList<Fill> &ofRole = fills[sel.captured(2)];
            auto fill = std::find_if(ofRole.begin(), ofRole.end(),
                                     [&](const Fill &f) { return f.type == sel.captured(1); });
            if (fill == ofRole.end())
                fill = ofRole.insert(ofRole.end(), Fill{sel.captured(1)});
            const bool conditional = !sel.captured(3).isEmpty();
            if (bg.hasMatch()) {
                const bool isOpaque = opaque.match(bg.captured(1).trimmed()).hasMatch();
                if (!conditional)
                    fill->solid = isOpaque;
                else if (!isOpaque)
                    fill->unsure = true;
            }
            if (rad.hasMatch())
                fill->radius = std::max(fill->radius, rad.captured(1).toInt());
        }
    }
    return fills;
}

} // namespace

int solidCorner(const QWidget &widget)
{
    static const QHash<QString, QList<Fill>> fills = fillsByRole();
    const QString role = widget.property(kRole).toString();
    bool solid = false;
    int corner = 0;
    for (const Fill &fill : fills.value(role)) {
        if (fill.type != QLatin1String("*") && !widget.inherits(qPrintable(fill.type)))
            continue;
        if (fill.unsure)
            return -1;
        solid = solid || fill.solid;
        corner = std::max(corner, fill.radius);
    }
    return solid ? corner : -1;
}

void install(QWidget *window)
{
    for (QWidget *w = window->parentWidget(); w; w = w->parentWidget()) {
        if (w->styleSheet() == applicationSheet())
            return;
    }
    window->setStyleSheet(applicationSheet());
}

void setRole(QWidget *widget, Role role)
{
    restyle(widget, [&] { widget->setProperty(kRole, roleName(role)); });
}

void inheritColours(QWidget *control)
{
    control->setPalette(control->parentWidget()->palette());
}

void card(QFrame *frame)
{
    if (frame->objectName().isEmpty())
        frame->setObjectName(QStringLiteral("card"));
    setRole(frame, Role::Card);
}

void raisedPanel(QFrame *panel, QColor colour)
{
    const bool white = colour == QColor::fromRgb(kPanel);
    restyle(panel, [&] {
        // The labels' text colour for the background is one of the two the sheet names.
        panel->setProperty("lightText", textOn(colour) != QColor::fromRgb(kInk));
        panel->setProperty(kRole, roleName(white ? Role::Panel : Role::ColouredPanel));
        setColours(panel, colour);
    });
    for (QLabel *label : panel->findChildren<QLabel *>())
        restyle(label);
    QObject *face = panel->findChild<QObject *>(QLatin1String(kPanelFace), Qt::FindDirectChildrenOnly);
    if (white) {
        delete face;
    } else if (!face) {
        face = new PanelFace(panel);
        face->setObjectName(QLatin1String(kPanelFace));
        panel->installEventFilter(face);
    }
}

void accentButton(QPushButton *button, Size size)
{
    button->setProperty("large", size == Size::Large);
    setRole(button, Role::Action);
}

void plainButton(QPushButton *button, Size size)
{
    button->setProperty("large", size == Size::Large);
    setRole(button, Role::Plain);
}

void linkButton(QPushButton *button)
{
    button->setFlat(true);
    setRole(button, Role::Link);
}

void ink(QWidget *label)
{
    setRole(label, Role::Ink);
}

void quiet(QWidget *label)
{
    setRole(label, Role::Caption);
}

void lockBadge(QLabel *label)
{
    setRole(label, Role::Lock);
}

void marker(QLabel *label)
{
    // Margins rather than the sheet's padding: the screens size the marker to its text while they are
    // built, before they are on the window that has the sheet.
    label->setContentsMargins(10, 4, 10, 4);
    setRole(label, Role::Marker);
}

void lamp(QLabel *label, Lamp kind, bool lit)
{
    const Role role = kind == Lamp::Pass   ? Role::LampPass
                      : kind == Lamp::Best ? Role::LampBest
                                           : Role::LampOwnBest;
    label->setProperty("lit", lit);
    setRole(label, role);
}

void list(QAbstractItemView *view, QColor colour)
{
    // The background goes through the palette, in the colours a sheet's background would set: the hub
    // colours its run lists while they are shown.
    restyle(view, [&] {
        view->setProperty(kRole, roleName(Role::List));
        QPalette pal = view->palette();
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
            pal.setColor(role, colour);
        view->setPalette(pal);
    });
}

void picture(QWidget *widget)
{
    setRole(widget, Role::Picture);
}

void entry(QLineEdit *box, bool next)
{
    box->setProperty("next", next);
    setRole(box, Role::Entry);
}

} // namespace app::style
