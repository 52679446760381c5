// A text control: one or several lines in one font, on its own colour or on whatever lies below it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"

namespace ui {

enum class Alignment { Left, Right, Center };

class TLabel : public TControl {
public:
    explicit TLabel(TWinControl& parent);

    const std::string& caption() const { return caption_; }
    // '\n' starts a new line.
    void setCaption(std::string_view caption);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    // Transparent: only the text is drawn; otherwise the label first fills itself with its colour.
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    // AutoSize (on by default): the label keeps its left and top edge and takes the size of its text, so it
    // grows and shrinks to the right; with WordWrap only the height follows.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    // Each line is aligned within the label's width.
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment alignment);
    // Breaks lines at blanks so they fit the width; a word longer than the width keeps a line of its own.
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool wordWrap);

    // The lines as they are drawn at the current width.
    std::vector<std::string> lines() const;

    void setBounds(int left, int top, int width, int height) override;

protected:
    void paint(Canvas& canvas) override;

private:
    void adjustSize();

    std::string caption_;
    Font font_;
    bool transparent_ = false;
    bool autoSize_ = true;
    Alignment alignment_ = Alignment::Left;
    bool wordWrap_ = false;
};

} // namespace ui
