#include "hub/WeakIdiomSheet.h"

#include "drill/IdiomData.h"
#include "hub/PersonalSheet.h"

#include <QFileInfo>
#include <QHash>

namespace hub {

namespace {

QString fullWidthNumber(int number)
{
    QString text = QString::number(number);
    for (QChar &c : text)
        c = QChar(c.unicode() - u'0' + u'０');
    return text;
}

} // namespace

WeakIdiomsSource readWeakIdiomsSource(const QString &dataFolder, const QString &appFolder,
                                      const QDateTime &now, platform::RetryWait &wait)
{
    WeakIdiomsSource source;
    source.now = now;
    const QString path = records::mistakeHistoryPath(dataFolder);
    source.historyFound = QFileInfo::exists(path);
    if (!source.historyFound)
        return source;
    // Without the idiom data the idioms stand without their readings and meanings.
    (void)drill::idioms::readIdiomData(appFolder + QString::fromUtf16(drill::idioms::kNominalFileName),
                                       source.idioms);
    app::Result<records::MistakeHistory> read = records::readMistakeHistoryIn(dataFolder, wait);
    if (read)
        source.history = std::move(read.value());
    else
        source.historyProblem = read.failure().text;
    return source;
}

QString weakIdiomText(int number, const QString &idiom, const QString &reading, int mistakes, int students)
{
    QString text = fullWidthNumber(number) + u'．' + idiom;
    if (!reading.isEmpty())
        text += u'（' + reading + u'）';
    text += QStringLiteral("　間違い %1回").arg(mistakes);
    if (students > 0)
        text += QStringLiteral("（%1人）").arg(students);
    return text;
}

std::vector<int> classStudentsOf(const RowStudents &students)
{
    std::vector<int> shown;
    for (qint16 number : students.listed) {
        if (students.isShown(number))
            shown.push_back(number);
    }
    return shown;
}

WeakIdiomsBlock studentWeakBlock(const WeakIdiomsSource &source, int student)
{
    WeakIdiomsBlock block;
    block.top = kWeakBlockTop;
    block.title = QStringLiteral("苦手な熟語");
    if (!source.history) {
        block.note = source.historyProblem;
        return block;
    }
    const QHash<QString, idioms::IdiomTexts> texts = idioms::textsByIdiom(source.idioms);
    for (const records::WeakIdiom &weak : records::weakIdioms(*source.history, student, source.now)) {
        const idioms::IdiomTexts text = texts.value(weak.idiom);
        block.lines.push_back(
            {weak.idiom, text.reading, text.meaning, weak.mistakes, 0,
             weakIdiomText(int(block.lines.size()) + 1, weak.idiom, text.reading, weak.mistakes, 0)});
    }
    if (block.lines.empty())
        block.note = QStringLiteral("いまは苦手な熟語はありません。");
    return block;
}

WeakIdiomsBlock classWeakBlock(const WeakIdiomsSource &source, const std::vector<int> &students,
                               const QString &grade)
{
    WeakIdiomsBlock block;
    block.top = kClassWeakBlockTop;
    block.title =
        QStringLiteral("よく間違える熟語（%1）").arg(grade.isEmpty() ? QStringLiteral("全学年") : grade);
    if (!source.history) {
        block.note = source.historyProblem;
        return block;
    }
    const QHash<QString, idioms::IdiomTexts> texts = idioms::textsByIdiom(source.idioms);
    const QList<records::ClassIdiom> idioms =
        records::classWeakIdioms(*source.history, QList<int>(students.begin(), students.end()));
    for (const records::ClassIdiom &idiom : idioms) {
        const idioms::IdiomTexts text = texts.value(idiom.idiom);
        block.lines.push_back({idiom.idiom, text.reading, text.meaning, idiom.mistakes, idiom.students,
                               weakIdiomText(int(block.lines.size()) + 1, idiom.idiom, text.reading,
                                             idiom.mistakes, idiom.students)});
    }
    if (block.lines.empty())
        block.note = QStringLiteral("この学年の生徒が間違えた熟語はありません。");
    return block;
}

void addWeakIdiomsPage(PersonalSheet &sheet, const WeakIdiomsSource &source,
                       const std::vector<int> *classStudents, const QString &grade)
{
    if (!source.historyFound)
        return;
    SheetPage page;
    page.weakBlocks.push_back(studentWeakBlock(source, sheet.student));
    if (classStudents)
        page.weakBlocks.push_back(classWeakBlock(source, *classStudents, grade));
    sheet.pages.push_back(std::move(page));
}

int firstShownPage(const PersonalSheet &sheet)
{
    for (int i = int(sheet.pages.size()) - 1; i >= 0; --i) {
        if (!sheet.pages[std::size_t(i)].blocks.empty())
            return i;
    }
    return std::max(0, int(sheet.pages.size()) - 1);
}

} // namespace hub
