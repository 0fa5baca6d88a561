#include "sound/SoundPlayer.h"

#include "platform/DelimitedItems.h"
#include "platform/RandomSource.h"
#include "sound/SoundSet.h"

namespace sound {

namespace {
QString playCommand(const QString &file)
{
    return QStringLiteral("play ") + file + QStringLiteral(" wait");
}
} // namespace

int sendMediaCommand(SoundState &sound, platform::MediaLayer &media, const QString &command)
{
    sound.lastMediaCommand = command;
    const int result = media.sendCommand(command);
    sound.lastMediaResult = QString::number(result);
    return result;
}

app::Status playKindSound(SoundState &sound, const QString &soundFolder, Services &services, int kind)
{
    if (kind < 1 || kind > kKindCount)
        return {};
    const auto &files = sound.soundFiles[kind];
    const QString countText = files[kCountSlot].trimmed();
    if (countText.isEmpty())
        return {};
    const int count = int(platform::leadingInteger(countText, 0, kMaxFilesPerKind));
    // With no files listed the draw gives slot 1, which is empty: the command then names the sound
    // folder itself and fails, which for the answer sounds counts as a failure.
    const int slot = platform::drawOneTo(services.random, count);
    const QString file = slot >= 1 && slot <= kMaxFilesPerKind ? files[slot] : QString();
    const int result =
        sendMediaCommand(sound, services.media, playCommand(soundFolder + file + QStringLiteral(".wav")));

    if (kind != RightAnswer && kind != WrongAnswer)
        return {};
    if (result == 0) {
        sound.soundErrorCount = 0;
        return {};
    }
    if (sound.soundErrorCount < kFailuresBeforeGivingUp) {
        ++sound.soundErrorCount;
        return {};
    }
    return app::Failure{QStringLiteral("音声エラー"),
                        QStringLiteral("音声がでません。先生を呼びなさい。\r\n") +
                            services.media.errorText(result),
                        platform::MessageBoxes::Icon::Critical, kSoundFailureExitStatus, true};
}

void playFixedSound(SoundState &sound, const QString &soundFolder, Services &services,
                    const QString &fileName)
{
    sendMediaCommand(sound, services.media, playCommand(soundFolder + fileName));
}

void playVoice(SoundState &sound, Services &services)
{
    sendMediaCommand(sound, services.media, playCommand(sound.voiceFileName + QStringLiteral(".wav")));
}

} // namespace sound
