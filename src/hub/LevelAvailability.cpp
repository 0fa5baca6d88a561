#include "hub/LevelAvailability.h"

#include "drill/LevelCatalogue.h"
#include "platform/DelimitedItems.h"
#include "records/Judgement.h"
#include "roster/NameList.h"

#include <algorithm>

namespace hub {

Availability decideAvailability(const AvailabilityInput &in)
{
    const int count = in.levelCount;
    Availability out;
    out.finalLevelCleared = in.finalLevelCleared;
    out.startEnabled.assign(std::size_t(std::max(count, 0) + 1), 0);
    out.locked.assign(out.startEnabled.size(), 0);
    if (count < 1)
        return out;

    auto standing = [&](int level) -> LevelStanding {
        return level >= 0 && std::size_t(level) < in.levels.size() ? in.levels[std::size_t(level)]
                                                                   : LevelStanding{};
    };

    out.startEnabled[1] = 1;
    bool blocked = false;
    for (int i = 1; i <= count; ++i) {
        const LevelStanding level = standing(i);
        if (level.practice)
            out.startEnabled[std::size_t(i)] = 1;
        const bool opensNext = standing(i + 1).asksNothing || in.allLevelsOpen || in.teacherOpensAll ||
                               level.cleared || (!blocked && level.practice);
        if (!opensNext) {
            blocked = true;
            continue;
        }
        if (i >= count)
            continue; // the last level has no next one, and is never locked
        out.startEnabled[std::size_t(i + 1)] = 1;
        out.locked[std::size_t(i + 1)] = 0;
        const bool locked = !in.finalLevelCleared && !level.practice && level.overPractised;
        out.locked[std::size_t(i)] = locked ? 1 : 0;
        if (locked)
            out.startEnabled[std::size_t(i)] = 0;
    }
    return out;
}

AvailabilityInput availabilityInput(const drill::Catalogue &catalogue, const records::Standards &standards,
                                    const records::Statistics &statistics, const app::CurrentRun &run)
{
    AvailabilityInput in;
    in.levelCount = catalogue::levelCount(catalogue);
    in.allLevelsOpen = catalogue.allLevelsOpen;
    in.teacherOpensAll = opensEveryLevel(run.studentName);
    const int student = run.studentNumber;
    in.finalLevelCleared =
        records::isCleared(standards, statistics, catalogue::finalLevel(catalogue), student);
    in.levels.resize(std::size_t(in.levelCount) + 2);
    for (int level = 1; level <= std::min(in.levelCount + 1, kMaxLevel); ++level) {
        LevelStanding &standing = in.levels[std::size_t(level)];
        standing.practice = catalogue::isPracticeLevel(catalogue, level);
        standing.cleared = records::isCleared(standards, statistics, level, student);
        standing.overPractised = records::isOverPractised(standards, statistics, level, student);
        standing.asksNothing = standards.clearPoints[std::size_t(level)] == records::kNoRequirement;
    }
    return in;
}

bool opensEveryLevel(const QString &studentName)
{
    return roster::namelist::trimBlanks(studentName) == QStringLiteral("先生");
}

} // namespace hub
