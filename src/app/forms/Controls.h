#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

// The screens are fixed 1024 × 768 canvases: controls are made with their name (the objectName tests
// find them by), font and place in one call. A button is named for screen readers by its text (an
// access key's "&" left out).
namespace app::controls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font,
              const QRect &geometry, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QFont &font,
                    const QRect &geometry);

QFrame *frame(QWidget *parent, const QString &name, const QRect &geometry);

} // namespace app::controls
