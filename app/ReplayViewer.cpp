#include "app/ReplayViewer.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>

#include "widgets/ResourceCache.hpp"

namespace {
constexpr float barHeight = 64.0f;
constexpr float margin = 24.0f;
// The text's room at the right of the track.
constexpr float textWidth = 560.0f;
constexpr float jumpSeconds = 10.0f;

std::string clockText(double seconds) {
    const long hundredths = std::lround(seconds * 100.0);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", hundredths / 6000, hundredths / 100 % 60,
                  hundredths % 100);
    return text;
}
} // namespace

sf::FloatRect ReplayViewer::barArea(sf::Vector2u picture) {
    return {0.0f, static_cast<float>(picture.y) - barHeight, static_cast<float>(picture.x), barHeight};
}

sf::FloatRect ReplayViewer::trackArea(sf::Vector2u picture) {
    const sf::FloatRect bar = barArea(picture);
    return {margin, bar.top + 16.0f, bar.width - 2.0f * margin - textWidth, barHeight - 32.0f};
}

size_t ReplayViewer::frameAt(float x, sf::Vector2u picture) const {
    const sf::FloatRect track = trackArea(picture);
    const float along = std::clamp((x - track.left) / track.width, 0.0f, 1.0f);
    return static_cast<size_t>(std::lround(along * static_cast<float>(total)));
}

size_t ReplayViewer::framesIn(float seconds) const {
    return frameSeconds > 0.0f ? static_cast<size_t>(std::lround(seconds / frameSeconds)) : 0;
}

bool ReplayViewer::handleEvent(const sf::Event& event, sf::Vector2u picture) {
    if (event.type == sf::Event::KeyPressed) {
        switch (event.key.code) {
        case sf::Keyboard::Space:
            setPaused(!paused);
            return true;
        case sf::Keyboard::Right:
            stepAsked = stepAsked || paused;
            return true;
        case sf::Keyboard::Left:
            if (paused) {
                relativeAsk -= 1;
                relativeAsked = true;
            }
            return true;
        case sf::Keyboard::PageUp:
        case sf::Keyboard::PageDown: {
            const long jump = static_cast<long>(framesIn(jumpSeconds));
            relativeAsk += event.key.code == sf::Keyboard::PageUp ? -jump : jump;
            relativeAsked = true;
            return true;
        }
        case sf::Keyboard::Home:
            seekAsked = true;
            seekTarget = 0;
            relativeAsked = false;
            relativeAsk = 0;
            return true;
        default:
            return false;
        }
    }
    if (event.type == sf::Event::MouseButtonPressed && event.mouseButton.button == sf::Mouse::Left) {
        const sf::Vector2f at(static_cast<float>(event.mouseButton.x),
                              static_cast<float>(event.mouseButton.y));
        if (!barArea(picture).contains(at)) {
            return false;
        }
        const sf::FloatRect track = trackArea(picture);
        // A click beside the track's ends still means its ends.
        if (at.x <= track.left + track.width + margin) {
            seekAsked = true;
            seekTarget = frameAt(at.x, picture);
            relativeAsked = false;
            relativeAsk = 0;
        }
        return true;
    }
    return false;
}

void ReplayViewer::setPaused(bool pause) {
    paused = pause;
    paceFresh = true;
}

bool ReplayViewer::beginPass(ReplayTimeline& timeline) {
    if (seekAsked) {
        seekAsked = false;
        goTo(seekTarget, timeline);
    }
    if (relativeAsked) {
        relativeAsked = false;
        const long played = static_cast<long>(timeline.playedFrames());
        goTo(static_cast<size_t>(std::max(0L, played + relativeAsk)), timeline);
        relativeAsk = 0;
    }
    const bool more = timeline.playedFrames() < total;
    if (stepAsked) {
        stepAsked = false;
        paceFresh = true;
        return more;
    }
    if (!more) {
        // The end stays on screen, paused, until the window closes.
        paused = true;
    }
    if (paused) {
        paceFresh = true;
        return false;
    }
    return true;
}

void ReplayViewer::goTo(size_t frame, ReplayTimeline& timeline) {
    frame = std::min(frame, total);
    timeline.jumpNear(frame);
    while (timeline.playedFrames() < frame && timeline.playUndrawn()) {
    }
    paceFresh = true;
}

float ReplayViewer::secondsAhead(float delta) {
    if (paceFresh) {
        paceFresh = false;
        paceClock.restart();
        pacedSeconds = 0.0;
        return 0.0f;
    }
    pacedSeconds += delta;
    const double ahead = pacedSeconds - paceClock.getElapsedTime().asSeconds();
    // Far behind (a stalled window): the pace starts again from now rather
    // than hurrying to catch up.
    if (ahead < -0.25) {
        paceFresh = true;
    }
    return static_cast<float>(std::max(0.0, ahead));
}

std::string ReplayViewer::positionText(size_t played) const {
    return "frame " + std::to_string(played) + " / " + std::to_string(total) + "   " +
           clockText(static_cast<double>(played) * frameSeconds) + " / " +
           clockText(static_cast<double>(total) * frameSeconds) + (paused ? "   paused" : "");
}

void ReplayViewer::draw(sf::RenderTarget& target, sf::Vector2u picture, size_t played) const {
    const sf::FloatRect bar = barArea(picture);
    sf::RectangleShape backing({bar.width, bar.height});
    backing.setPosition(bar.left, bar.top);
    backing.setFillColor(sf::Color(0, 0, 0, 170));
    target.draw(backing);

    const sf::FloatRect track = trackArea(picture);
    sf::RectangleShape groove({track.width, 8.0f});
    groove.setPosition(track.left, track.top + track.height / 2.0f - 4.0f);
    groove.setFillColor(sf::Color(255, 255, 255, 70));
    target.draw(groove);
    const float along = total > 0 ? static_cast<float>(played) / static_cast<float>(total) : 0.0f;
    sf::RectangleShape done({track.width * along, 8.0f});
    done.setPosition(groove.getPosition());
    done.setFillColor(sf::Color(240, 190, 80));
    target.draw(done);
    sf::RectangleShape knob({10.0f, track.height});
    knob.setPosition(track.left + track.width * along - 5.0f, track.top);
    knob.setFillColor(sf::Color::White);
    target.draw(knob);

    if (const sf::Font* font = widgets::ResourceCache::font()) {
        sf::Text text(positionText(played), *font, 24);
        text.setFillColor(sf::Color::White);
        text.setPosition(track.left + track.width + margin, bar.top + (bar.height - 30.0f) / 2.0f);
        target.draw(text);
    }
}
