#include "tools/zephyrion/reference_hits.h"

#include "tools/common/errors.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/text.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace zcli {
namespace {

// A reason for one line; the caller adds the file and line number.
struct LineError {
    std::string reason;
};

// Blanks, tabs and the carriage returns of Windows line ends all go.
std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    const std::size_t last = text.find_last_not_of(" \t\r");
    return first == std::string_view::npos ? std::string()
                                           : std::string(text.substr(first, last - first + 1));
}

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

template <typename Number> bool parsed(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

void setTime(ReferenceHit& hit, bool inSamples, std::string_view text) {
    hit.inSamples = inSamples;
    if (inSamples ? !parsed(text, hit.sample) || hit.sample < 0
                  : !parsed(text, hit.seconds) || !std::isfinite(hit.seconds) || hit.seconds < 0.0) {
        throw LineError{quoted(text) + " is not a time in " +
                        (inSamples ? "samples (a whole number from 0)" : "seconds (a number from 0)")};
    }
}

void setNote(ReferenceHit& hit, std::string_view text) {
    if (parsed(text, hit.note)) {
        if (hit.note < 0 || hit.note > 127) {
            throw LineError{quoted(text) + " is not a MIDI note 0..127"};
        }
        return;
    }
    try {
        hit.note = parseNoteNumber(text);
    } catch (const UsageError&) {
        throw LineError{quoted(text) + " is not a note: use a MIDI note 0..127 or a name C0..C8 such as C1"};
    }
}

void setInstrument(ReferenceHit& hit, std::string_view text) {
    hit.instrument = trimmed(text);
    if (hit.instrument.empty()) {
        throw LineError{"the instrument has no name"};
    }
}

// CSV: the header fixes what the two columns hold for the whole file.
struct CsvColumns {
    bool inSamples = false;
    bool byInstrument = false;
};

std::vector<std::string> fieldsOf(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',', from)) {
        fields.push_back(trimmed(line.substr(from, comma - from)));
        from = comma + 1;
    }
    fields.push_back(trimmed(line.substr(from)));
    return fields;
}

CsvColumns csvHeader(std::string_view line) {
    const std::vector<std::string> fields = fieldsOf(line);
    const auto is = [&](std::size_t at, std::string_view name) { return sameName(fields[at], name); };
    if (fields.size() != 2 || !(is(0, "seconds") || is(0, "sample")) ||
        !(is(1, "note") || is(1, "instrument"))) {
        throw LineError{"the first line must name the columns: seconds or sample, then note or instrument "
                        "(e.g. seconds,note)"};
    }
    return {is(0, "sample"), is(1, "instrument")};
}

ReferenceHit csvHit(std::string_view line, const CsvColumns& columns) {
    const std::vector<std::string> fields = fieldsOf(line);
    if (fields.size() != 2) {
        throw LineError{"expected 2 fields (" + std::string(columns.inSamples ? "sample" : "seconds") + "," +
                        (columns.byInstrument ? "instrument" : "note") + "), found " +
                        std::to_string(fields.size())};
    }
    ReferenceHit hit;
    setTime(hit, columns.inSamples, fields[0]);
    if (columns.byInstrument) {
        setInstrument(hit, fields[1]);
    } else {
        setNote(hit, fields[1]);
    }
    return hit;
}

// Just enough JSON for one flat object of strings and numbers a line.
class JsonLine {
public:
    explicit JsonLine(std::string_view text) : text_(text) {}

    ReferenceHit hit() {
        ReferenceHit hit;
        bool hasTime = false;
        bool hasDrum = false;
        expect('{');
        if (!take('}')) {
            do {
                const std::string key = string();
                expect(':');
                const bool isString = peek() == '"';
                const std::string value = isString ? string() : number();
                const bool time = key == "seconds" || key == "sample";
                const bool drum = key == "note" || key == "instrument";
                if (!time && !drum) {
                    throw LineError{"unknown key \"" + key +
                                    "\"; a hit has \"seconds\" or \"sample\", and "
                                    "\"note\" or \"instrument\""};
                }
                if ((time && hasTime) || (drum && hasDrum)) {
                    throw LineError{"a second time or drum in \"" + key + "\""};
                }
                if (time) {
                    setTime(hit, key == "sample", isString ? "\"" + value + "\"" : value);
                } else if (key == "note") {
                    setNote(hit, value);
                } else if (isString) {
                    setInstrument(hit, value);
                } else {
                    throw LineError{"\"instrument\" must be a name in quotes"};
                }
                (time ? hasTime : hasDrum) = true;
            } while (take(','));
            expect('}');
        }
        skipBlanks();
        if (at_ != text_.size()) {
            throw LineError{"text after the object"};
        }
        if (!hasTime || !hasDrum) {
            throw LineError{"a hit needs \"seconds\" or \"sample\", and \"note\" or \"instrument\""};
        }
        return hit;
    }

private:
    void skipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    char peek() {
        skipBlanks();
        return at_ < text_.size() ? text_[at_] : '\0';
    }

    bool take(char wanted) {
        if (peek() != wanted) {
            return false;
        }
        ++at_;
        return true;
    }

    void expect(char wanted) {
        if (!take(wanted)) {
            throw LineError{std::string("not a JSON object: expected '") + wanted + "' at column " +
                            std::to_string(at_ + 1)};
        }
    }

    std::string string() {
        expect('"');
        std::string value;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) {
                ++at_;
            }
            value.push_back(text_[at_++]);
        }
        expect('"');
        return value;
    }

    std::string number() {
        const std::size_t from = at_;
        while (at_ < text_.size() &&
               std::string_view("+-.0123456789eE").find(text_[at_]) != std::string_view::npos) {
            ++at_;
        }
        if (at_ == from) {
            throw LineError{"a value must be a number or a string, at column " + std::to_string(at_ + 1)};
        }
        return std::string(text_.substr(from, at_ - from));
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

std::vector<ReferenceHit> parseReferenceHits(std::string_view text, const std::string& name) {
    std::vector<ReferenceHit> hits;
    std::optional<bool> jsonLines;
    CsvColumns columns;
    int number = 0;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        const std::string line = trimmed(text.substr(from, end - from));
        from = end + 1;
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        try {
            if (!jsonLines) {
                jsonLines = line[0] == '{';
                if (!*jsonLines) {
                    columns = csvHeader(line);
                    continue;
                }
            }
            hits.push_back(*jsonLines ? JsonLine(line).hit() : csvHit(line, columns));
        } catch (const LineError& error) {
            throw RunError(name + ":" + std::to_string(number) + ": " + error.reason);
        }
    }
    return hits;
}

std::vector<ReferenceHit> readReferenceHits(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        throw RunError(path + ": no such file");
    }
    if (std::filesystem::is_directory(path, error)) {
        throw RunError(path + ": is a folder, not a file of reference hits");
    }
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.is_open() || file.bad()) {
        throw RunError(path + ": the reference hits cannot be read");
    }
    return parseReferenceHits(text, path);
}

} // namespace zcli
