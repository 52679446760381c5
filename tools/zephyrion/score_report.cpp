#include "tools/zephyrion/score_report.h"

#include "tools/zephyrion/event_json.h"

#include <cstdio>

namespace zcli {
namespace {

template <typename... Values> std::string formatted(const char* format, Values... values) {
    char text[256];
    const int length = std::snprintf(text, sizeof text, format, values...);
    return std::string(text, static_cast<std::size_t>(length));
}

double milliseconds(double seconds) {
    return seconds * 1000.0;
}

std::string joined(const std::vector<std::string>& names, const char* separator, bool quoted) {
    std::string list;
    for (const std::string& name : names) {
        list.append(list.empty() ? "" : separator).append(quoted ? jsonString(name) : name);
    }
    return list;
}

} // namespace

std::string scoreLines(const ScoreReport& report) {
    std::string text;
    for (std::size_t band = 0; band < report.bands.size(); ++band) {
        const std::string& name = report.bands[band].name;
        const BandScore& score = report.score.bands[band];
        text += report.inputs[band] + (name.empty() ? "" : " [" + name + "]") + " against " +
                report.reference +
                formatted(": %d true hit%s, %d note%s\n", score.hits, score.hits == 1 ? "" : "s", score.notes,
                          score.notes == 1 ? "" : "s");
        for (const ToleranceScore& tolerance : score.tolerances) {
            text +=
                formatted("  within %.0f ms: %d found, %d missed, %d false; precision %.3f, recall %.3f, "
                          "F %.3f\n",
                          milliseconds(tolerance.tolerance), tolerance.found, tolerance.missed,
                          tolerance.falseNotes, tolerance.precision, tolerance.recall, tolerance.fMeasure);
        }
        if (score.offsets) {
            text += formatted("  timing within %.0f ms: median offset %+.2f ms (note minus hit), 95th "
                              "percentile of |offset| %.2f ms\n",
                              milliseconds(kScoreTolerances[0]), milliseconds(score.offsets->median),
                              milliseconds(score.offsets->absolute95));
        }
    }
    const Assignment& assignment = report.score.assignment;
    if (assignment.unassigned > 0) {
        text += report.reference +
                formatted(": %d of %d reference hits name no band (", assignment.unassigned,
                          report.score.referenceHits) +
                joined(assignment.unassignedNames, ", ", false) + ")\n";
    }
    return text;
}

std::string scoreJson(const ScoreReport& report) {
    const Assignment& assignment = report.score.assignment;
    std::string json = "{\"reference\":" + jsonString(report.reference) +
                       formatted(",\"sampleRate\":%.0f,\"referenceHits\":%d,\"unassignedHits\":%d",
                                 report.sampleRate, report.score.referenceHits, assignment.unassigned) +
                       ",\"unassignedNames\":[" + joined(assignment.unassignedNames, ",", true) +
                       "],\"bands\":[";
    for (std::size_t band = 0; band < report.bands.size(); ++band) {
        const ScoredBand& scored = report.bands[band];
        const BandScore& score = report.score.bands[band];
        json += band == 0 ? "{" : ",{";
        json += "\"input\":" + jsonString(report.inputs[band]);
        json += ",\"band\":" + (scored.name.empty() ? std::string("null") : jsonString(scored.name));
        json += ",\"note\":" + (scored.note ? std::to_string(*scored.note) : std::string("null"));
        json += formatted(",\"hits\":%d,\"notes\":%d,\"tolerances\":[", score.hits, score.notes);
        for (const ToleranceScore& tolerance : score.tolerances) {
            json +=
                formatted("%s{\"toleranceMs\":%.0f,\"found\":%d,\"missed\":%d,\"false\":%d,"
                          "\"precision\":%.6f,\"recall\":%.6f,\"fMeasure\":%.6f}",
                          &tolerance == &score.tolerances.front() ? "" : ",",
                          milliseconds(tolerance.tolerance), tolerance.found, tolerance.missed,
                          tolerance.falseNotes, tolerance.precision, tolerance.recall, tolerance.fMeasure);
        }
        json += "],\"offsetsMs\":";
        json += score.offsets ? formatted("{\"matched\":%d,\"median\":%.4f,\"absolute95\":%.4f}",
                                          score.offsets->matched, milliseconds(score.offsets->median),
                                          milliseconds(score.offsets->absolute95))
                              : std::string("null");
        json += "}";
    }
    return json + "]}\n";
}

} // namespace zcli
