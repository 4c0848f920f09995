#include "slip_grid.h"

#include "core/number.h"

#include <algorithm>

namespace ottavario::print {

QPoint cellPosition(const Calibration& calibration, int line, int row)
{
    return { calibration.horizontal + kLinePositions[line - 1],
        calibration.vertical + kRowPositions[row - 1] };
}

int offsetFromText(QStringView text)
{
    return static_cast<int>(std::clamp<long long>(readWholeNumber(text), 0, kMaxOffset));
}

Calibration calibrationOf(const Settings& settings)
{
    return { offsetFromText(settings.verticalOffset), offsetFromText(settings.horizontalOffset) };
}

FileResult<void> storeCalibration(const QString& settingsPath, const Calibration& calibration)
{
    auto settings = readSettings(settingsPath);
    if (!settings)
        return std::unexpected(settings.error());
    settings->verticalOffset = QString::number(calibration.vertical);
    settings->horizontalOffset = QString::number(calibration.horizontal);
    return writeSettings(settingsPath, *settings);
}

} // namespace ottavario::print
