// `--set NAME=VALUE`: one field of the vocabulary or the process settings,
// named by its code name and given in the form the field needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "vocabulary.h"

namespace drennix::cli {

// Applies `assignment` ("NAME=VALUE") to `settings`. A letter takes the raw
// bytes of VALUE (empty or one byte); a G-code number takes a finite decimal
// number; an integer takes a decimal integer within the limits the settings
// dialog applies when it stores that field. Returns the reason when the
// assignment is refused; `settings` is then unchanged.
std::optional<std::string> applySettingAssignment(Settings& settings, std::string_view assignment);

}  // namespace drennix::cli
