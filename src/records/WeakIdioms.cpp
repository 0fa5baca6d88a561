#include "records/WeakIdioms.h"

#include "app/Tables.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <vector>

namespace records {

namespace {

constexpr double kMinutesPerHalfLife = kMistakeHalfLifeDays * 1440.0;

// Where an idiom's counts are kept while the history is scanned: its slot, found by its key.
template <typename Counts> class IdiomSlots
{
public:
    IdiomSlots() { m_index.reserve(256); }
    Counts &at(quint64 key)
    {
        const auto found = m_index.constFind(key);
        if (found != m_index.constEnd())
            return m_slots[std::size_t(*found)];
        m_index.insert(key, int(m_slots.size()));
        m_slots.push_back(Counts{});
        m_slots.back().key = key;
        return m_slots.back();
    }
    std::vector<Counts> &all() { return m_slots; }

private:
    QHash<quint64, int> m_index;
    std::vector<Counts> m_slots;
};

struct StudentCounts
{
    quint64 key = 0;
    int mistakes = 0;
    quint32 lastMistake = 0;
    int clean = 0;
    double weight = 0.0;
};

struct ClassCounts
{
    quint64 key = 0;
    int mistakes = 0;
    quint32 lastMistake = 0;
    std::vector<bool> students; // who made a mistake on it, by number
    int studentCount = 0;
};

} // namespace

QList<WeakIdiom> weakIdioms(const MistakeHistory &history, int student, const QDateTime &now, int limit)
{
    const quint32 nowMinute = minuteOf(now);
    IdiomSlots<StudentCounts> table;
    const qint64 count = history.size();
    for (qint64 i = 0; i < count; ++i) {
        const char *record = history.record(i);
        if (answerStudent(record) != student)
            continue;
        const quint8 answer = answerByte(record);
        const bool mistake = answerIsMistake(answer);
        if (!mistake && !answerIsClean(answer))
            continue;
        const quint64 key = answerIdiomKey(record);
        if (key == 0)
            continue;
        StudentCounts &c = table.at(key);
        if (mistake) {
            const quint32 minute = answerMinute(record);
            // A PC whose clock runs ahead does not make a mistake weigh more than one of today.
            const double age = nowMinute > minute ? double(nowMinute - minute) : 0.0;
            c.weight += std::exp2(-age / kMinutesPerHalfLife);
            ++c.mistakes;
            c.lastMistake = std::max(c.lastMistake, minute);
            c.clean = 0;
        } else if (c.mistakes > 0) {
            ++c.clean;
        }
    }

    struct Ranked
    {
        QString idiom;
        const StudentCounts *counts;
        double score;
    };
    std::vector<Ranked> ranked;
    for (const StudentCounts &c : table.all()) {
        if (c.mistakes == 0 || c.clean >= kRecoveryStreak)
            continue;
        ranked.push_back({idiomOfKey(c.key), &c, c.weight * (kRecoveryStreak - c.clean) / kRecoveryStreak});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked &a, const Ranked &b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.counts->mistakes != b.counts->mistakes)
            return a.counts->mistakes > b.counts->mistakes;
        if (a.counts->lastMistake != b.counts->lastMistake)
            return a.counts->lastMistake > b.counts->lastMistake;
        return a.idiom < b.idiom;
    });
    QList<WeakIdiom> weak;
    for (std::size_t i = 0; i < ranked.size() && int(i) < limit; ++i) {
        const Ranked &r = ranked[i];
        weak.append(
            {r.idiom, r.counts->mistakes, dateTimeOfMinute(r.counts->lastMistake), r.score, r.counts->clean});
    }
    return weak;
}

QList<ClassIdiom> classWeakIdioms(const MistakeHistory &history, const QList<int> &students, int limit)
{
    std::vector<char> member(kStudentSlots, 0);
    for (int s : students)
        if (s >= 1 && s <= kMaxStudentNumber)
            member[std::size_t(s)] = 1;
    IdiomSlots<ClassCounts> table;
    const qint64 count = history.size();
    for (qint64 i = 0; i < count; ++i) {
        const char *record = history.record(i);
        const int student = answerStudent(record);
        if (student < 1 || student > kMaxStudentNumber || !member[std::size_t(student)] ||
            !answerIsMistake(answerByte(record)) || answerIdiomKey(record) == 0)
            continue;
        ClassCounts &c = table.at(answerIdiomKey(record));
        ++c.mistakes;
        c.lastMistake = std::max(c.lastMistake, answerMinute(record));
        if (c.students.empty())
            c.students.resize(kStudentSlots);
        if (!c.students[std::size_t(student)]) {
            c.students[std::size_t(student)] = true;
            ++c.studentCount;
        }
    }

    std::vector<ClassIdiom> ranked;
    for (const ClassCounts &c : table.all())
        ranked.push_back({idiomOfKey(c.key), c.mistakes, c.studentCount, dateTimeOfMinute(c.lastMistake)});
    std::sort(ranked.begin(), ranked.end(), [](const ClassIdiom &a, const ClassIdiom &b) {
        if (a.mistakes != b.mistakes)
            return a.mistakes > b.mistakes;
        if (a.students != b.students)
            return a.students > b.students;
        if (a.lastMistake != b.lastMistake)
            return a.lastMistake > b.lastMistake;
        return a.idiom < b.idiom;
    });
    if (int(ranked.size()) > limit)
        ranked.resize(std::size_t(std::max(limit, 0)));
    return QList<ClassIdiom>(ranked.begin(), ranked.end());
}

} // namespace records
