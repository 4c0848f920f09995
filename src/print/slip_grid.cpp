#include "slip_grid.h"

#include "core/number.h"
#include "settings/settings_file.h"

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

Calibration calibrationOf(const QStringList& settingsValues)
{
    return { offsetFromText(settings::value(settingsValues, settings::VerticalOffset)),
        offsetFromText(settings::value(settingsValues, settings::HorizontalOffset)) };
}

FileResult<void> storeCalibration(const QString& settingsPath, const Calibration& calibration)
{
    const QString vertical = QString::number(calibration.vertical);
    const QString horizontal = QString::number(calibration.horizontal);
    auto values = settings::readAll(settingsPath);
    if (!values)
        return std::unexpected(values.error());
    if (values->size() >= settings::kValueCount)
        return settings::rewriteCalibration(settingsPath, vertical, horizontal);
    while (values->size() < settings::kValueCount)
        values->append(QString());
    (*values)[settings::VerticalOffset - 1] = vertical;
    (*values)[settings::HorizontalOffset - 1] = horizontal;
    return settings::writeAll(settingsPath, *values);
}

} // namespace ottavario::print
