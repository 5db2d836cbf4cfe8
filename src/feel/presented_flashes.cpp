#include "feel/presented_flashes.h"

#include <GL/gl.h>

namespace fenwhit {

void PresentedFlashes::SwapBuffers() {
  const PixelSize size = DrawableSize();
  if (size.width > 0 && size.height > 0) {
    pixels_.resize(static_cast<size_t>(size.width) * size.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    meter_.AddFrame(static_cast<double>(frames_) * framePeriod_, pixels_.data(), size.width,
                    size.height);
  }
  ++frames_;
  ForwardingPlatform::SwapBuffers();
}

}  // namespace fenwhit
