#include "drill/LevelCatalogue.h"

#include "platform/DelimitedItems.h"

#include <algorithm>

namespace drill::catalogue {

void applyStartupSettings(Catalogue &catalogue)
{
    catalogue.programTitle = QStringLiteral("四字熟語");
    catalogue.printMode = 2;
    catalogue.allLevelsOpen = true;
}

void setUpLevels(Catalogue &catalogue)
{
    catalogue.levelCount = kLevelCount;
    catalogue.finalLevel = catalogue.levelCount;
    for (int level = 1; level <= kLevelCount; ++level) {
        catalogue.levelNames[level] = levelName(level);
        catalogue.recordedLevel[level] = 1;
    }
}

QString levelName(int level)
{
    if (level < 1 || level > kLevelCount)
        return {};
    static const QString digits = QStringLiteral("０１２３４５６７８９");
    const int range = rangeNumber(level);
    QString number;
    for (QChar c : QString::number(range))
        number += digits.at(c.unicode() - u'0');
    QString name = QStringLiteral("範囲") + number;
    if (level % 2 == 1)
        name += QStringLiteral("練");
    return name;
}

int rangeNumber(int level)
{
    return (level + 1) / 2;
}

bool isPracticeLevel(const QString &levelCaption)
{
    return levelCaption.contains(u'練');
}

bool isPracticeLevel(const Catalogue &catalogue, int level)
{
    return level >= 0 && level <= kMaxLevel && isPracticeLevel(catalogue.levelNames[std::size_t(level)]);
}

bool runsAsPractice(const Catalogue &catalogue, int level)
{
    return level % 2 == 1 || isPracticeLevel(catalogue, std::clamp(level, 0, kMaxLevel));
}

bool isRecordedLevel(const Catalogue &catalogue, int level)
{
    return level >= 0 && level <= kMaxLevel && catalogue.recordedLevel[std::size_t(level)] == 1;
}

int levelCount(const Catalogue &catalogue)
{
    return std::clamp(catalogue.levelCount, 0, kMaxLevel);
}

int finalLevel(const Catalogue &catalogue)
{
    // The item may hold a text or a fraction as a settings file would give it; it names a level slot.
    return int(std::clamp(platform::valueNumber(catalogue.finalLevel), 0.0, double(kMaxLevel)));
}

bool isFinalLevel(const Catalogue &catalogue, int level)
{
    return level == finalLevel(catalogue);
}

QString messageTitle(const Catalogue &catalogue)
{
    return catalogue.programTitle.isEmpty() ? QStringLiteral("四字熟語") : catalogue.programTitle;
}

void prepareDrill(app::CurrentRun &run, LastDrill &lastDrill, DrillRunState &drill, int level)
{
    run.currentLevel = qint16(level);
    lastDrill.drillEndReason = 0;
    lastDrill.endingInProgress = false;
    lastDrill.elapsedTime = 0;
    drill = DrillRunState{};
}

} // namespace drill::catalogue
