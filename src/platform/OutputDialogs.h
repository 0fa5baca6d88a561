#pragma once

#include <QString>

class QPrinter;
class QWidget;

namespace platform {

// Where a teacher chooses the printer and the PDF file of a sheet. The program asks through the
// platform's dialogs; tests answer in advance.
class OutputDialogs
{
public:
    virtual ~OutputDialogs() = default;
    // Lets the teacher choose the printer (and its settings) for `printer`; false when cancelled.
    virtual bool choosePrinter(QPrinter &printer, QWidget *parent) = 0;
    // The PDF file to write; empty when cancelled.
    virtual QString choosePdfFile(const QString &suggestedPath, QWidget *parent) = 0;
};

// For what runs without a screen (the classroom worker, the benchmarks, tests that never print): every
// choice is cancelled.
class NoOutputDialogs : public OutputDialogs
{
public:
    bool choosePrinter(QPrinter &, QWidget *) override { return false; }
    QString choosePdfFile(const QString &, QWidget *) override { return {}; }
};

} // namespace platform
