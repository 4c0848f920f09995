#pragma once

#include <optional>

namespace ottavario {

// The guarantee in points, also the reduction threshold and the code saved in
// a description file. The values are the codes.
enum class SystemType { Integrale = 8, SettePunti = 7, SeiPunti = 6, CinquePunti = 5 };

inline constexpr SystemType kDefaultSystemType = SystemType::SeiPunti;

inline int threshold(SystemType type) { return static_cast<int>(type); }
inline int code(SystemType type) { return static_cast<int>(type); }

// Factor of the progress bar's maximum, 100 + f x floor(n / 30).
int progressFactor(SystemType type);

// Index of the option button in the main window: 0 Sette, 1 Sei, 2 Cinque, 3 Integrale.
int optionIndex(SystemType type);
SystemType typeOfOption(int index);

std::optional<SystemType> typeOfCode(int code);

} // namespace ottavario
