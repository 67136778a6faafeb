#include "installerart.h"

namespace {

constexpr SceneLayout kWizardLayout{0.36f, 1.45f, 0.26f, 0.62, 0.72, 30.0, 40.0};
constexpr SceneLayout kHeaderLayout{0.8f, 0.19f, 0.11f, 0.3, 0.19, 270.0, 60.0};

}  // namespace

Canvas PaintWizardPicture(const SceneArt& art) {
    return PaintScene(art, kWizardWidth, kWizardHeight, kWizardLayout);
}

Canvas PaintHeaderPicture(const SceneArt& art) {
    return PaintScene(art, kHeaderWidth, kHeaderHeight, kHeaderLayout);
}
