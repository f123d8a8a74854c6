#include "tools_export.h"

#include "output_file.h"

namespace drennix::cli {

std::string csvRecord(const std::vector<std::string>& cells)
{
    std::string record;
    bool first = true;
    for (const std::string& cell : cells) {
        if (!first) record += ',';
        first = false;
        if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            record += cell;
            continue;
        }
        record += '"';
        for (const char c : cell) {
            if (c == '"') record += '"';
            record += c;
        }
        record += '"';
    }
    return record;
}

Fault writeToolsCsv(const std::string& path, const std::optional<std::vector<ToolRow>>& rows, int decimals,
                    bool withEstimate)
{
    FileOutputStore file(path);
    if (rows) {
        std::vector<std::string> cells;
        for (int column = 0; column < toolColumnCount; ++column)
            cells.emplace_back(toolColumnTitle(column));
        file.append({}, csvRecord(cells));
        for (const ToolTableRow& row : toolTable(*rows, decimals, withEstimate))
            file.append({}, csvRecord(std::vector<std::string>(row.begin(), row.end())));
    }
    return file.publish();
}

}  // namespace drennix::cli
