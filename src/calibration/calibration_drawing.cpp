#include "calibration/calibration_drawing.h"

#include "calibration/calibration_platform.h"
#include "gfx/overlay_renderer.h"
#include "ui/overlay_text.h"

namespace fenwhit {

void CalibrationDrawing::Show(const CalibrationView& view) {
  frames_.DrawLastFrame();
  DimWindowAndCentrePicture(235);
  DrawCentredNeonText(kPictureWidth / 2, 80, view.heading, 1.5f, kNeonPink);
  DrawCentredNeonText(kPictureWidth / 2, 330, view.line, 0.75f,
                      view.trouble ? kNeonPink : kNeonWhite);
  DrawCentredNeonText(kPictureWidth / 2, 660, view.hint, 0.46f, kNeonDim);
  if (alsoDraw_) alsoDraw_();
  frames_.PresentOwnFrame();
}

}  // namespace fenwhit
