#include "sys/Sound.h"

#include <windows.h>

#include <mmsystem.h>

#include <atomic>

namespace {

std::atomic<SoundPlayer> g_player{nullptr};

}  // namespace

void PlaySoundFileAsync(const std::wstring& path) {
  if (SoundPlayer player = g_player.load()) {
    player(path);
    return;
  }
  // Without SND_NODEFAULT, so that a missing file still gives the user the default sound.
  PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

SoundPlayer SetSoundPlayerForTesting(SoundPlayer player) {
  return g_player.exchange(player);
}
