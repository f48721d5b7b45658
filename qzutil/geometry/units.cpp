#include "qzutil/geometry/units.h"

namespace {

// Units per inch, indexed by unit code. Code 7 is written as the literal
// 2.54e-05: dividing 25.4 by 1000000 gives the neighbouring double.
constexpr double kUnitsPerInch[] = {
    1.0,                     // 0 none given
    1.0,                     // 1 inches
    25.4,                    // 2 millimetres
    1.0,                     // 3 named elsewhere
    0.08333333333333333,     // 4 feet (1/12)
    1.5782828282828283e-05,  // 5 miles (1/63360)
    0.0254,                  // 6 metres
    2.54e-05,                // 7 kilometres
    1000.0,                  // 8 mils
    25400.0,                 // 9 microns
    2.54,                    // 10 centimetres
    1000000.0,               // 11 microinches
};
constexpr std::int32_t kUnitCodes = sizeof kUnitsPerInch / sizeof kUnitsPerInch[0];

// Unknown codes convert as inches, like the two codes that name no unit.
double UnitsPerInch(std::int32_t units) {
  return units >= 0 && units < kUnitCodes ? kUnitsPerInch[units] : 1.0;
}

}  // namespace

double utl_inches_to_units(double value, std::int32_t units) {
  return value * UnitsPerInch(units);
}

double utl_units_to_inches(double value, std::int32_t units) {
  return value / UnitsPerInch(units);
}
