#pragma once

#include "app/forms/AppContext.h"

#include <QWidget>

// Stands where a screen of the program is not built yet, and says so plainly.
class NotBuiltScreen : public QWidget
{
    Q_OBJECT
public:
    NotBuiltScreen(const QString &screenName, AppContext &context, QWidget *parent = nullptr);
};
