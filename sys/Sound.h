#pragma once

#include <string>

// Starts playing a wave file and returns at once. When the file is missing or unplayable the
// system's default sound plays instead; nothing is reported. Any thread.
void PlaySoundFileAsync(const std::wstring& path);

// Replaces what PlaySoundFileAsync does (nullptr restores the real player) and returns the
// previous replacement. The replacement is called on the caller's thread.
using SoundPlayer = void (*)(const std::wstring& path);
SoundPlayer SetSoundPlayerForTesting(SoundPlayer player);
