#include "platform/ApplicationFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Two installations of the family: the program lives in the first, and the second's application
// folder holds only a link to it.
struct TwoInstallations
{
    QTemporaryDir root;
    QString real = root.filePath(QStringLiteral("本校/四字熟語"));
    QString linked = root.filePath(QStringLiteral("分校/四字熟語"));
    QString program = real + QStringLiteral("/yojidrill");

    TwoInstallations()
    {
        QDir().mkpath(real);
        QDir().mkpath(linked);
        writeBytes(program, QByteArray("#!/bin/sh\n"));
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::link(program, linked + QStringLiteral("/yojidrill"));
    }
};

} // namespace

TEST(ApplicationFolder, AProgramStartedThroughALinkWorksInTheLinksFolder)
{
    TwoInstallations inst;
    const QString fallback = QStringLiteral("/fallback");
    // By an absolute path, by a path relative to the working folder, and through PATH.
    EXPECT_EQ(platform::applicationFolder(inst.linked + QStringLiteral("/yojidrill"), QStringLiteral("/"),
                                          QString(), fallback),
              inst.linked);
    EXPECT_EQ(platform::applicationFolder(QStringLiteral("./yojidrill"), inst.linked, QString(), fallback),
              inst.linked);
    EXPECT_EQ(platform::applicationFolder(QStringLiteral("../四字熟語/yojidrill"),
                                          inst.root.filePath(QStringLiteral("分校/四字熟語")), QString(),
                                          fallback),
              inst.linked);
    EXPECT_EQ(platform::applicationFolder(QStringLiteral("yojidrill"), QStringLiteral("/"),
                                          QStringLiteral("/no/such/folder:") + inst.linked + u':' + inst.real,
                                          fallback),
              inst.linked);
    // The program itself is found where it is.
    EXPECT_EQ(platform::applicationFolder(QStringLiteral("yojidrill"), inst.real, QStringLiteral(":/bin"),
                                          fallback),
              inst.real);
}

TEST(ApplicationFolder, AProgramThatCannotBeFoundGivesTheFallback)
{
    TwoInstallations inst;
    const QString fallback = QStringLiteral("/fallback");
    EXPECT_EQ(platform::applicationFolder(QString(), inst.real, QString(), fallback), fallback);
    EXPECT_EQ(platform::applicationFolder(QStringLiteral("./nothing"), inst.real, QString(), fallback),
              fallback);
    EXPECT_EQ(platform::applicationFolder(QStringLiteral("yojidrill"), QStringLiteral("/"),
                                          QStringLiteral("/no/such/folder"), fallback),
              fallback);
    // A folder of that name is no program.
    QDir().mkpath(inst.root.filePath(QStringLiteral("x/yojidrill")));
    EXPECT_EQ(
        platform::applicationFolder(QStringLiteral("x/yojidrill"), inst.root.path(), QString(), fallback),
        fallback);
}

TEST(ApplicationFolder, TheShellsWorkingFolderKeepsItsLinks)
{
    TwoInstallations inst;
    const QString linkedFolder = inst.root.filePath(QStringLiteral("リンク"));
    ASSERT_TRUE(QFile::link(inst.real, linkedFolder));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(linkedFolder));
    EXPECT_EQ(platform::startupWorkingFolder(linkedFolder), linkedFolder);
    // A PWD that names another folder, or none, is not taken.
    EXPECT_EQ(platform::startupWorkingFolder(inst.linked), QDir::currentPath());
    EXPECT_EQ(platform::startupWorkingFolder(QString()), QDir::currentPath());
    EXPECT_EQ(platform::startupWorkingFolder(QStringLiteral("relative")), QDir::currentPath());
    QDir::setCurrent(before);
}
