#include "startup/forms/QtMessageBoxes.h"

#include "app/forms/InputDiscard.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {
void showBox(const QString &title, const QString &text, platform::MessageBoxes::Icon icon, bool fatal)
{
    using Icon = platform::MessageBoxes::Icon;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == Icon::Critical  ? QMessageBox::Critical
                : icon == Icon::Warning ? QMessageBox::Warning
                                        : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    std::optional<OnlyWindowRuns> onlyTheBox;
    if (fatal)
        onlyTheBox.emplace(&box);
    box.exec();
}
} // namespace

void QtMessageBoxes::show(const QString &title, const QString &text, Icon icon)
{
    showBox(title, text, icon, false);
}

void QtMessageBoxes::showFatal(const QString &title, const QString &text, Icon icon)
{
    showBox(title, text, icon, true);
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
