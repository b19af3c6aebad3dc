#include "cli/monitor_chart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/replacing_file.h"

// Layout, in SVG user units (pixels): a title and legend on top, the plot
// with the temperature axis on the left and the voltage axis on the right,
// time labels under it, then one band row per bit sharing the plot's time
// axis. Band labels take the left margin, hence its width.
namespace {

constexpr int chartWidth = 1000;
constexpr int plotLeft = 170;
constexpr int plotRight = 930;
constexpr int plotWidth = plotRight - plotLeft;
constexpr int plotTop = 56;
constexpr int plotBottom = plotTop + 300;
constexpr int bandsTop = plotBottom + 30;
constexpr int headingHeight = 20;
constexpr int rowHeight = 16;
constexpr int barHeight = 12;

const char* const temperatureColours[2] = {"#1f77b4", "#ff7f0e"};
const char* const voltageColour = "#2ca02c";
const char* const outputColour = "#4c78a8";
const char* const errorColour = "#d62728";

struct Axis {
    double lo = 0;
    double hi = 1;
    double step = 1;
    int decimals = 0;
};

// Range widened to whole steps of 1, 2 or 5 times a power of ten, about
// ticks of them. A constant series gets a range around its value, so
// scaling never divides by zero.
Axis niceAxis(double lo, double hi, int ticks)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) {
        lo = 0;
        hi = 1;
    }
    if (hi - lo < 1e-6) {
        lo -= 1;
        hi += 1;
    }
    const double raw = (hi - lo) / ticks;
    int exponent = static_cast<int>(std::floor(std::log10(raw)));
    const double magnitude = std::pow(10.0, exponent);
    const double normal = raw / magnitude;
    double multiple = 10;
    if (normal <= 1)
        multiple = 1;
    else if (normal <= 2)
        multiple = 2;
    else if (normal <= 5)
        multiple = 5;
    else
        ++exponent;
    Axis axis;
    axis.step = multiple * magnitude;
    axis.lo = std::floor(lo / axis.step) * axis.step;
    axis.hi = std::ceil(hi / axis.step) * axis.step;
    axis.decimals = std::max(0, -exponent);
    return axis;
}

// Position of v between pixels from and to; values outside the axis (and
// NaN) are pinned to its ends rather than drawn off the chart.
double scaled(const Axis& axis, double v, double from, double to)
{
    if (!(v >= axis.lo))
        v = axis.lo;
    if (v > axis.hi)
        v = axis.hi;
    return from + (v - axis.lo) / (axis.hi - axis.lo) * (to - from);
}

double xOf(const Axis& time, double seconds) { return scaled(time, seconds, plotLeft, plotRight); }

void appendEscaped(std::string& svg, const char* text)
{
    for (; *text; ++text) {
        switch (*text) {
        case '&': svg += "&amp;"; break;
        case '<': svg += "&lt;"; break;
        case '>': svg += "&gt;"; break;
        case '"': svg += "&quot;"; break;
        default: svg += *text;
        }
    }
}

void appendAttribute(std::string& svg, const char* name, double value)
{
    svg += ' ';
    svg += name;
    svg += "=\"";
    appendFixed(svg, value, 1);
    svg += '"';
}

// extra holds further attributes and markup further content, both written
// as given.
void appendText(std::string& svg, double x, double y, const char* anchor, const std::string& text,
                const char* extra = "", const char* markup = "")
{
    svg += "<text";
    appendAttribute(svg, "x", x);
    appendAttribute(svg, "y", y);
    svg += " text-anchor=\"";
    svg += anchor;
    svg += '"';
    svg += extra;
    svg += '>';
    appendEscaped(svg, text.c_str());
    svg += markup;
    svg += "</text>\n";
}

void appendLine(std::string& svg, double x1, double y1, double x2, double y2, const char* stroke)
{
    svg += "<line";
    appendAttribute(svg, "x1", x1);
    appendAttribute(svg, "y1", y1);
    appendAttribute(svg, "x2", x2);
    appendAttribute(svg, "y2", y2);
    svg += " stroke=\"";
    svg += stroke;
    svg += "\"/>\n";
}

void appendRect(std::string& svg, double x, double y, double width, double height)
{
    svg += "<rect";
    appendAttribute(svg, "x", x);
    appendAttribute(svg, "y", y);
    appendAttribute(svg, "width", width);
    appendAttribute(svg, "height", height);
    svg += "/>\n";
}

std::string tickText(const Axis& axis, double v)
{
    std::string text;
    appendFixed(text, v, axis.decimals);
    return text;
}

// Calls tick(value) for every whole step inside the axis.
template <class Tick>
void forEachTick(const Axis& axis, Tick tick)
{
    const long long first = std::llround(axis.lo / axis.step);
    const long long last = static_cast<long long>(std::floor(axis.hi / axis.step + 1e-9));
    for (long long i = first; i <= last && i - first <= 100; ++i)
        tick(static_cast<double>(i) * axis.step);
}

// The temperatures in the unit of the first sample, so a change of the
// unit's setting mid-session does not put both scales on one axis.
double temperatureIn(const MonitorSample& s, int i, bool fahrenheit)
{
    const double t = s.temperature[i];
    if (s.fahrenheit == fahrenheit)
        return t;
    return fahrenheit ? t * 9 / 5 + 32 : (t - 32) * 5 / 9;
}

// One series as a polyline with at most two points per pixel column: the
// column's lowest and highest value in the order they came, so that a short
// spike in a long session stays visible while the file stays small.
template <class Value>
void appendSeries(std::string& svg, const std::vector<MonitorSample>& samples, const Axis& time,
                  const Axis& values, const char* colour, Value value)
{
    std::string points;
    int pointCount = 0;
    int column = -1;
    double low = 0, high = 0;
    std::size_t lowAt = 0, highAt = 0;
    auto addPoint = [&](double v) {
        appendFixed(points, plotLeft + column + 0.5, 1);
        points += ',';
        appendFixed(points, scaled(values, v, plotBottom, plotTop), 1);
        points += ' ';
        ++pointCount;
    };
    auto flush = [&] {
        if (column < 0)
            return;
        addPoint(lowAt <= highAt ? low : high);
        if (low != high)
            addPoint(lowAt <= highAt ? high : low);
    };
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double v = value(samples[i]);
        if (!std::isfinite(v))
            continue;
        const int c = std::clamp(static_cast<int>(xOf(time, samples[i].seconds)) - plotLeft, 0, plotWidth - 1);
        if (c != column) {
            flush();
            column = c;
            low = high = v;
            lowAt = highAt = i;
        } else if (v < low) {
            low = v;
            lowAt = i;
        } else if (v > high) {
            high = v;
            highAt = i;
        }
    }
    flush();
    if (pointCount == 0)
        return;
    if (!points.empty())
        points.pop_back();
    if (pointCount == 1) {
        // A lone point draws nothing as a polyline.
        const std::size_t comma = points.find(',');
        svg += "<circle cx=\"" + points.substr(0, comma) + "\" cy=\"" + points.substr(comma + 1) + "\" r=\"2\" fill=\"";
        svg += colour;
        svg += "\"/>\n";
        return;
    }
    svg += "<polyline fill=\"none\" stroke-width=\"1.2\" stroke=\"";
    svg += colour;
    svg += "\" points=\"";
    svg += points;
    svg += "\"/>\n";
}

// One band row: the intervals where isSet holds as rectangles in a group
// with id "band-<id>". A bit holds from its answer until the next one. A
// rectangle is drawn at least a pixel wide, and one starting within a pixel
// of the previous one's drawn end joins it, so a band has at most one
// rectangle per two pixel columns however long the session.
template <class IsSet>
void appendBand(std::string& svg, const std::vector<MonitorSample>& samples, const Axis& time, int top,
                const char* id, const char* label, const char* fill, IsSet isSet)
{
    appendText(svg, 8, top + barHeight - 2, "start", label);
    svg += "<rect fill=\"#f2f2f2\"";
    appendAttribute(svg, "x", plotLeft);
    appendAttribute(svg, "y", top);
    appendAttribute(svg, "width", plotWidth);
    appendAttribute(svg, "height", barHeight);
    svg += "/>\n<g id=\"band-";
    svg += id;
    svg += "\" fill=\"";
    svg += fill;
    svg += "\">\n";
    bool open = false;
    double from = 0, to = 0;
    auto emit = [&] {
        const double width = std::max(to - from, 1.0);
        appendRect(svg, std::min(from, plotRight - width), top, width, barHeight);
    };
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!isSet(samples[i]))
            continue;
        const double start = xOf(time, samples[i].seconds);
        const double end = i + 1 < samples.size() ? xOf(time, samples[i + 1].seconds) : start;
        if (open && start < std::max(to, from + 1) + 1) {
            to = std::max(to, end);
            continue;
        }
        if (open)
            emit();
        open = true;
        from = start;
        to = end;
    }
    if (open)
        emit();
    svg += "</g>\n";
}

void appendHeader(std::string& svg, int height)
{
    const std::string w = std::to_string(chartWidth);
    const std::string h = std::to_string(height);
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\""
           " width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h
         + "\" font-family=\"sans-serif\" font-size=\"11\">\n<rect x=\"0\" y=\"0\" width=\"" + w + "\" height=\"" + h
         + "\" fill=\"white\"/>\n";
}

void appendLegendEntry(std::string& svg, double x, const char* colour, const std::string& text,
                       const char* unit)
{
    appendLine(svg, x, 38, x + 20, 38, colour);
    appendText(svg, x + 26, 42, "start", text, "", unit);
}

template <class Value>
void widen(double& lo, double& hi, const std::vector<MonitorSample>& samples, Value value)
{
    for (const MonitorSample& s : samples) {
        const double v = value(s);
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
}

} // namespace

std::string monitorChartSvg(Family family, const std::vector<MonitorSample>& samples)
{
    const std::string title = std::string(familyName(family)) + " monitor";
    std::string svg;
    if (samples.empty()) {
        appendHeader(svg, 80);
        appendText(svg, 20, 24, "start", title, " font-size=\"14\"");
        appendText(svg, 20, 56, "start", "No data: no answer was recorded.");
        svg += "</svg>\n";
        return svg;
    }

    const auto outputs = monitorOutputBits(family);
    const auto errors = monitorErrorBits(family);
    const int outputsTop = bandsTop + headingHeight;
    const int errorsTop = outputsTop + static_cast<int>(outputs.size() + 1) * rowHeight + headingHeight;
    const int bandsBottom = errorsTop + static_cast<int>(errors.size()) * rowHeight;
    appendHeader(svg, bandsBottom + 8);

    const bool fahrenheit = samples.front().fahrenheit;
    auto temperature = [fahrenheit](int i) {
        return [fahrenheit, i](const MonitorSample& s) { return temperatureIn(s, i, fahrenheit); };
    };
    auto voltage = [](const MonitorSample& s) { return static_cast<double>(s.mainsVoltage); };
    auto seconds = [](const MonitorSample& s) { return s.seconds; };

    double first = HUGE_VAL, last = -HUGE_VAL;
    widen(first, last, samples, seconds);
    Axis time = niceAxis(first, std::max(last, first + 1), 10);
    // Time ends with the session, not at the next whole step.
    time.hi = std::max(last, first + 1);
    double tLo = HUGE_VAL, tHi = -HUGE_VAL, vLo = HUGE_VAL, vHi = -HUGE_VAL;
    widen(tLo, tHi, samples, temperature(0));
    widen(tLo, tHi, samples, temperature(1));
    widen(vLo, vHi, samples, voltage);
    const Axis degrees = niceAxis(tLo, tHi, 6);
    const Axis volts = niceAxis(vLo, vHi, 6);

    std::string heading = title + ": " + std::to_string(samples.size())
                        + (samples.size() == 1 ? " sample over " : " samples over ");
    appendFixed(heading, std::isfinite(last - first) ? last - first : 0, 1);
    heading += " s";
    appendText(svg, 20, 22, "start", heading, " font-size=\"14\"");
    // The degree sign as a character reference: the build turns literal
    // texts into Windows-1252, the file is UTF-8.
    const char* const unit = fahrenheit ? " (&#176;F)" : " (&#176;C)";
    const char* const names[2] = {family == Family::m ? "Water" : "Evaporator", "Room"};
    for (int i = 0; i < 2; ++i)
        appendLegendEntry(svg, plotLeft + 220 * i, temperatureColours[i], names[i], unit);
    appendLegendEntry(svg, plotLeft + 440, voltageColour, "Mains voltage", " (V)");

    // Grid and axes: temperature ticks left, voltage ticks right, time
    // lines down through the bands so these can be read against the plot.
    forEachTick(degrees, [&](double v) {
        const double y = scaled(degrees, v, plotBottom, plotTop);
        appendLine(svg, plotLeft, y, plotRight, y, "#dddddd");
        appendText(svg, plotLeft - 6, y + 4, "end", tickText(degrees, v));
    });
    const std::string voltageFill = std::string(" fill=\"") + voltageColour + "\"";
    forEachTick(volts, [&](double v) {
        appendText(svg, plotRight + 6, scaled(volts, v, plotBottom, plotTop) + 4, "start", tickText(volts, v),
                   voltageFill.c_str());
    });
    forEachTick(time, [&](double v) {
        const double x = xOf(time, v);
        appendLine(svg, x, plotTop, x, bandsBottom, "#eeeeee");
        appendText(svg, x, plotBottom + 16, "middle", tickText(time, v));
    });
    appendText(svg, plotLeft - 16, plotBottom + 16, "end", "Time (s)");
    svg += "<rect fill=\"none\" stroke=\"#888888\"";
    appendAttribute(svg, "x", plotLeft);
    appendAttribute(svg, "y", plotTop);
    appendAttribute(svg, "width", plotWidth);
    appendAttribute(svg, "height", plotBottom - plotTop);
    svg += "/>\n";

    appendSeries(svg, samples, time, degrees, temperatureColours[0], temperature(0));
    appendSeries(svg, samples, time, degrees, temperatureColours[1], temperature(1));
    appendSeries(svg, samples, time, volts, voltageColour, voltage);

    appendText(svg, 8, outputsTop - 6, "start", "Outputs", " font-weight=\"bold\"");
    appendBand(svg, samples, time, outputsTop, "on", "Switched on", outputColour,
               [](const MonitorSample& s) { return s.switchedOn; });
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        const std::uint32_t mask = 1u << outputs[k].bit;
        appendBand(svg, samples, time, outputsTop + static_cast<int>(k + 1) * rowHeight, outputs[k].column,
                   outputs[k].label, outputColour, [mask](const MonitorSample& s) { return (s.outputs & mask) != 0; });
    }
    appendText(svg, 8, errorsTop - 6, "start", "Errors", " font-weight=\"bold\"");
    for (std::size_t k = 0; k < errors.size(); ++k) {
        const std::uint32_t mask = 1u << errors[k].bit;
        appendBand(svg, samples, time, errorsTop + static_cast<int>(k) * rowHeight, errors[k].column,
                   errors[k].label, errorColour, [mask](const MonitorSample& s) { return (s.errorBits & mask) != 0; });
    }
    svg += "</svg>\n";
    return svg;
}

bool writeMonitorChart(const std::filesystem::path& path, Family family, const std::vector<MonitorSample>& samples)
{
    const std::string svg = monitorChartSvg(family, samples);
    ReplacingFile file;
    if (!beginReplacingFile(file, path))
        return false;
    if (!writeLine(file, svg.data(), svg.size())) {
        abandonReplacingFile(file);
        return false;
    }
    return finishReplacingFile(file);
}
