#include "DemoHistory.h"

#include "platform/DateSerial.h"
#include "platform/RetryWait.h"
#include "platform/TextFile.h"
#include "records/Marks.h"
#include "records/MistakeHistory.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>

namespace demo {

namespace {

constexpr int kQuestionsLeftByATimeOut = 5;

// The idioms of each range, in the order of the program's idiom list (built into the demo maker).
QHash<int, QStringList> idiomsByRange()
{
    QHash<int, QStringList> ranges;
    QFile list(QStringLiteral(":/demo/idioms.csv"));
    if (!list.open(QIODevice::ReadOnly))
        return ranges;
    const QStringList lines = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines.mid(1)) {
        const QStringList fields = line.trimmed().split(u',');
        bool ok = false;
        const int range = fields.value(0).toInt(&ok);
        if (ok && fields.size() >= 2)
            ranges[range] << fields[1];
    }
    return ranges;
}

} // namespace

app::Status writeDemoHistory(const QString &dataFolder, const QList<records::ResultRecord> &runs,
                             const std::function<double(int student)> &weakness, QStringList *written)
{
    const QString path = records::mistakeHistoryPath(dataFolder);
    if (QFileInfo::exists(path))
        return {};
    const QHash<int, QStringList> ranges = idiomsByRange();
    if (ranges.isEmpty())
        return app::failure(QStringLiteral("デモの熟語一覧がありません（解答履歴を作れません）"));

    QRandomGenerator random(20261210);
    QHash<QString, double> difficulty; // the school's: how often an idiom goes wrong at all
    QHash<QString, double> ownFactor;  // student and idiom: how much more often for this student
    QList<records::AnsweredQuestion> answers;
    for (const records::ResultRecord &run : runs) {
        if (run.level % 2 != 0)
            continue; // practice levels record nothing
        QStringList idioms = ranges.value((run.level + 1) / 2);
        std::shuffle(idioms.begin(), idioms.end(), random);
        const QDateTime start(platform::dateFromSerial(run.date), platform::timeFromFraction(run.clock));
        const bool timedOut = run.time == records::kTimeOut;
        const int judged =
            timedOut ? std::max(0, int(idioms.size()) - kQuestionsLeftByATimeOut) : idioms.size();
        for (int i = 0; i < idioms.size(); ++i) {
            const QString &idiom = idioms[i];
            if (!difficulty.contains(idiom))
                difficulty.insert(idiom, 0.02 + random.bounded(0.2));
            const QString own = QString::number(run.student) + idiom;
            if (!ownFactor.contains(own))
                ownFactor.insert(own, random.bounded(4) == 0 ? 2.5 + random.bounded(1.5)
                                                             : 0.3 + random.bounded(0.7));
            records::AnsweredQuestion a;
            a.when = start.addSecs(10 * (i + 1));
            a.student = run.student;
            a.level = run.level;
            a.idiom = idiom;
            if (i >= judged) {
                a.timedOut = true;
                answers << a;
                continue;
            }
            const double wrong = difficulty[idiom] * ownFactor[own] * weakness(run.student);
            a.readingFirstTry = random.bounded(1.0) >= wrong * 0.6;
            a.idiomFirstTry = random.bounded(1.0) >= wrong;
            a.wrongJudgements = (a.readingFirstTry ? 0 : 1) + (a.idiomFirstTry ? 0 : 1);
            answers << a;
        }
    }

    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    platform::ResponsiveWait wait;
    const app::Status appended = records::appendAnswers(partial, answers, wait);
    if (appended || !QFile::rename(partial, path)) {
        QFile::remove(partial);
        if (QFileInfo::exists(path))
            return {}; // laid out by someone else meanwhile
        if (appended)
            return appended;
        return app::failure(QStringLiteral("解答履歴を作れません：%1").arg(platform::displayPath(path)));
    }
    if (written)
        written->append(path);
    return {};
}

} // namespace demo
