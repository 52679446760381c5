// The gauge bar's look in the flat style the editor uses: a framed track in two parts around a bevelled
// handle with grip marks. Drawn from the model's geometry and pressed zone alone, so it can be checked pixel
// by pixel on any canvas.
#pragma once

#include "editor/GaugeBarModel.h"
#include "ui/Canvas.h"

namespace editor {

struct GaugeBarLook {
    ui::Color track = ui::rgb(69, 69, 69);
    ui::Color handle = ui::rgb(200, 200, 0);
    bool grip = true;
};

// Paints the whole client area of the bar (width x height from the model) with its origin at (0, 0).
void paintGaugeBar(ui::Canvas& canvas, const GaugeBarModel& model, const GaugeBarLook& look);

} // namespace editor
