#pragma once

#include "app/Tables.h"

#include <cstring>
#include <type_traits>
#include <vector>

namespace records {

// Statistics per level and student, recomputed from the results file at every activation of the name
// screen, the hub and the result screen. The figures of one (level, student) cell are stored side by
// side, so that adding a record to its cell touches one or two cache lines rather than one in each of
// twelve tables: the ten sums in one table, which a computation clears as one block, and the two
// averages, which it leaves alone in a cell without counted drills, in another. Both are ordered level
// by level, students within a level. Each figure is still read and written by its own name, as a table
// of its own would be: `statistics.todayCount(level, student)`.
class Statistics
{
public:
    struct Sums
    {
        qint32 allTimePoints = 0;
        qint32 allTimeTimeSum = 0;
        qint32 passPeriodPoints = 0;
        qint32 overPracticePeriodPoints = 0;
        qint32 todayPoints = 0;
        float todayCount = 0.0f; // counted drills today
        float todayTimeSum = 0.0f;
        qint16 allTimeCount = 0; // counted drills (time below 6000)
        qint16 passPeriodCount = 0;
        qint16 overPracticePeriodCount = 0;
    };
    struct Averages
    {
        float allTimeAverageTime = 0.0f; // rounded
        float todayAverageTime = 0.0f;
    };

    static constexpr std::size_t kCells = std::size_t(kLevelSlots) * kStudentSlots;

    Statistics() : m_sums(kCells), m_averages(kCells) {}

    // The position of a cell in both tables.
    static std::size_t cellIndex(int level, int student)
    {
        return std::size_t(level) * kStudentSlots + std::size_t(student);
    }
    Sums &sums(int level, int student) { return m_sums[cellIndex(level, student)]; }
    const Sums &sums(int level, int student) const { return m_sums[cellIndex(level, student)]; }
    Averages &averages(int level, int student) { return m_averages[cellIndex(level, student)]; }
    const Averages &averages(int level, int student) const { return m_averages[cellIndex(level, student)]; }
    Sums *sumsData() { return m_sums.data(); }
    Averages *averagesData() { return m_averages.data(); }

    qint16 &allTimeCount(int level, int student) { return sums(level, student).allTimeCount; }
    const qint16 &allTimeCount(int level, int student) const { return sums(level, student).allTimeCount; }
    qint32 &allTimePoints(int level, int student) { return sums(level, student).allTimePoints; }
    const qint32 &allTimePoints(int level, int student) const { return sums(level, student).allTimePoints; }
    qint32 &allTimeTimeSum(int level, int student) { return sums(level, student).allTimeTimeSum; }
    const qint32 &allTimeTimeSum(int level, int student) const { return sums(level, student).allTimeTimeSum; }
    float &allTimeAverageTime(int level, int student) { return averages(level, student).allTimeAverageTime; }
    const float &allTimeAverageTime(int level, int student) const
    {
        return averages(level, student).allTimeAverageTime;
    }
    qint16 &passPeriodCount(int level, int student) { return sums(level, student).passPeriodCount; }
    const qint16 &passPeriodCount(int level, int student) const
    {
        return sums(level, student).passPeriodCount;
    }
    qint32 &passPeriodPoints(int level, int student) { return sums(level, student).passPeriodPoints; }
    const qint32 &passPeriodPoints(int level, int student) const
    {
        return sums(level, student).passPeriodPoints;
    }
    qint16 &overPracticePeriodCount(int level, int student)
    {
        return sums(level, student).overPracticePeriodCount;
    }
    const qint16 &overPracticePeriodCount(int level, int student) const
    {
        return sums(level, student).overPracticePeriodCount;
    }
    qint32 &overPracticePeriodPoints(int level, int student)
    {
        return sums(level, student).overPracticePeriodPoints;
    }
    const qint32 &overPracticePeriodPoints(int level, int student) const
    {
        return sums(level, student).overPracticePeriodPoints;
    }
    float &todayCount(int level, int student) { return sums(level, student).todayCount; }
    const float &todayCount(int level, int student) const { return sums(level, student).todayCount; }
    qint32 &todayPoints(int level, int student) { return sums(level, student).todayPoints; }
    const qint32 &todayPoints(int level, int student) const { return sums(level, student).todayPoints; }
    float &todayTimeSum(int level, int student) { return sums(level, student).todayTimeSum; }
    const float &todayTimeSum(int level, int student) const { return sums(level, student).todayTimeSum; }
    float &todayAverageTime(int level, int student) { return averages(level, student).todayAverageTime; }
    const float &todayAverageTime(int level, int student) const
    {
        return averages(level, student).todayAverageTime;
    }

    // Sets the ten sums of every cell to 0; the averages keep their values.
    void clearSums()
    {
        static_assert(std::is_trivially_copyable_v<Sums>, "cleared as bytes: all-zero bytes are 0 and 0.0f");
        std::memset(static_cast<void *>(m_sums.data()), 0, m_sums.size() * sizeof(Sums));
    }

private:
    std::vector<Sums> m_sums;
    std::vector<Averages> m_averages;
};

} // namespace records
