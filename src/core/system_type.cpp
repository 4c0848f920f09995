#include "system_type.h"

namespace ottavario {

int progressFactor(SystemType type)
{
    switch (type) {
    case SystemType::Integrale:
        return 100;
    case SystemType::SettePunti:
        return 90;
    case SystemType::SeiPunti:
        return 10;
    case SystemType::CinquePunti:
        return 1;
    }
    return 1;
}

int optionIndex(SystemType type)
{
    switch (type) {
    case SystemType::SettePunti:
        return 0;
    case SystemType::SeiPunti:
        return 1;
    case SystemType::CinquePunti:
        return 2;
    case SystemType::Integrale:
        return 3;
    }
    return 1;
}

SystemType typeOfOption(int index)
{
    switch (index) {
    case 0:
        return SystemType::SettePunti;
    case 2:
        return SystemType::CinquePunti;
    case 3:
        return SystemType::Integrale;
    default:
        return SystemType::SeiPunti;
    }
}

std::optional<SystemType> typeOfCode(int code)
{
    if (code >= 5 && code <= 8)
        return static_cast<SystemType>(code);
    return std::nullopt;
}

} // namespace ottavario
