#pragma once

#include "platform/OutputDialogs.h"

// The print dialog and the save dialog of the platform, scaled like every dialog of the program.
class QtOutputDialogs : public platform::OutputDialogs
{
public:
    bool choosePrinter(QPrinter &printer, QWidget *parent) override;
    QString choosePdfFile(const QString &suggestedPath, QWidget *parent) override;
};
