#include "config/temperature_conversion.h"

namespace {

// Rounding step from the next decimal digit of the result (its sign is that
// of the value), downward only when both directions apply.
int roundingStep(int nextDigit, bool bothDirections)
{
    if (nextDigit > 5)
        return 1;
    if (bothDirections && nextDigit < -5)
        return -1;
    return 0;
}

int toFahrenheit(int celsius, bool bothDirections)
{
    return 32 + 9 * celsius / 5 + roundingStep(18 * celsius % 10, bothDirections);
}

// Only the first tenth of 5 * (F - 32) / 9 is looked at, so x.5 to x.59
// rounds down.
int toCelsius(int fahrenheit, bool bothDirections)
{
    const int delta = fahrenheit - 32;
    return 5 * delta / 9 + roundingStep(50 * delta / 9 % 10, bothDirections);
}

} // namespace

int temperatureToFahrenheit(int celsius) { return toFahrenheit(celsius, true); }
int temperatureToCelsius(int fahrenheit) { return toCelsius(fahrenheit, true); }
int setTemperatureToFahrenheit(int celsius) { return toFahrenheit(celsius, false); }
int setTemperatureToCelsius(int fahrenheit) { return toCelsius(fahrenheit, false); }

int differenceToFahrenheit(int tenthsC)
{
    return 9 * tenthsC / 5 + roundingStep(18 * tenthsC % 10, false);
}

int differenceToCelsius(int tenthsF)
{
    return 5 * tenthsF / 9 + roundingStep(50 * tenthsF / 9 % 10, false);
}

int calibrationToFahrenheit(int tenthsC) { return 9 * tenthsC / 5; }
int calibrationToCelsius(int tenthsF) { return 5 * tenthsF / 9; }
