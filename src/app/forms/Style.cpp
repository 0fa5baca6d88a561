#include "app/forms/Style.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <cmath>

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

// A selector for the widget alone: its class and name, or (without a name) its exact class, so that the
// rule reaches none of its children (a QLabel is a QFrame too).
QString selectorOf(const QWidget *widget)
{
    const QString cls = QString::fromLatin1(widget->metaObject()->className());
    if (widget->objectName().isEmpty())
        return u'.' + cls;
    return cls + u'#' + widget->objectName();
}

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

void background(QWidget *screen, QColor colour)
{
    screen->setAutoFillBackground(true);
    QPalette pal = screen->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, textOn(colour));
    screen->setPalette(pal);
}

void card(QFrame *frame)
{
    if (frame->objectName().isEmpty())
        frame->setObjectName(QStringLiteral("card"));
    frame->setStyleSheet(sheet(QStringLiteral("%1 { background: @panel; border: 1px solid @softLine; "
                                              "border-radius: %2px; }")
                                   .arg(selectorOf(frame))
                                   .arg(kCardRadius)));
}

void raisedPanel(QFrame *panel, QColor colour)
{
    panel->setStyleSheet(sheet(QStringLiteral("%1 { background: %2; border: 2px solid @quietInk; "
                                              "border-radius: 14px; }"
                                              "QLabel { color: %3; background: transparent; border: none; }")
                                   .arg(selectorOf(panel), colour.name(), textOn(colour).name())));
}

void accentButton(QPushButton *button, int radius)
{
    button->setProperty("accent", true);
    button->setStyleSheet(sheet(QStringLiteral("QPushButton { background: @accent; color: @accentInk; "
                                               "border: 2px solid @accentPressed; border-radius: %1px; "
                                               "font-weight: bold; }"
                                               "QPushButton:focus { border: 3px solid @focusInk; }"
                                               "QPushButton:pressed { background: @accentPressed; }"
                                               "QPushButton:disabled { background: @disabled; "
                                               "color: @disabledInk; border: 1px solid @softLine; }")
                                    .arg(radius)));
}

void plainButton(QPushButton *button, int radius)
{
    button->setStyleSheet(sheet(QStringLiteral("QPushButton { background: @plain; color: @ink; "
                                               "border: 1px solid @line; border-radius: %1px; }"
                                               "QPushButton:focus { border: 3px solid @accent; }"
                                               "QPushButton:pressed { background: @plainPressed; }"
                                               "QPushButton:disabled { background: @disabled; "
                                               "color: @disabledInk; border: 1px dashed @line; }")
                                    .arg(radius)));
}

void linkButton(QPushButton *button)
{
    button->setFlat(true);
    button->setStyleSheet(sheet(QStringLiteral("QPushButton { color: @quietInk; border: none; "
                                               "background: transparent; text-align: right; }"
                                               "QPushButton:focus { text-decoration: underline; }")));
}

void ink(QWidget *label)
{
    label->setStyleSheet(sheet(QStringLiteral("color: @ink;")));
}

void quiet(QWidget *label)
{
    label->setStyleSheet(sheet(QStringLiteral("color: @quietInk;")));
}

void lockBadge(QLabel *label)
{
    label->setStyleSheet(sheet(
        QStringLiteral("background: @mistake; color: @mistakeInk; border-radius: %1px;").arg(kButtonRadius)));
}

void marker(QLabel *label)
{
    label->setStyleSheet(sheet(QStringLiteral("color: @panel; background: @ink; padding: 4px 10px;")));
}

void list(QAbstractItemView *view, QColor colour)
{
    const QString cls = QString::fromLatin1(view->metaObject()->className());
    view->setStyleSheet(sheet(QStringLiteral("%1 { background: %2; color: @ink; border: 1px solid @line; }"
                                             "%1::item:selected { background: @accentTint; color: @ink; }")
                                  .arg(cls, colour.name())));
}

void picture(QWidget *widget)
{
    widget->setStyleSheet(sheet(QStringLiteral("%1 { background: @panel; border: 1px solid @line; }")
                                    .arg(QString::fromLatin1(widget->metaObject()->className()))));
}

void entry(QLineEdit *box, bool next)
{
    box->setStyleSheet(
        sheet(QStringLiteral("QLineEdit { border: 2px solid %1; background: @panel; color: @ink; "
                             "padding: 0 2px; }")
                  .arg(next ? QStringLiteral("@accent") : QStringLiteral("@line"))));
}

} // namespace app::style
