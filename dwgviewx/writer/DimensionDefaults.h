#pragma once
// The dimension settings every file starts with, shared by the header variables and
// the "Standard" dimension style so the two never disagree.
#include <cstdint>

namespace dwg::writer::dimdefaults {

// DIMSCALE DIMASZ DIMEXO DIMDLI DIMEXE DIMRND DIMDLE DIMTP DIMTM
inline constexpr double kSizes[9] = {1.0, 0.18, 0.0625, 0.38, 0.18, 0.0, 0.0, 0.0, 0.0};
// DIMTXT DIMCEN DIMTSZ DIMALTF DIMLFAC DIMTVP DIMTFAC DIMGAP
inline constexpr double kText[8] = {0.18, 0.09, 0.0, 25.4, 1.0, 0.0, 1.0, 0.09};
// DIMADEC DIMDEC DIMTDEC DIMALTU DIMALTTD DIMAUNIT DIMFRAC DIMLUNIT DIMDSEP DIMTMOVE DIMJUST
inline constexpr std::int16_t kShorts[11] = {0, 4, 4, 2, 2, 0, 0, 2, '.', 0, 0};

}  // namespace dwg::writer::dimdefaults
