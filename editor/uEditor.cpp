#include "editor/uEditor.h"

#include "editor/EditorLayout.h"
#include "editor/art/Artwork.h"

namespace editor {
namespace {

ui::Cursor cursorFor(PointerShape shape) {
    switch (shape) {
    case PointerShape::Hand: return ui::crHandPoint;
    case PointerShape::UpDown: return ui::crSizeNS;
    case PointerShape::Normal: break;
    }
    return ui::crDefault;
}

void setUpLabel(ui::TLabel& label, const ControlSpec& spec) {
    label.setTransparent(true);
    label.setFont(spec.font);
    label.setAlignment(spec.align == TextAlign::Centre ? ui::Alignment::Center : ui::Alignment::Left);
    label.setAutoSize(spec.autoSize);
    label.setBounds(spec.box.left, spec.box.top, spec.box.width, spec.box.height);
    label.setCaption(spec.text);
}

void setUpBar(TGaugeBar& bar, const ControlSpec& spec) {
    bar.setRange(kBarMin, kBarMax);
    bar.setSmallChange(kBarSmallChange);
    bar.setLargeChange(kBarLargeChange);
    bar.setHandleSize(0);
    bar.setShowHandleGrip(true);
    bar.setColor(kBarTrackColour);
    bar.setHandleColor(spec.handleColour);
    bar.setPosition(spec.position);
}

void setUpPicture(ui::TImage& image, Asset asset) {
    switch (asset) {
    case Asset::Background: image.setPicture(art::backgroundPicture()); break;
    case Asset::ControllerCaption: image.setPicture(art::controllerCaption()); break;
    case Asset::VelocityModeCaption: image.setPicture(art::velocityModeCaption()); break;
    case Asset::About: image.setPicture(art::aboutPicture()); break;
    case Asset::MeterGradient:
    case Asset::MeterCover:
    case Asset::None: break;
    }
}

void setUpImage32(ui::TImage32& image, const ControlSpec& spec) {
    image.setColor(spec.background);
    switch (spec.asset) {
    case Asset::MeterGradient: image.setBitmap(art::meterGradient()); break;
    case Asset::MeterCover: image.setBitmap(art::meterCover()); break;
    default:
        // A control without a picture still needs pixels to draw on.
        image.setBitmap(ui::PixelMap(spec.box.width, spec.box.height, spec.background));
        break;
    }
}

} // namespace

TPluginEditorWindow::TPluginEditorWindow(void* parentWindow)
    : ui::TForm(parentWindow, kWindowWidth, kWindowHeight) {
    controls_ = {
        {"bg", &bg},
        {"d", &d},
        {"fm", &fm},
        {"root", &root},
        {"ch", &ch},
        {"vel", &vel},
        {"Image2", &Image2},
        {"Image3", &Image3},
        {"Image4", &Image4},
        {"Image5", &Image5},
        {"Image6", &Image6},
        {"Image7", &Image7},
        {"Label7", &Label7},
        {"setqmode", &setqmode},
        {"bfalloff", &bfalloff},
        {"bvol", &bvol},
        {"bthresh", &bthresh},
        {"GaugeBar2", &GaugeBar2},
        {"GaugeBar1", &GaugeBar1},
        {"GaugeBar3", &GaugeBar3},
        {"Image321", &Image321},
        {"Image326", &Image326},
        {"Image325", &Image325},
        {"peak1", &peak1},
        {"brel", &brel},
        {"about", &about},
        {"Image1", &Image1},
        {"Label3", &Label3},
        {"Label1", &Label1},
        {"Label2", &Label2},
        {"Label5", &Label5},
    };
    setColor(kWindowColour);
    applyLayout();
    connectHandlers();
    Updater.setInterval(kUpdaterIntervalMs);
    Updater.setEnabled(true);
    FormCreate();
}

TPluginEditorWindow::~TPluginEditorWindow() = default;

ui::TControl* TPluginEditorWindow::controlNamed(std::string_view name) const {
    for (const auto& [controlName, control] : controls_) {
        if (controlName == name) {
            return control;
        }
    }
    return nullptr;
}

void TPluginEditorWindow::applyLayout() {
    for (const ControlSpec& spec : kControls) {
        ui::TControl* control = controlNamed(spec.name);
        switch (spec.kind) {
        case ControlKind::Label: setUpLabel(static_cast<ui::TLabel&>(*control), spec); break;
        case ControlKind::GaugeBar: setUpBar(static_cast<TGaugeBar&>(*control), spec); break;
        case ControlKind::Picture: setUpPicture(static_cast<ui::TImage&>(*control), spec.asset); break;
        case ControlKind::Image32: setUpImage32(static_cast<ui::TImage32&>(*control), spec); break;
        case ControlKind::Panel: static_cast<ui::TPanel&>(*control).setBevelOuter(ui::Bevel::None); break;
        }
        if (spec.kind != ControlKind::Label) {
            control->setBounds(spec.box.left, spec.box.top, spec.box.width, spec.box.height);
        }
        control->setCursor(cursorFor(spec.cursor));
        control->setVisible(spec.visible);
    }
}

void TPluginEditorWindow::connectHandlers() {
    OnShow = [this] { FormShow(); };
    Updater.OnTimer = [this] { UpdaterTimer(); };
    bg.OnMouseMove = [this](ui::ShiftState, int, int) { bgMouseMove(); };
    Image2.OnMouseMove = [this](ui::ShiftState, int, int) { Image2MouseMove(); };
    Image3.OnMouseMove = Image2.OnMouseMove;
    Image2.OnClick = [this] { Image2Click(); };
    Image3.OnClick = Image2.OnClick;
    Image1.OnClick = [this] { Image1Click(); };
    fm.OnMouseMove = [this](ui::ShiftState, int, int) { fmMouseMove(); };
    fm.OnMouseUp = [this](ui::MouseButton button, ui::ShiftState, int, int) { fmMouseUp(button); };
    setqmode.OnMouseMove = [this](ui::ShiftState, int, int) { setqmodeMouseMove(); };
    setqmode.OnMouseUp = [this](ui::MouseButton button, ui::ShiftState, int, int) {
        setqmodeMouseUp(button);
    };
    root.OnMouseDown = [this](ui::MouseButton, ui::ShiftState shift, int, int y) { rootMouseDown(shift, y); };
    root.OnMouseMove = [this](ui::ShiftState shift, int, int y) { rootMouseMove(shift, y); };
    ch.OnMouseDown = [this](ui::MouseButton, ui::ShiftState shift, int, int y) { chMouseDown(shift, y); };
    ch.OnMouseMove = [this](ui::ShiftState shift, int, int y) { chMouseMove(shift, y); };
    vel.OnMouseDown = [this](ui::MouseButton, ui::ShiftState shift, int, int y) { velMouseDown(shift, y); };
    vel.OnMouseMove = [this](ui::ShiftState shift, int, int y) { velMouseMove(shift, y); };
    Image4.OnMouseMove = [this](ui::ShiftState, int, int) { Image4MouseMove(); };
    Image4.OnMouseUp = [this](ui::MouseButton, ui::ShiftState, int, int) { Image4MouseUp(); };
    Image5.OnMouseMove = [this](ui::ShiftState, int, int) { Image5MouseMove(); };
    Image5.OnMouseUp = [this](ui::MouseButton, ui::ShiftState, int, int) { Image5MouseUp(); };
    bvol.OnMouseMove = [this](ui::ShiftState, int, int) { bvolMouseMove(); };
    bthresh.OnMouseMove = [this](ui::ShiftState, int, int) { bthreshMouseMove(); };
    GaugeBar2.OnMouseMove = [this](ui::ShiftState, int, int) { GaugeBar2MouseMove(); };
    bfalloff.OnMouseMove = [this](ui::ShiftState, int, int) { bfalloffMouseMove(); };
    brel.OnMouseMove = [this](ui::ShiftState, int, int) { brelMouseMove(); };
    GaugeBar1.OnMouseMove = [this](ui::ShiftState, int, int) { GaugeBar1MouseMove(); };
    GaugeBar3.OnMouseMove = [this](ui::ShiftState, int, int) { GaugeBar3MouseMove(); };
    bvol.OnChange = [this] { bvolChange(); };
    bthresh.OnChange = [this] { bthreshChange(); };
    GaugeBar2.OnChange = [this] { GaugeBar2Change(); };
    GaugeBar1.OnChange = [this] { GaugeBar1Change(); };
    GaugeBar3.OnChange = [this] { GaugeBar3Change(); };
    bfalloff.OnChange = [this] { bfalloffChange(); };
    brel.OnChange = [this] { brelChange(); };
}

void TPluginEditorWindow::FormCreate() {
    formShown = false;
    about.setTop(kAboutShownTop);
}

void TPluginEditorWindow::FormShow() {
    formShown = true;
}

} // namespace editor
