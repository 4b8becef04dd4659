#pragma once

#include <memory>

#include "game/PlayerSetup.hpp"
#include "game/states/ArenaPage.hpp"
#include "game/states/ButtonPagesState.hpp"
#include "game/states/ControlsPage.hpp"
#include "game/states/OnlineMenuActions.hpp"

// "Menu": the title menu and its options pages (controls, audio, gameplay,
// advanced gameplay) and the credits. The pages are loaded and their buttons
// wired once, by the constructor. While the audio page is open its three
// sliders set the SoundManager's volumes (and this state's effects volume)
// every frame, so a slider is heard at once. The gameplay page's
// "Player2Mode" button switches player 2 between a person and the computer,
// and its "Lives" slider sets the lives per match (1 to 9; its last step is
// unlimited), shown on the "LivesValue" label; its "Rumble" button switches
// the pads' rumble on and off. The title's "StartGame" opens the arena page
// (ArenaPage), from which the match starts. The controls page rebinds keys
// (ControlsPage) and shows the players' pads. The "Online" page ("mOnline")
// hosts on the "HostPort" box's port or joins the "JoinAddress" box's
// address:port (its button, or Enter in the box), and shows the online
// state on its "Status" label. While a join is under way (from the page or
// the command line) the "mJoining" page shows whom it connects to and for
// how long on its "Connecting" label; Escape or its "Cancel" drops the
// attempt and goes back to the online page, as a join that fails does.
class MainMenuState : public ButtonPagesState {
public:
    // `setup` is shared with the game and the arena; `online` (may be empty) is the game's.
    explicit MainMenuState(std::shared_ptr<PlayerSetup> setup = std::make_shared<PlayerSetup>(),
                           std::shared_ptr<const OnlineMenuActions> online = nullptr);

    void enter() override;
    void update(float delta, float time) override;

    // Empty when the form has no controls page.
    ControlsPage* getControls() { return controls.get(); }

private:
    void connectButtons();
    // Escape goes back from the credits and from the options pages.
    void handleEscape();
    void applyAudioSliders();
    // Writes who plays player 2 onto the "Player2Mode" button.
    void showPlayer2Mode();
    // Writes whether pads rumble onto the "Rumble" button.
    void showRumble();
    // Puts the setup's lives on the "Lives" slider and the "LivesValue" label.
    void showLives();
    // While the gameplay page is open, the slider sets the lives per match.
    void applyLivesSlider();
    void connectOnlineButtons();
    // The online page's actions, from their buttons or Enter in their boxes.
    void hostTypedPort();
    void joinTypedAddress();
    // Shows the joining page while a join is under way, and the online page once it ended.
    void followJoin();
    void cancelJoin();
    // While the online page is open, its status line follows the session.
    void showOnlineStatus(const std::string& problem = "");

    std::shared_ptr<PlayerSetup> players;
    // After `players` and the state's effects volume, which it uses.
    ArenaPage arenaPage;
    std::unique_ptr<ControlsPage> controls;
    std::shared_ptr<const OnlineMenuActions> online;
};
