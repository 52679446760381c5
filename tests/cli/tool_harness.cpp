#include "tests/cli/tool_harness.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sndfile.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace zcli_test {
namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

pid_t startWithOutputFiles(const std::vector<std::string>& command, const std::string& outPath,
                           const std::string& errPath) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int none = ::open("/dev/null", O_RDONLY);
        ::dup2(none, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : command) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

int waitForExit(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> toolCommand(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{ZEPHYRION_TOOL_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

} // namespace

ToolRun runTool(const std::vector<std::string>& arguments, bool onTerminal) {
    TempFolder capture;
    std::vector<std::string> command = toolCommand(arguments);
    if (onTerminal) {
        std::string line;
        for (const std::string& part : command) {
            if (!line.empty()) {
                line += ' ';
            }
            line += shellQuoted(part);
        }
        command = {"/usr/bin/script", "-q", "-e", "-c", line, "/dev/null"};
    }
    ToolRun run;
    run.status = waitForExit(startWithOutputFiles(command, capture.path("out"), capture.path("err")));
    run.out = readFile(capture.path("out"));
    run.err = readFile(capture.path("err"));
    return run;
}

ToolProcess::ToolProcess(const std::vector<std::string>& arguments) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zephyrion-run-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    capture_ = pattern;
    pid_ = startWithOutputFiles(toolCommand(arguments), (capture_ / "out").string(),
                                (capture_ / "err").string());
}

ToolProcess::~ToolProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        waitForExit(pid_);
    }
    std::error_code ignored;
    std::filesystem::remove_all(capture_, ignored);
}

void ToolProcess::signal(int number) {
    ::kill(pid_, number);
}

ToolRun ToolProcess::finish() {
    ToolRun run;
    run.status = waitForExit(pid_);
    pid_ = -1;
    run.out = readFile((capture_ / "out").string());
    run.err = readFile((capture_ / "err").string());
    return run;
}

std::string pluginPath() {
    return ZEPHYRION_PLUGIN_PATH;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zephyrion-cli-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    root_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::vector<std::string> TempFolder::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeWav(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = static_cast<int>(channels.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error(path + ": cannot be written");
    }
    const std::size_t frames = channels.empty() ? 0 : channels[0].size();
    std::vector<float> interleaved(frames * channels.size());
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < channels.size(); ++c) {
            interleaved[i * channels.size() + c] = channels[c][i];
        }
    }
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

std::vector<float> clicks(std::size_t frames, const std::vector<std::int64_t>& positions, float level) {
    std::vector<float> samples(frames, 0.0f);
    for (const std::int64_t position : positions) {
        samples.at(static_cast<std::size_t>(position)) = level;
    }
    return samples;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::map<std::string, std::vector<std::int64_t>> noteOnsByBand(const std::string& eventsPath) {
    std::map<std::string, std::vector<std::int64_t>> found;
    for (const std::string& line : linesOf(readFile(eventsPath))) {
        if (jsonValue(line, "type") == "note-on") {
            found[jsonValue(line, "band")].push_back(std::stoll(jsonValue(line, "sample")));
        }
    }
    return found;
}

std::string jsonValue(const std::string& line, const std::string& key) {
    const std::string marker = "\"" + key + "\":";
    const std::size_t at = line.find(marker);
    if (at == std::string::npos) {
        return "";
    }
    const std::size_t start = at + marker.size();
    if (start < line.size() && line[start] == '"') {
        return line.substr(start + 1, line.find('"', start + 1) - start - 1);
    }
    return line.substr(start, line.find_first_of(",}", start) - start);
}

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

} // namespace zcli_test
