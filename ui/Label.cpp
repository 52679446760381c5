#include "ui/Label.h"

#include <algorithm>

namespace ui {

namespace {

std::vector<std::string> paragraphsOf(std::string_view text) {
    std::vector<std::string> paragraphs{{}};
    for (char c : text) {
        if (c == '\n') {
            paragraphs.emplace_back();
        } else if (c != '\r') {
            paragraphs.back() += c;
        }
    }
    return paragraphs;
}

// Greedy filling at blanks. The blanks at a break belong to neither line.
void wrapInto(std::vector<std::string>& lines, const std::string& paragraph, const FontFace& face,
              int width) {
    std::string line;
    std::size_t pos = 0;
    while (pos < paragraph.size()) {
        const std::size_t wordStart = paragraph.find_first_not_of(' ', pos);
        const std::size_t wordEnd = wordStart == std::string::npos
                                        ? paragraph.size()
                                        : std::min(paragraph.find(' ', wordStart), paragraph.size());
        const std::string candidate = line + paragraph.substr(pos, wordEnd - pos);
        if (!line.empty() && wordStart != std::string::npos && face.textWidth(candidate) > width) {
            lines.push_back(line);
            line = paragraph.substr(wordStart, wordEnd - wordStart);
        } else {
            line = candidate;
        }
        pos = wordEnd;
    }
    lines.push_back(line);
}

} // namespace

TLabel::TLabel(TWinControl& parent) : TControl(parent) {
    adjustSize();
}

void TLabel::setCaption(std::string_view caption) {
    if (caption != caption_) {
        caption_ = caption;
        adjustSize();
        invalidate();
    }
}

void TLabel::setFont(const Font& font) {
    if (!(font == font_)) {
        font_ = font;
        adjustSize();
        invalidate();
    }
}

void TLabel::setTransparent(bool transparent) {
    if (transparent != transparent_) {
        transparent_ = transparent;
        invalidate();
    }
}

void TLabel::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    adjustSize();
}

void TLabel::setAlignment(Alignment alignment) {
    if (alignment != alignment_) {
        alignment_ = alignment;
        invalidate();
    }
}

void TLabel::setWordWrap(bool wordWrap) {
    if (wordWrap != wordWrap_) {
        wordWrap_ = wordWrap;
        adjustSize();
        invalidate();
    }
}

void TLabel::setBounds(int left, int top, int width, int height) {
    TControl::setBounds(left, top, width, height);
    adjustSize();
}

std::vector<std::string> TLabel::lines() const {
    const FontFace& face = faceFor(font_);
    std::vector<std::string> result;
    for (const std::string& paragraph : paragraphsOf(caption_)) {
        if (wordWrap_) {
            wrapInto(result, paragraph, face, width());
        } else {
            result.push_back(paragraph);
        }
    }
    return result;
}

// Text is measured as Windows labels measure it: an empty caption as one blank.
void TLabel::adjustSize() {
    if (!autoSize_) {
        return;
    }
    const FontFace& face = faceFor(font_);
    const std::vector<std::string> all = lines();
    int textWidth = 0;
    for (const std::string& line : all) {
        textWidth = std::max(textWidth, face.textWidth(line.empty() && all.size() == 1 ? " " : line));
    }
    const int textHeight = static_cast<int>(all.size()) * face.lineHeight;
    TControl::setBounds(left(), top(), wordWrap_ ? width() : textWidth, textHeight);
}

void TLabel::paint(Canvas& canvas) {
    if (!transparent_) {
        canvas.brush.color = color();
        canvas.fillRect(clientRect());
    }
    canvas.font = font_;
    const int lineHeight = canvas.textHeight();
    int y = 0;
    for (const std::string& line : lines()) {
        const int spare = width() - canvas.textWidth(line);
        const int x = alignment_ == Alignment::Left ? 0 : alignment_ == Alignment::Right ? spare : spare / 2;
        canvas.textOut(x, y, line);
        y += lineHeight;
    }
}

} // namespace ui
