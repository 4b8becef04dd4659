#include "render/OverlayTexture.hpp"

bool OverlayTexture::setActive(bool active) {
    if (active) {
        drawnInto = true;
    }
    return sf::RenderTexture::setActive(active);
}
