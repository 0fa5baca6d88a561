#pragma once

#include <QByteArray>
#include <QStringList>

#include <vector>

// The standards editor's frequency panel ("現在までの成績度数分布"): how the recorded runs of a level are
// spread over ten-second buckets, for all runs ("全成績") and for each student's best run ("最高タイム").
namespace teacher {

class Distribution
{
public:
    static constexpr int kLevels = 51;      // levels 0 to 50 are counted
    static constexpr int kBuckets = 101;    // buckets 0 to 100 (the last holds 1000 s and more)
    static constexpr int kBestBuckets = 31; // a best time counts at most in bucket 30 (300 s and more)

    Distribution();

    // Counts `count` records of the results file (44 bytes each). Records of level 0 (and of levels
    // outside 1 to 50, or with a negative time) are not counted.
    void count(const char *records, qint64 count);

    qint32 runs(int level) const;
    qint32 all(int level, int bucket) const;
    qint32 best(int level, int bucket) const;

private:
    std::vector<qint32> m_runs;
    std::vector<qint32> m_all;
    std::vector<qint32> m_best;
};

// The lines of the "全成績" list for a level: "レベル3 今まで12回  （★=1）", then one line a bucket,
// "  0～", "  10～★★", … "1000～", each star standing for the unit of the heading.
QStringList allResultsLines(const Distribution &distribution, int level);
// The lines of the "最高タイム" list, the same way from the best times: "レベル3 （★=1）", …
QStringList bestTimeLines(const Distribution &distribution, int level);

} // namespace teacher
