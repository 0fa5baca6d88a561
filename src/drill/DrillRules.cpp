#include "drill/DrillRules.h"

#include "platform/TextFile.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace drill {

qint32 timeLimitFor(qint32 minimumTime)
{
    const qint64 limit = qint64(kTimeOutFactor) * minimumTime;
    return qint32(
        std::clamp<qint64>(limit, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

using platform::drawOneTo;

const QString &distractorKana()
{
    static const QString kana = QStringLiteral(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわんゃゅょっ"
        "ばびぶべぼがぎぐげござじずぜそだぢづでどぱぴぷぺぽ");
    return kana;
}

int doneCount(const std::vector<int> &doneCounters)
{
    return int(std::count(doneCounters.begin() + (doneCounters.empty() ? 0 : 1), doneCounters.end(), 1));
}

int choosePosition(const std::vector<int> &doneCounters, int previousPosition, platform::RandomSource &random)
{
    const int n = int(doneCounters.size()) - 1;
    const int done = doneCount(doneCounters);
    if (n <= 0 || done >= n)
        return 0;
    const bool lastOneLeft = n - 1 == done;
    for (;;) {
        const int p = drawOneTo(random, n);
        if (p >= 1 && p <= n && doneCounters[p] != 1 && (p != previousPosition || lastOneLeft))
            return p;
    }
}

int afterIdiomJudgement(int doneCounter, bool right)
{
    return right ? doneCounter + 1 : std::max(-1, doneCounter - 1);
}

int distractorCandidateCount(const QuestionList &questions, int position)
{
    const QString &idiom = questions.at(position - 1).idiom;
    QSet<QChar> candidates;
    for (const Question &q : questions) {
        for (int k = 0; k < 2 && k < q.idiom.size(); ++k) {
            if (!idiom.contains(q.idiom.at(k)))
                candidates.insert(q.idiom.at(k));
        }
    }
    return int(candidates.size());
}

KanjiButtons makeKanjiButtons(const QuestionList &questions, int position, platform::RandomSource &random)
{
    KanjiButtons buttons;
    const int n = int(questions.size());
    const QString &idiom = questions.at(position - 1).idiom;
    QString used;
    for (QString &button : buttons.characters) {
        QString character;
        do {
            const int w = drawOneTo(random, n);
            const int k = int(2.0 * random.next() + 1.0);
            character = questions.at(std::clamp(w, 1, n) - 1).idiom.mid(k - 1, 1);
            // An empty character (an idiom too short) is "contained" everywhere, so it is drawn again.
        } while (idiom.contains(character) || used.contains(character));
        button = character;
        used += character;
    }
    for (int i = 0; i < kIdiomLength; ++i) {
        int b;
        do {
            b = drawOneTo(random, kKanjiButtonCount);
        } while (std::find(buttons.answerButtons.begin(), buttons.answerButtons.begin() + i, b) !=
                 buttons.answerButtons.begin() + i);
        buttons.answerButtons[i] = b;
        buttons.characters[b - 1] = idiom.mid(i, 1);
    }
    return buttons;
}

std::array<QString, kKanaButtonCount> makeKanaButtons(const QString &reading, const QString &idiom,
                                                      platform::RandomSource &random)
{
    std::array<QString, kKanaButtonCount> buttons;
    for (int i = 0; i < kReadingAnswerLength; ++i) {
        int r;
        do {
            r = drawOneTo(random, kKanaButtonCount);
        } while (!buttons[r - 1].isEmpty());
        buttons[r - 1] = reading.mid(i, 1);
    }
    const QString &kana = distractorKana();
    QString used;
    for (QString &button : buttons) {
        if (!button.isEmpty())
            continue;
        QString character;
        do {
            character = kana.mid(drawOneTo(random, int(kana.size())) - 1, 1);
        } while (idiom.contains(character) || used.contains(character));
        button = character;
        used += character;
    }
    return buttons;
}

ReadingStage::ReadingStage(QString reading) : m_reading(std::move(reading)) {}

ReadingStage::Outcome ReadingStage::pick(const QString &kana)
{
    m_line += kana;
    if (m_line.size() >= kReadingAnswerLength)
        return judge();
    if (m_reading.startsWith(m_line))
        return Outcome::Wait;
    return judge();
}

ReadingStage::Outcome ReadingStage::judge()
{
    if (m_line == answer()) {
        m_hintCount = 0;
        m_line.clear();
        return Outcome::Right;
    }
    ++m_hintCount;
    int k = 0;
    while (k < m_line.size() && k < m_reading.size() && m_line.at(k) == m_reading.at(k))
        ++k;
    m_line = m_reading.left(std::max(k, m_hintCount));
    if (m_hintCount >= kReadingAnswerLength) {
        m_revealed = true;
        m_line = answer();
        m_hintCount = 0;
    }
    return Outcome::Wrong;
}

void KanjiAnswer::pick(const QString &character)
{
    if (m_pointer >= kIdiomLength)
        return;
    m_boxes[m_pointer] = character;
    ++m_pointer;
}

void KanjiAnswer::clearAll()
{
    m_boxes = {};
    m_pointer = 0;
}

void KanjiAnswer::clearLast()
{
    for (int i = kIdiomLength; i >= 1; --i) {
        if (!m_boxes[i - 1].isEmpty()) {
            m_boxes[i - 1].clear();
            m_pointer = i - 1;
            return;
        }
    }
}

QString KanjiAnswer::joined() const
{
    QString s;
    for (const QString &box : m_boxes)
        s += box;
    return s;
}

std::vector<int> lampsToPutOut(int elapsed, int targetTime, int minimumTime)
{
    std::vector<int> lamps;
    if (targetTime >= elapsed) {
        for (int i = 0; i <= std::min(elapsed - targetTime + 9, 9); ++i)
            lamps.push_back(30 + i);
    }
    if (minimumTime >= elapsed) {
        for (int i = 0; i <= 9; ++i) {
            if (elapsed == minimumTime - i)
                lamps.push_back(39 - i);
        }
    }
    return lamps;
}

int elapsedSeconds(qint64 nowMs, qint64 startMs)
{
    return int(std::lround(double(nowMs - startMs) / 1000.0));
}

QString unrunnableReason(const QuestionList &questions, bool practice, int range, const QString &dataFile)
{
    const QString file = platform::displayPath(dataFile);
    if (questions.isEmpty())
        return QStringLiteral("範囲%1の問題が、問題ファイル %2 にありません。").arg(range).arg(file);
    if (practice && questions.size() >= kPracticeCardLimit)
        return QStringLiteral("範囲%1の問題が %2 問あります。練習は %3 問までしかできません（%4）。")
            .arg(range)
            .arg(questions.size())
            .arg(kPracticeCardLimit - 1)
            .arg(file);
    for (int p = 1; p <= questions.size(); ++p) {
        const Question &q = questions.at(p - 1);
        if (q.idiom.size() != kIdiomLength)
            return QStringLiteral("問題ファイル %1 の範囲%2「%3」が四文字ではありません。")
                .arg(file)
                .arg(range)
                .arg(q.idiom);
        if (q.reading.size() < kReadingAnswerLength)
            return QStringLiteral("問題ファイル %1 の範囲%2「%3」の読み「%4」が四文字より短いです。")
                .arg(file)
                .arg(range)
                .arg(q.idiom, q.reading);
        if (!practice && distractorCandidateCount(questions, p) < kKanjiButtonCount)
            return QStringLiteral("問題ファイル %1 の範囲%2は問題が少なすぎて、「%3」の漢字ボタン１２個を"
                                  "違う字でうめられません。")
                .arg(file)
                .arg(range)
                .arg(q.idiom);
    }
    return {};
}

} // namespace drill
