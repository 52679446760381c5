// Comparing what the user typed with the names and words the plug-in and the editor use.
#pragma once

#include <string>
#include <string_view>

namespace zcli {

std::string lowerCase(std::string_view text);
std::string withoutOuterBlanks(std::string_view text);

// Names match whatever their case and any blanks around them: "amp.hi" is "Amp.Hi".
inline bool sameName(std::string_view typed, std::string_view reported) {
    return lowerCase(withoutOuterBlanks(typed)) == lowerCase(withoutOuterBlanks(reported));
}

} // namespace zcli
