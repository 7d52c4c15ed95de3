#include "program_time.h"

#include <cmath>
#include <cstdio>

#include "optimizer/distance.h"
#include "twcycle/drill/drill_file.h"

namespace twcycle::drill::gcode {
namespace {

// The length of a move; an axis still unknown at its start does not move.
double moveLength(const ProgramMove& move) {
    auto delta = [](const std::optional<std::int64_t>& from, const std::optional<std::int64_t>& to) {
        return from && to ? planeValue(*to) - planeValue(*from) : 0.0;
    };
    const double plane = tw::exactHypot(delta(move.from.x, move.to.x), delta(move.from.y, move.to.y));
    return tw::exactHypot(plane, delta(move.from.z, move.to.z));
}

}  // namespace

ProgramTime programTime(const ProgramReading& reading, const MachineSettings& settings, std::size_t sectionCount) {
    ProgramTime time;
    time.sections.assign(sectionCount, 0.0);
    const double rapid = planeValue(settings.rapidRate);
    for (const ProgramMove& move : reading.moves) {
        const double rate = move.rapid ? rapid : planeValue(move.feed);
        if (!(rate > 0.0)) continue;
        const double minutes = moveLength(move) / rate;
        time.total += minutes;
        if (move.section >= 1 && move.section <= sectionCount) time.sections[move.section - 1] += minutes;
    }
    time.total += reading.dwellSeconds / 60.0;
    return time;
}

std::string durationText(double minutes) {
    if (!std::isfinite(minutes) || minutes < 0.0) return "-";
    char text[64];
    const double seconds = minutes * 60.0;
    if (seconds < 60.0) {
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    } else if (seconds < 3600.0) {
        const double whole = std::floor(seconds / 60.0);
        std::snprintf(text, sizeof text, "%.0f min %04.1f s", whole, seconds - whole * 60.0);
    } else {
        const double rounded = std::round(seconds);
        const double hours = std::floor(rounded / 3600.0);
        const double mins = std::floor((rounded - hours * 3600.0) / 60.0);
        std::snprintf(text, sizeof text, "%.0f h %02.0f min %02.0f s", hours, mins, rounded - hours * 3600.0 - mins * 60.0);
    }
    return text;
}

}  // namespace twcycle::drill::gcode
