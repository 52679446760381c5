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
    // At least three digits, zeros in front. Built by appending: GCC 12 at -O3 warns falsely about
    // inserting at the front of a short string.
    const std::string digits = std::to_string(p);
    std::string text(digits.size() < 3 ? 3 - digits.size() : 0, '0');
    text += digits;
    text += '%';
    return text;
}

} // namespace editor
