// Runs the built zephyrion tool as a process and makes the audio files it is given.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zcli_test {

struct ToolRun {
    int status = -1; // exit status, or -1 if the tool did not exit normally
    std::string out;
    std::string err;
};

// Runs the tool with these arguments (without the program name). With onTerminal it runs inside a
// pseudo-terminal made by script(1); everything it wrote then arrives in `out`.
ToolRun runTool(const std::vector<std::string>& arguments, bool onTerminal = false);

// The tool running in the background, for tests that act while it works.
class ToolProcess {
public:
    explicit ToolProcess(const std::vector<std::string>& arguments);
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    void signal(int number);
    // Waits for the tool to end.
    ToolRun finish();

private:
    std::filesystem::path capture_;
    int pid_ = -1;
};

std::string pluginPath();

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name) const { return (root_ / name).string(); }
    // Names of everything in the folder, sorted; shows temporary files left behind as well.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path root_;
};

// Writes channels (all of the same length) as a 32-bit float WAV file; throws on failure.
void writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate);

// Silence with a single sample of `level` at each position.
std::vector<float> clicks(std::size_t frames, const std::vector<std::int64_t>& positions, float level);

// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);
// The raw value of `"key":value` in one JSON line: digits, or a string without its quotes; empty if absent.
std::string jsonValue(const std::string& line, const std::string& key);
// The note-on samples of an events file's lines, by their band ("" for lines without one).
std::map<std::string, std::vector<std::int64_t>> noteOnsByBand(const std::string& eventsPath);
// The whitespace-separated words of a line.
std::vector<std::string> wordsOf(const std::string& line);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);

} // namespace zcli_test
