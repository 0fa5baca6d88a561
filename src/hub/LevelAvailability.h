#pragma once

#include "app/CurrentRun.h"
#include "drill/Catalogue.h"
#include "records/Standards.h"
#include "records/StatisticsTables.h"

#include <vector>

// Which levels of the hub may be started. A level opens the next one when the next one asks for
// nothing (its clear points are records::kNoRequirement), when every level is open by the catalogue,
// for the teacher account named exactly "先生", when the student has cleared it, or when it is a
// practice level and no level before it has held the way shut. An opened test level is still locked for
// over-practice while the student has not cleared the final level; the last level is never locked, a practice
// level never.
namespace hub {

struct LevelStanding
{
    bool practice = false;      // the level's name holds "練"
    bool cleared = false;       // the clear rule holds on the pass period
    bool overPractised = false; // the over-practice rule holds on its period
    bool asksNothing = false;   // the level's clear points are records::kNoRequirement
};

struct AvailabilityInput
{
    int levelCount = 0;
    bool allLevelsOpen = false;
    bool teacherOpensAll = false; // the trimmed student name is exactly "先生"
    bool finalLevelCleared = false;
    std::vector<LevelStanding> levels; // indexes 0 to levelCount + 1; 0 is not used
};

struct Availability
{
    bool finalLevelCleared = false;
    std::vector<char> startEnabled; // indexes 0 to levelCount
    std::vector<char> locked;       // the lock box "やりすぎ禁止" shows in front of the start button

    bool canStart(int level) const
    {
        return level >= 1 && std::size_t(level) < startEnabled.size() && startEnabled[std::size_t(level)];
    }
};

Availability decideAvailability(const AvailabilityInput &input);

// The input for the student of the run from the catalogue, the standards and the statistics as last
// computed.
AvailabilityInput availabilityInput(const drill::Catalogue &catalogue, const records::Standards &standards,
                                    const records::Statistics &statistics, const app::CurrentRun &run);

inline Availability levelAvailability(const drill::Catalogue &catalogue, const records::Standards &standards,
                                      const records::Statistics &statistics, const app::CurrentRun &run)
{
    return decideAvailability(availabilityInput(catalogue, standards, statistics, run));
}

// The name that opens every level: the trimmed student name is exactly this.
bool opensEveryLevel(const QString &studentName);

} // namespace hub
