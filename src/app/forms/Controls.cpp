#include "app/forms/Controls.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace app::controls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font,
              const QRect &geometry, Qt::Alignment alignment)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setGeometry(geometry);
    l->setAlignment(alignment);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QFont &font,
                    const QRect &geometry)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setFont(font);
    b->setGeometry(geometry);
    // No accessible name of its own: the toolkit names a button by its current text, without the "&"
    // of an access key ("ｽﾀｰﾄ(&2)" reads "ｽﾀｰﾄ(2)"), and follows the text when it changes.
    return b;
}

QFrame *frame(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *f = new QFrame(parent);
    f->setObjectName(name);
    f->setGeometry(geometry);
    return f;
}

} // namespace app::controls
