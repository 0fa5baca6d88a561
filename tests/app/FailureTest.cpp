#include "app/Failure.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {
// Notes whether the box was up before the program was ended.
struct EndAfterBox : platform::ProgramEnd
{
    explicit EndAfterBox(RecordingMessageBoxes &boxes) : boxes(boxes) {}
    void endProgram(int status) override
    {
        boxesBeforeEnd = int(boxes.shown.size());
        statuses.push_back(status);
    }
    RecordingMessageBoxes &boxes;
    int boxesBeforeEnd = -1;
    std::vector<int> statuses;
};
} // namespace

TEST(FailureReport, TheBoxComesFirstAndOnlyAFailureWithAnExitStatusEndsTheProgram)
{
    using Icon = platform::MessageBoxes::Icon;
    struct Case
    {
        const char *name;
        app::Failure failure;
        std::vector<int> statuses;
    };
    const Case cases[] = {
        {"a warning the program goes on after",
         {QStringLiteral("題"), QStringLiteral("本文"), Icon::Warning, std::nullopt, false},
         {}},
        {"the results file",
         {QStringLiteral("四字熟語"), QStringLiteral("ファイルがありません"), Icon::Critical, 1, false},
         {1}},
        {"the sound",
         {QStringLiteral("音声エラー"), QStringLiteral("音声がでません"), Icon::Critical, 3, true},
         {3}},
    };
    for (const Case &c : cases) {
        FakeServices fakes;
        EndAfterBox end(fakes.messages);
        Services services{fakes.clock, fakes.random, fakes.messages, fakes.launcher,
                          end,         fakes.media,  fakes.wait,     fakes.outputDialogs};
        // The report says whether the program is ending, so that the handler that met it stops.
        EXPECT_EQ(app::report(services, c.failure), !c.statuses.empty()) << c.name;
        ASSERT_EQ(fakes.messages.shown.size(), 1u) << c.name;
        EXPECT_EQ(fakes.messages.shown[0].title, c.failure.title) << c.name;
        EXPECT_EQ(fakes.messages.shown[0].text, c.failure.text) << c.name;
        EXPECT_EQ(fakes.messages.shown[0].icon, c.failure.icon) << c.name;
        EXPECT_EQ(fakes.messages.shown[0].fatal, c.failure.fatal) << c.name;
        EXPECT_EQ(end.statuses, c.statuses) << c.name;
        if (!c.statuses.empty()) {
            EXPECT_EQ(end.boxesBeforeEnd, 1) << c.name;
        }
    }
}

TEST(FailureReport, AnEmptyStatusShowsNothingAndAResultHoldsItsValueOrItsFailure)
{
    FakeServices fakes;
    EXPECT_FALSE(app::report(fakes.services, app::Status{}));
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_FALSE(fakes.programEnd.ended);

    const app::Result<int> value = 42;
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(value.value(), 42);
    EXPECT_FALSE(value.status().has_value());

    const app::Result<int> failed = app::Failure{QStringLiteral("名簿表示"), QStringLiteral("読めません"),
                                                 platform::MessageBoxes::Icon::Critical, std::nullopt, false};
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.failure().title, QStringLiteral("名簿表示"));
    EXPECT_FALSE(app::report(fakes.services, failed.status())) << "shown, but the program goes on";
    EXPECT_EQ(fakes.messages.shown.size(), 1u);
    EXPECT_FALSE(fakes.programEnd.ended);
}
