#include "results.h"

#include <array>

#include "number_format.h"

namespace drennix {

ResultTexts formatResults(int lineCount, const RunStatistics& s, int decimals)
{
    ResultTexts r;
    r[ResultField::LineCount] = formatInteger(lineCount);
    r[ResultField::RapidDistance] = formatFixed(s.rapidDistance, decimals);
    r[ResultField::CuttingDistance] = formatFixed(s.cuttingDistance, decimals);
    r[ResultField::MinX] = formatFixed(s.minimum[AxisIndexX], decimals);
    r[ResultField::MinY] = formatFixed(s.minimum[AxisIndexY], decimals);
    r[ResultField::MinZ] = formatFixed(s.minimum[AxisIndexZ], decimals);
    r[ResultField::MaxX] = formatFixed(s.maximum[AxisIndexX], decimals);
    r[ResultField::MaxY] = formatFixed(s.maximum[AxisIndexY], decimals);
    r[ResultField::MaxZ] = formatFixed(s.maximum[AxisIndexZ], decimals);
    r[ResultField::MachiningTime] = formatFixed(s.machiningTime, 1);
    r[ResultField::ArcCount] = formatInteger(s.arcCount);
    r[ResultField::HelicalCount] = formatInteger(s.helicalCount);
    r[ResultField::RadiusDifference] = formatFixed(s.radiusDifference, decimals);
    r[ResultField::MaxRadius] = formatFixed(s.maxRadius, decimals);
    return r;
}

std::string_view resultCaption(ResultField field)
{
    static constexpr std::array<std::string_view, resultFieldCount> captions = {
        "行数：", "早送距離：", "切削距離：", "最小X：", "最小Y：", "最小Z：", "最大X：",
        "最大Y：", "最大Z：", "時間：", "円弧数：", "ﾍﾘｶﾙ切削数：", "R差：", "最大R：",
    };
    return captions[static_cast<std::size_t>(field)];
}

}  // namespace drennix
