#include "startup/forms/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

void QtMessageBoxes::show(const QString &title, const QString &text, Icon icon)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == Icon::Critical  ? QMessageBox::Critical
                : icon == Icon::Warning ? QMessageBox::Warning
                                        : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBoxes::ask(const QString &title, const QString &text)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ImmediateProgramEnd::endProgram(int status)
{
    // Every result is on disk already (appends are flushed before they unlock), so nothing is lost by
    // ending here, in the middle of whatever handler reported the fatal condition.
    QApplication::closeAllWindows();
    std::fflush(nullptr);
    std::_Exit(status);
}
