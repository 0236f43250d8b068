// native.h -- what each operating system's half of the platform (platform_linux.cpp,
// platform_windows.cpp) gives the parts shared by both (platform_shared.cpp,
// sound_library.cpp). Private to platform/.
#pragma once

#include <cstdint>
#include <string>

void nativeSleepNs(int64_t ns);                // as exact as the system allows; nothing if ns <= 0
void nativeSleepMilliseconds(uint32_t ms);     // the system's own sleep call
void quietNativeSoundErrors(bool quiet);       // around the sound library's start-up
std::string nativeFilePath(const char* path);  // a path written with '\' as the system takes it
