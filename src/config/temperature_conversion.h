#pragma once

// Every temperature is stored as a °C copy and a °F copy; the copy of the
// unit shown is the source and these rules derive the other one. Integer
// arithmetic only: C++ division truncates toward zero and % keeps the sign of
// the dividend, which is exactly what the rules ask for.

// Absolute temperatures in whole degrees (switching and water temperatures):
// 1.8 * C rounded, with a rounding step in both directions.
int temperatureToFahrenheit(int celsius);
int temperatureToCelsius(int fahrenheit);

// The set temperature: as above, but only the upward step (its ranges are
// positive).
int setTemperatureToFahrenheit(int celsius);
int setTemperatureToCelsius(int fahrenheit);

// Differences in tenths (hysteresis, compressor offsets): no offset, upward
// rounding step only.
int differenceToFahrenheit(int tenthsC);
int differenceToCelsius(int tenthsF);

// Sensor calibration in signed tenths: no rounding at all.
int calibrationToFahrenheit(int tenthsC);
int calibrationToCelsius(int tenthsF);
