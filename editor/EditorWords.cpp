#include "editor/EditorWords.h"

namespace editor {

std::string noteName(int index) {
    static constexpr std::array<std::string_view, 12> pitches{"C ", "C#", "D ", "D#", "E ", "F ",
                                                              "F#", "G ", "G#", "A ", "A#", "B "};
    const int n = wrapIndex(index, kNoteNameCount);
    return std::string(pitches[static_cast<std::size_t>(n % 12)]) + static_cast<char>('0' + n / 12);
}

int wrapIndex(long value, int count) {
    const long rest = value % count;
    return static_cast<int>(rest < 0 ? rest + count : rest);
}

std::string percentText(int p) {
    std::string text = std::to_string(p) + "%";
    if (text.size() == 2) {
        text.insert(0, "00");
    } else if (text.size() == 3) {
        text.insert(0, "0");
    }
    return text;
}

} // namespace editor
