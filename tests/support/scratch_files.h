// Files that tests and benchmarks write for the programs under test to read.
// Test programs run side by side (ctest runs several at once, and several builds
// may share one machine), so no two of them may write to the same name: each
// program writes into a folder of its own, made fresh in the system's temporary
// folder at first use and removed with everything in it when the program ends.
#ifndef TESTS_SUPPORT_SCRATCH_FILES_H
#define TESTS_SUPPORT_SCRATCH_FILES_H

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vktest {

class ScratchFolder {
public:
    static ScratchFolder& Get() {
        static ScratchFolder folder;
        return folder;
    }

    // A path in the folder that was never handed out before, ending with `name`.
    std::string NewPath(const std::string& name) {
        return (path_ / (std::to_string(++handedOut_) + "-" + name)).string();
    }

    const std::filesystem::path& Path() const { return path_; }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    ScratchFolder() {
        std::random_device random;
        const std::filesystem::path temporary = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[40];
            std::snprintf(name, sizeof name, "vk-test-%08x%08x", static_cast<unsigned>(random()),
                          static_cast<unsigned>(random()));
            path_ = temporary / name;
            // Creation fails for a folder that exists: the one made here is this program's alone.
            std::error_code error;
            if (std::filesystem::create_directory(path_, error)) return;
        }
        throw std::runtime_error("cannot make a scratch folder in " + temporary.string());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::filesystem::path path_;
    unsigned handedOut_ = 0;
};

// A new path in the program's scratch folder, ending with `name`.
inline std::string ScratchPath(const std::string& name) { return ScratchFolder::Get().NewPath(name); }

// Writes the bytes to a new scratch file and returns its path.
inline std::string WriteScratchFile(const std::string& name, const std::string& bytes) {
    const std::string path = ScratchPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

}  // namespace vktest

#endif
