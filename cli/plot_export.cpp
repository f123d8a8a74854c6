#include "plot_export.h"

#include <filesystem>
#include <system_error>

#include "file_names.h"
#include "output_file.h"
#include "svg_picture.h"

namespace drennix::cli {

std::optional<std::string> refuseExistingPlot(const std::string& path)
{
    std::error_code error;
    // A dangling link counts as taken too: publishing would not replace it.
    const auto status = std::filesystem::symlink_status(pathFromUtf8(path), error);
    if (status.type() == std::filesystem::file_type::not_found) return std::nullopt;
    return "drennix-cli: --plot " + path + ": the file exists and is not replaced";
}

std::optional<std::string> writePlot(const toolpath::ToolpathStore& store, const std::string& path,
                                     toolpath::ViewDirection view, int decimals, const std::atomic<bool>& stop)
{
    FileOutputStore file(path);
    if (!toolpath::writeSvgPicture(store, view, decimals, file, {}, &stop)) {
        file.discard();
        return "drennix-cli: --plot " + path + ": not written: interrupted";
    }
    if (file.publish()) {
        file.discard();
        return "drennix-cli: --plot " + path + ": the picture could not be written";
    }
    return std::nullopt;
}

}  // namespace drennix::cli
