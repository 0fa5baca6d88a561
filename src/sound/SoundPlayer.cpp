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

int sendMediaCommand(AppState &state, Services &services, const QString &command)
{
    state.sound.lastMediaCommand = command;
    const int result = services.media.sendCommand(command);
    state.sound.lastMediaResult = QString::number(result);
    return result;
}

void playKindSound(AppState &state, Services &services, int kind)
{
    if (kind < 1 || kind > kKindCount)
        return;
    const auto &files = state.sound.soundFiles[kind];
    const QString countText = files[kCountSlot].trimmed();
    if (countText.isEmpty())
        return;
    const int count = int(platform::leadingInteger(countText, 0, kMaxFilesPerKind));
    // With no files listed the draw gives slot 1, which is empty: the command then names the sound
    // folder itself and fails, which for the answer sounds counts as a failure.
    const int slot = platform::drawOneTo(services.random, count);
    const QString file = slot >= 1 && slot <= kMaxFilesPerKind ? files[slot] : QString();
    const int result = sendMediaCommand(
        state, services, playCommand(state.settings.soundFolder + file + QStringLiteral(".wav")));

    if (kind != RightAnswer && kind != WrongAnswer)
        return;
    if (result == 0) {
        state.sound.soundErrorCount = 0;
        return;
    }
    if (state.sound.soundErrorCount < kFailuresBeforeGivingUp) {
        ++state.sound.soundErrorCount;
        return;
    }
    services.messages.showFatal(QStringLiteral("音声エラー"),
                           QStringLiteral("音声がでません。先生を呼びなさい。\r\n") +
                               services.media.errorText(result),
                           platform::MessageBoxes::Icon::Critical);
    services.programEnd.endProgram(kSoundFailureExitStatus);
}

void playFixedSound(AppState &state, Services &services, const QString &fileName)
{
    sendMediaCommand(state, services, playCommand(state.settings.soundFolder + fileName));
}

void playVoice(AppState &state, Services &services)
{
    sendMediaCommand(state, services, playCommand(state.sound.voiceFileName + QStringLiteral(".wav")));
}

} // namespace sound
