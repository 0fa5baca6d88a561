#pragma once

#include "app/PathsAndSettings.h"

#include <QWidget>

// Stands where a screen of the program is not built yet, and says so plainly.
class NotBuiltScreen : public QWidget
{
    Q_OBJECT
public:
    NotBuiltScreen(const QString &screenName, const app::PathsAndSettings &settings,
                   QWidget *parent = nullptr);
};
