#include "scratch_folder.h"

#include <stdlib.h>  // mkdtemp

#include <cerrno>
#include <string>
#include <system_error>

namespace drennix::bench {

ScratchFolder::ScratchFolder(std::string_view prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::filesystem::filesystem_error("cannot create a scratch folder", pattern,
                                                std::error_code(errno, std::generic_category()));
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace drennix::bench
