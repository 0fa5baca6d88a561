#include "app/Services.h"
#include "platform/ApplicationFolder.h"
#include "platform/Clock.h"
#include "platform/ProgramLauncher.h"
#include "platform/PulseMediaLayer.h"
#include "platform/RandomSource.h"
#include "platform/TextFile.h"
#include "startup/AppState.h"
#include "startup/forms/MainWindow.h"
#include "startup/forms/ProgramApplication.h"
#include "startup/forms/QtMessageBoxes.h"
#include "startup/forms/QtOutputDialogs.h"
#include "startup/forms/ScaledWindow.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr,
                     "yojidrill: no display found (DISPLAY is not set); to run it without a screen, "
                     "start it as: xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }

    // Taken before anything can change the working folder.
    const QString startupFolder = platform::startupWorkingFolder(qEnvironmentVariable("PWD"));
    ProgramApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("yojidrill"));
    // The toolkit's own dialogs (printing, saving a file) in Japanese, as everything else is.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    if (!platform::codePage932Available()) {
        QMessageBox::critical(
            nullptr, QStringLiteral("起動できません"),
            QStringLiteral("シフトJIS（コードページ932）の文字コード変換が、この Qt にはありません。"
                           "ICU 付きの Qt を入れてください。"));
        return 1;
    }

    platform::SystemClock clock;
    platform::SeededRandom random(quint64(clock.now().toMSecsSinceEpoch()));
    QtMessageBoxes messages;
    platform::ProcessLauncher launcher;
    ImmediateProgramEnd programEnd;
    platform::PulseMediaLayer media;
    // Opened now, so that an idle sound server has long woken up when the first sound is played.
    media.open();
    // The window gives the wait its waiting panel.
    platform::ResponsiveWait wait;
    QtOutputDialogs outputDialogs;
    Services services{clock, random, messages, launcher, programEnd, media, wait, outputDialogs};

    auto state = std::make_unique<AppState>();
    // Started through a symbolic link, the program works in the link's folder, not in its target's.
    const QString applicationFolder = platform::applicationFolder(
        QString::fromLocal8Bit(argv[0]), startupFolder, qEnvironmentVariable("PATH"),
        QDir::toNativeSeparators(QApplication::applicationDirPath()));
    MainWindow window(*state, services, applicationFolder);
    // Full screen, the canvas scaled to fit; F11 switches to a window of the canvas's size.
    ScaledWindow screen(window);
    screen.start();
    return app.exec();
}
