// A per-process scratch file for fuzz targets that must go through a real file (in memory where
// the system has /dev/shm); it is removed when the fuzzer exits.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& ScratchPath(const char* stem, const char* extension) {
    static const std::string path = [&] {
        const std::string dir =
            std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path().string();
        static std::string removed;
        removed = dir + "/kestrum_fuzz_" + stem + "_" + std::to_string(::getpid()) + extension;
        std::atexit([] { std::remove(removed.c_str()); });
        return removed;
    }();
    return path;
}
