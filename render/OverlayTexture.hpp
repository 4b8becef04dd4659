#pragma once

#include <SFML/Graphics/RenderTexture.hpp>

// The render texture shown above the GUI. It remembers whether anything was
// drawn into it (or it was cleared) since `forgetDrawing`, so the frame loop
// neither copies nor clears an overlay that holds nothing: on a software
// renderer each of those is a full pass over every pixel of the window.
//
// Every SFML draw or clear into a texture that is not the current target
// activates it first; the frame loop makes the window current after its own
// clear, so the first draw of a frame into the overlay is always seen.
class OverlayTexture : public sf::RenderTexture {
public:
    bool setActive(bool active = true) override;

    // Whether the overlay was made current for drawing since `forgetDrawing`.
    bool wasDrawnInto() const { return drawnInto; }
    // Called once the overlay's picture has been shown and cleared.
    void forgetDrawing() { drawnInto = false; }

private:
    bool drawnInto = false;
};
