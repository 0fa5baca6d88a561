#include "platform/ErrorText.h"
#include "platform/FileLock.h"
#include "platform/ProgramLauncher.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>

using namespace testing_support;

namespace {

// Whether a message holds an English word once the file's path is taken out of it (the toolkit's and
// the system's texts are English: "file to open is a directory", "No such file or directory").
bool holdsEnglish(QString message, const QString &path)
{
    message.remove(platform::displayPath(path));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
    return message.contains(word);
}

} // namespace

TEST(ErrorText, EverySystemErrorNumberIsDescribedInJapanese)
{
    for (int number = 1; number < 140; ++number) {
        const QString text = platform::systemErrorText(number);
        EXPECT_FALSE(text.isEmpty()) << number;
        EXPECT_FALSE(holdsEnglish(text, QString())) << number << " " << text.toStdString();
        EXPECT_TRUE(text.endsWith(u'。')) << number;
        // The results file's messages describe the lock's errors through the same texts.
        EXPECT_EQ(platform::LockedFile::describeError(number), text) << number;
    }
    EXPECT_EQ(platform::systemErrorText(ENOENT), QStringLiteral("ファイルまたはフォルダが見つかりません。"));
    // A number without a text of its own is named by the number.
    EXPECT_TRUE(platform::systemErrorText(EBADF).contains(QString::number(EBADF)));
    EXPECT_TRUE(platform::systemErrorText(0).isEmpty());
    EXPECT_EQ(platform::bracketed(QStringLiteral("見つかりません。")), QStringLiteral("（見つかりません）"));
}

TEST(ErrorText, FileMessagesAreJapaneseWhereTheToolkitSpeaksEnglish)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("共通データ.txt"));
    ASSERT_TRUE(QDir().mkpath(folder));

    QFile file(folder);
    platform::clearSystemError();
    ASSERT_FALSE(file.open(QIODevice::ReadOnly));
    const platform::FileError error = platform::fileError(file, platform::lastSystemError());
    EXPECT_EQ(error.number, EISDIR);
    EXPECT_EQ(error.description, QStringLiteral("ファイルではなくフォルダです。"));

    struct Case
    {
        const char *name;
        QString path;
        bool write;
        QString says;
    };
    const Case cases[] = {
        {"a folder read as a file", folder, false, QStringLiteral("ファイルではなくフォルダです")},
        {"a folder written as a file", folder, true, QStringLiteral("フォルダ")},
        {"a file in a folder that is not there", dir.filePath(QStringLiteral("ない/x.txt")), true,
         QStringLiteral("見つかりません")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString message;
        if (c.write) {
            EXPECT_FALSE(
                testing_support::succeeded(platform::writeText932(c.path, {QStringLiteral("x")}), &message));
        } else {
            QString text;
            EXPECT_FALSE(testing_support::succeeded(platform::readText932(c.path), &text, &message));
        }
        EXPECT_TRUE(message.contains(platform::displayPath(c.path))) << message.toStdString();
        EXPECT_TRUE(message.contains(c.says)) << message.toStdString();
        EXPECT_FALSE(holdsEnglish(message, c.path)) << message.toStdString();
    }
}

TEST(ErrorText, AProgramThatCannotRunIsDescribedInJapanese)
{
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("menu.sh"));
    writeBytes(script, QByteArray("#!/no/such/interpreter\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    platform::ProcessLauncher launcher;
    QString message;
    ASSERT_FALSE(testing_support::succeeded(launcher.startDetached(script, {}), &message));
    EXPECT_TRUE(message.contains(platform::displayPath(script))) << message.toStdString();
    EXPECT_FALSE(holdsEnglish(message, script)) << message.toStdString();
    EXPECT_FALSE(holdsEnglish(platform::processErrorText(QProcess::Crashed), QString()));
}
