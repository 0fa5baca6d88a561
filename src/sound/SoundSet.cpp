#include "sound/SoundSet.h"

#include "platform/DelimitedItems.h"
#include "platform/TextFile.h"

#include <QFileInfo>

namespace sound {

namespace {
const char16_t *const kKindNames[kKindCount + 1] = {
    u"",        u"正解音1",     u"正解音2",     u"間違い音1",   u"間違い音2", u"最高音1",
    u"最高音2", u"自己最高音1", u"自己最高音2", u"自己最高音3", u"不合格音1",
};

int kindOf(const QString &name)
{
    for (int kind = 1; kind <= kKindCount; ++kind) {
        if (name == QStringView(kKindNames[kind]))
            return kind;
    }
    return 0;
}
} // namespace

QString kindName(int kind)
{
    if (kind < 1 || kind > kKindCount)
        return {};
    return QString::fromUtf16(kKindNames[kind]);
}

QString soundSetPath(const QString &soundFolder)
{
    return soundFolder + QString::fromUtf16(kSoundSetFileName);
}

SoundTable parseSoundSet(const QString &text)
{
    SoundTable table{};
    for (int kind = 1; kind <= kKindCount; ++kind)
        table[kind][0] = kindName(kind);
    platform::DelimitedItemReader reader(text);
    platform::Item item;
    int kind = 0; // the kind whose group is being read, 0 between groups
    int files = 0;
    // An empty line is an empty item (a file name, inside a group); the empty lines after the last
    // item are none.
    while (!reader.atEnd() && reader.next(&item)) {
        if (kind == 0) {
            kind = kindOf(item.text);
            files = 0;
            continue;
        }
        if (item.text == QStringLiteral("*")) {
            table[kind][kCountSlot] = QString::number(files);
            kind = 0;
        } else if (files < kMaxFilesPerKind) {
            table[kind][++files] = item.text;
        } else {
            // A twenty-first name: the group is too long, keeps its twenty names and gets no count, and
            // this item is read as a kind name again. (Twenty names and "*" make a complete group.)
            kind = kindOf(item.text);
            files = 0;
        }
    }
    return table;
}

app::Status loadSoundSet(app::PathsAndSettings &settings, SoundState &sound)
{
    ++settings.fileNumber;
    const QString path = soundSetPath(settings.soundFolder);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return app::Failure{.text = QStringLiteral("効果音の一覧の場所にあるのはファイルではありません：%1")
                                        .arg(platform::displayPath(path))};
    if (info.exists() && info.size() > kMaxSoundSetBytes)
        return app::Failure{
            .text = QStringLiteral("効果音の一覧 %1 が大きすぎます（%2 バイト。%3 バイトまでです）。")
                        .arg(platform::displayPath(path), QString::number(info.size()),
                             QString::number(kMaxSoundSetBytes))};
    const app::Result<QString> text = platform::readText932(path);
    if (!text)
        return app::Failure{.text = QStringLiteral("効果音の一覧を読めません。") + text.failure().text};
    sound.soundFiles = parseSoundSet(text.value());
    return {};
}

} // namespace sound
