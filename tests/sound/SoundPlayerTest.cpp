#include "sound/SoundPlayer.h"
#include "sound/SoundSet.h"
#include "startup/AppState.h"
#include "support/TestSupport.h"

#include <QSet>
#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

const QString kFolder = QStringLiteral("/学校/音フォルダ/");
constexpr int kError = 263;

QString play(const QString &file)
{
    return QStringLiteral("play ") + file + QStringLiteral(" wait");
}

struct Player
{
    FakeServices fakes;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    Player(const QString &soundSet = QStringLiteral(
               "正解音2,pin1,pin2,pin3,*,間違い音2,boo,*,自己最高音2,jiko,*,"
               "不合格音1,*"))
    {
        state->settings.soundFolder = kFolder;
        state->sound.soundFiles = sound::parseSoundSet(soundSet);
    }
    void kind(int k)
    {
        app::report(fakes.services,
                    sound::playKindSound(state->sound, state->settings.soundFolder, fakes.services, k));
    }
};

} // namespace

TEST(SoundPlayer, AKindPlaysEachOfItsFilesAndNoOther)
{
    Player p;
    for (int i = 0; i < 300; ++i)
        p.kind(sound::RightAnswer);
    const QSet<QString> played(p.fakes.media.commands.begin(), p.fakes.media.commands.end());
    EXPECT_EQ(played, (QSet<QString>{play(kFolder + QStringLiteral("pin1.wav")),
                                     play(kFolder + QStringLiteral("pin2.wav")),
                                     play(kFolder + QStringLiteral("pin3.wav"))}));
}

TEST(SoundPlayer, TheDrawPicksTheSlotAndTheCommandIsKept)
{
    Player p;
    p.fakes.random.push(0.0);
    p.fakes.random.push(0.5);
    p.fakes.random.push(0.999);
    p.fakes.media.results = {0, 0, 7};
    for (int i = 0; i < 3; ++i)
        p.kind(sound::RightAnswer);
    EXPECT_EQ(p.fakes.media.commands, (QStringList{play(kFolder + QStringLiteral("pin1.wav")),
                                                   play(kFolder + QStringLiteral("pin2.wav")),
                                                   play(kFolder + QStringLiteral("pin3.wav"))}));
    EXPECT_EQ(p.state->sound.lastMediaCommand, play(kFolder + QStringLiteral("pin3.wav")));
    EXPECT_EQ(p.state->sound.lastMediaResult, QStringLiteral("7"));
}

TEST(SoundPlayer, AKindWithoutACountPlaysNothing)
{
    // Kind 2 lacks its "*", kinds 1, 3, 8 and 10 are not in the set, 0, 11 and -1 are no kinds.
    Player p(QStringLiteral("正解音2,a,b"));
    p.fakes.random.push(0.25);
    for (const int kind : {0, 1, 2, 3, 8, 10, 11, -1})
        p.kind(kind);
    EXPECT_TRUE(p.fakes.media.commands.isEmpty());
    EXPECT_DOUBLE_EQ(p.fakes.random.next(), 0.25) << "a draw was spent";
    EXPECT_EQ(p.state->sound.soundErrorCount, 0);
}

TEST(SoundPlayer, AKindWithNoFilesNamesTheSoundFolderAndFails)
{
    Player p;
    p.fakes.media.results = {kError, kError};
    p.kind(sound::WithinMinimum);
    EXPECT_EQ(p.fakes.media.commands.last(), play(kFolder + QStringLiteral(".wav")));
    EXPECT_EQ(p.state->sound.soundErrorCount, 0) << "kind 10 is not counted";

    Player answers(QStringLiteral("正解音2,*"));
    answers.fakes.media.results = {kError};
    answers.kind(sound::RightAnswer);
    EXPECT_EQ(answers.fakes.media.commands.last(), play(kFolder + QStringLiteral(".wav")));
    EXPECT_EQ(answers.state->sound.soundErrorCount, 1);
}

// The answer sounds count their failures in a row together; the fourth ends the program.
TEST(SoundPlayer, TheFourthFailedAnswerSoundInARowEndsTheProgram)
{
    struct Play
    {
        int kind;
        int result;
    };
    struct Row
    {
        const char *name;
        std::vector<Play> plays;
        bool ends;
        int errorCount; // when it does not end
    };
    const int R = sound::RightAnswer, W = sound::WrongAnswer, P = sound::PersonalRecord,
              M = sound::WithinMinimum;
    const Row rows[] = {
        {"three failures", {{R, kError}, {W, kError}, {R, kError}}, false, 3},
        {"four failures", {{R, kError}, {R, kError}, {R, kError}, {R, kError}}, true, 0},
        {"right and wrong share the count", {{R, kError}, {W, kError}, {W, kError}, {R, kError}}, true, 0},
        {"a success starts again",
         {{R, kError}, {R, kError}, {R, kError}, {W, 0}, {R, kError}, {R, kError}, {R, kError}},
         false,
         3},
        {"other kinds neither count nor reset",
         {{R, kError}, {P, kError}, {W, kError}, {M, 0}, {R, kError}, {W, kError}},
         true,
         0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Player p;
        for (const Play &play : row.plays)
            p.fakes.media.results.push_back(play.result);
        for (const Play &play : row.plays) {
            ASSERT_FALSE(p.fakes.programEnd.ended) << "ended before the last sound";
            p.kind(play.kind);
        }
        EXPECT_EQ(p.fakes.programEnd.ended, row.ends);
        if (!row.ends) {
            EXPECT_TRUE(p.fakes.messages.shown.empty());
            EXPECT_EQ(p.state->sound.soundErrorCount, row.errorCount);
            continue;
        }
        ASSERT_EQ(p.fakes.messages.shown.size(), 1u);
        EXPECT_EQ(p.fakes.messages.shown[0].title, QStringLiteral("音声エラー"));
        EXPECT_TRUE(p.fakes.messages.shown[0].fatal) << "nothing may run behind the box";
        EXPECT_EQ(p.fakes.messages.shown[0].text,
                  QStringLiteral("音声がでません。先生を呼びなさい。\r\n") + p.fakes.media.errorText(kError));
        EXPECT_NE(p.fakes.programEnd.status, 0);
    }
}

TEST(SoundPlayer, FixedSoundsAndVoicesAreNotCounted)
{
    Player p;
    p.fakes.media.results = {kError, kError, kError, kError, kError};
    sound::playFixedSound(p.state->sound, p.state->settings.soundFolder, p.fakes.services,
                          QStringLiteral("最高1.wav"));
    sound::playFixedSound(p.state->sound, p.state->settings.soundFolder, p.fakes.services,
                          QStringLiteral("合格.wav"));
    p.state->sound.voiceFileName = QStringLiteral("/学校/四字熟語/四字熟語音声/一期一会");
    sound::playVoice(p.state->sound, p.fakes.services);
    sound::playVoice(p.state->sound, p.fakes.services);
    sound::playVoice(p.state->sound, p.fakes.services);
    EXPECT_EQ(
        p.fakes.media.commands,
        (QStringList{play(kFolder + QStringLiteral("最高1.wav")), play(kFolder + QStringLiteral("合格.wav")),
                     play(QStringLiteral("/学校/四字熟語/四字熟語音声/一期一会.wav")),
                     play(QStringLiteral("/学校/四字熟語/四字熟語音声/一期一会.wav")),
                     play(QStringLiteral("/学校/四字熟語/四字熟語音声/一期一会.wav"))}));
    EXPECT_EQ(p.state->sound.lastMediaResult, QString::number(kError));
    EXPECT_EQ(p.state->sound.soundErrorCount, 0);
    EXPECT_FALSE(p.fakes.programEnd.ended);
    EXPECT_TRUE(p.fakes.messages.shown.empty());
}
