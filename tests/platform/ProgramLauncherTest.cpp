#include "platform/ProgramLauncher.h"
#include "platform/TextFile.h"

#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(ProgramLauncher, StartsAProgramWithItsArgumentsWithoutWaiting)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("started"));
    const QString script = dir.filePath(QStringLiteral("メニュー.sh"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/started\"\nsleep 5\n");
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    platform::ProcessLauncher launcher;
    QString error;
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(testing_support::succeeded(launcher.startDetached(script, {QStringLiteral("001")}), &error))
        << error.toStdString();
    EXPECT_LT(timer.elapsed(), 3000); // did not wait for the five seconds
    for (int i = 0; i < 100 && !QFile::exists(marker); ++i)
        QThread::msleep(20);
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().trimmed(), QByteArray("001"));
}

TEST(ProgramLauncher, MissingProgramGivesAMessageWithItsPath)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("起動/プログラムメニューc.exe"));
    platform::ProcessLauncher launcher;
    QString error;
    EXPECT_FALSE(testing_support::succeeded(launcher.startDetached(missing, {}), &error));
    EXPECT_TRUE(error.contains(platform::displayPath(missing))) << error.toStdString();
}
