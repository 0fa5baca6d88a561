#include "IdiomVoices.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace testing_support;
using namespace yojidata;

namespace {

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray bytes(id, 4);
    char size[4];
    qToLittleEndian<quint32>(quint32(body.size()), size);
    bytes.append(size, 4).append(body);
    if (body.size() % 2)
        bytes.append('\0');
    return bytes;
}

QByteArray wave(quint16 format, quint16 bits, const QByteArray &samples, bool infoFirst = false)
{
    QByteArray fmt(16, '\0');
    qToLittleEndian<quint16>(format, fmt.data());
    qToLittleEndian<quint16>(1, fmt.data() + 2);
    qToLittleEndian<quint32>(22050, fmt.data() + 4);
    qToLittleEndian<quint16>(bits, fmt.data() + 14);
    QByteArray body("WAVE");
    if (infoFirst)
        body += chunk("LIST", QByteArray("INFOabc"));
    body += chunk("fmt ", fmt) + chunk("data", samples);
    return chunk("RIFF", body);
}

bool programsInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("mecab")).isEmpty();
}

IdiomList twoIdioms()
{
    IdiomList list;
    list.rows = {{2,
                  {QStringLiteral("1"), QStringLiteral("一石二鳥"), QStringLiteral("いっせきにちょう"),
                   QStringLiteral("一つのことで二つの得をすること。")}},
                 {3,
                  {QStringLiteral("1"), QStringLiteral("十人十色"), QStringLiteral("じゅうにんといろ"),
                   QStringLiteral("好みは人それぞれ。")}}};
    return list;
}

} // namespace

TEST(IdiomVoices, MecabPronunciationsAreTakenPerSentence)
{
    const QString output = QStringLiteral("私\t名詞,代名詞,一般,*,*,*,私,ワタシ,ワタシ\n"
                                          "は\t助詞,係助詞,*,*,*,*,は,ハ,ワ\n"
                                          "学校\t名詞,一般,*,*,*,*,学校,ガッコウ,ガッコー\n"
                                          "。\t記号,句点,*,*,*,*,。,。,。\n"
                                          "EOS\n"
                                          "EOS\n"
                                          "ヨジ\t名詞,固有名詞,一般,*,*,*,*\n"
                                          "だ\t助動詞,*,*,*,特殊・ダ,基本形,だ,ダ,ダ\n"
                                          "EOS\n");
    EXPECT_EQ(pronunciationsFromMecabOutput(output),
              (QStringList{QStringLiteral("ワタシワガッコー。"), QString(), QStringLiteral("ヨジダ")}));
}

TEST(IdiomVoices, OnlySixteenBitPcmWavesWithSoundCount)
{
    const QByteArray samples(200, '\x10');
    EXPECT_TRUE(isPcm16Wave(wave(1, 16, samples)));
    EXPECT_TRUE(isPcm16Wave(wave(1, 16, samples, true)));
    EXPECT_FALSE(isPcm16Wave(wave(1, 8, samples)));
    EXPECT_FALSE(isPcm16Wave(wave(3, 16, samples)));
    EXPECT_FALSE(isPcm16Wave(wave(1, 16, {})));
    EXPECT_FALSE(isPcm16Wave(wave(1, 16, samples).left(30)));
    EXPECT_FALSE(isPcm16Wave(QByteArray("not a wave file at all")));
}

TEST(IdiomVoices, MeaningsBecomeKanaWithMecab)
{
    if (!programsInstalled())
        GTEST_SKIP() << "espeak-ng or mecab is not installed";
    QStringList spoken;
    QString error;
    ASSERT_TRUE(
        succeeded(pronunciations({QStringLiteral("一つのことをして、"), QStringLiteral("人は学校へ行く。")},
                                 QStringLiteral("mecab")),
                  &spoken, &error))
        << error.toStdString();
    EXPECT_EQ(spoken, (QStringList{QStringLiteral("ヒトツノコトヲシテ、"),
                                   QStringLiteral("ヒトワガッコーエイク。")}));
}

// A program that is missing, fails or gives no usable answer is named in the failure; a voice that
// could not be made leaves no file behind, not even its temporary one.
TEST(IdiomVoices, ProgramsThatAreMissingOrFailAreNamed)
{
    const QStringList texts{QStringLiteral("一つ"), QStringLiteral("二つ")};
    const struct
    {
        const char *mecab;
        const char *says;
    } cases[] = {
        {"/nonexistent/mecab", "/nonexistent/mecab が見つかりません"},
        {"false", "false が失敗しました（終了状態 1）"},
        {"true", "true の出力が読めません（文 2 個に対して 0 個）"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mecab);
        QString error;
        EXPECT_FALSE(succeeded(pronunciations(texts, QString::fromUtf8(c.mecab)).status(), &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
    }

    QTemporaryDir dir;
    const QString wav = dir.filePath(QStringLiteral("一石二1.wav"));
    VoiceOptions options;
    options.espeak = QStringLiteral("false");
    QString error;
    EXPECT_FALSE(succeeded(speakToWave(QStringLiteral("いっせきにちょう"), wav, options), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("false が失敗しました"))) << error.toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(IdiomVoices, EachIdiomGetsAReadingAndAMeaningFileKeptUnlessReplaced)
{
    if (!programsInstalled())
        GTEST_SKIP() << "espeak-ng or mecab is not installed";
    QTemporaryDir app;
    VoiceOptions options;
    options.appFolder = app.path();
    const VoiceReport first = makeVoices(twoIdioms(), options);
    EXPECT_TRUE(first.failures.isEmpty()) << first.failures.value(0).text.toStdString();
    EXPECT_EQ(first.written, 4);
    const QString folder = app.path() + QStringLiteral("/四字熟語音声/");
    for (const char *name : {"一石二1.wav", "一石二2.wav", "十人十1.wav", "十人十2.wav"}) {
        const QByteArray bytes = readBytes(folder + QString::fromUtf8(name));
        EXPECT_TRUE(isPcm16Wave(bytes)) << name;
        EXPECT_GT(bytes.size(), 10000) << name; // a spoken word, not a click
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 4) << "no temporary file is left behind";
    // The meaning is longer than the reading, and so is its voice.
    EXPECT_GT(readBytes(folder + QStringLiteral("一石二2.wav")).size(),
              readBytes(folder + QStringLiteral("一石二1.wav")).size());

    // A school's own recording stays unless replacing is asked for.
    const QString own = folder + QStringLiteral("一石二1.wav");
    writeBytes(own, wave(1, 16, QByteArray(100, '\x01')));
    const VoiceReport again = makeVoices(twoIdioms(), options);
    EXPECT_EQ(again.written, 0);
    EXPECT_EQ(again.kept, 4);
    EXPECT_EQ(readBytes(own).size(), 144);

    options.replace = true;
    const VoiceReport replaced = makeVoices(twoIdioms(), options);
    EXPECT_EQ(replaced.written, 4);
    EXPECT_GT(readBytes(own).size(), 10000);
}

TEST(IdiomVoices, MissingSynthesiserAndCollidingNamesAreReported)
{
    QTemporaryDir app;
    VoiceOptions options;
    options.appFolder = app.path();
    options.espeak = QStringLiteral("/nonexistent/espeak-ng");
    const VoiceReport missing = makeVoices(twoIdioms(), options);
    ASSERT_EQ(missing.failures.size(), 1);
    EXPECT_TRUE(missing.failures[0].text.contains(QStringLiteral("/nonexistent/espeak-ng が見つかりません")));
    EXPECT_EQ(missing.written, 0);

    if (!programsInstalled())
        GTEST_SKIP() << "espeak-ng or mecab is not installed";
    options.espeak = QStringLiteral("espeak-ng");
    IdiomList list = twoIdioms();
    list.rows.append({4,
                      {QStringLiteral("1"), QStringLiteral("一石二羽"), QStringLiteral("いっせきにわ"),
                       QStringLiteral("あそび")}});
    list.rows.append(
        {5,
         {QStringLiteral("1"), QStringLiteral("一石"), QStringLiteral("いっせき"), QStringLiteral("短い")}});
    const VoiceReport report = makeVoices(list, options);
    EXPECT_EQ(report.written, 4);
    ASSERT_EQ(report.failures.size(), 2);
    EXPECT_EQ(report.failures[0].line, 4);
    EXPECT_EQ(report.failures[1].line, 5);
}
