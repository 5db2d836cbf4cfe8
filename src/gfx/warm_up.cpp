#include "gfx/warm_up.h"

#include "gfx/renderer.h"

namespace fenwhit {

void DrawEveryState(Renderer& renderer, const std::vector<Texture>& textures) {
  for (int additive = 0; additive < 2; ++additive) {
    if (additive == 1) {
      renderer.SetBlendAdditive();
    } else {
      renderer.SetBlendAlpha();
    }
    for (int alpha : {255, 128}) {
      renderer.SetColor(200, 150, 100, alpha);
      renderer.FillRect(4, 4, 6, 6);
      renderer.FillRect(-4, 4, 6, 6);
      renderer.DrawLine(4, 4, 12, 8, 3.0f);
      renderer.DrawLine(-4, 4, 12, 8, 5.0f);
      for (const Texture& texture : textures) {
        renderer.DrawSprite(4, 4, texture, 10.0f, 0.1f);
        renderer.DrawSprite(-8, 4, texture, 0.0f, 0.1f);
      }
    }
  }
  renderer.SetColor(255, 255, 255, 255);
}

}  // namespace fenwhit
