// What the game hands to its sound: one event per thing heard, stamped with the game's
// own clock, through a sink that never waits and never draws from the game's generator.
#pragma once

#include <cstdint>

namespace gs {

/// Every sound the game makes; each has one row in the table of sound/table.cpp.
enum class Sound : std::uint8_t {
    GunFire,          ///< the player's gun fires
    ShellWhistle,     ///< the shell in flight; the event's value is its height
    FugasyBlast,      ///< the player's high-explosive shell lands
    ArmorBitingBlast, ///< the armor-biting shell lands
    NuclearBlast,     ///< the tactical nuclear shell: long and deep, while the mushroom grows
    UnitDestroyed,    ///< a unit is blown up
    EnemyShellFire,   ///< an enemy gun or tank fires
    EnemyRocketFire,  ///< a guided rocket leaves its launcher
    SalvoRocketFire,  ///< one rocket of a five-rocket salvo
    EnemyImpact,      ///< an enemy shell or rocket lands; the value is its distance from the gun
    RadarDeploy,      ///< the radar machine deploys
    UnitAdvance,      ///< a unit advances
    FighterApproach,  ///< the fighter comes in
    BomberApproach,   ///< the bomber comes in
    BombFall,         ///< the bomber's stick starts falling
    BombImpact,       ///< a bomb lands; the value is its distance from the gun
    FighterRocket,    ///< the fighter's rocket dives
    LevelWon,
    LevelLost,
    KeyClick, ///< a key in the one window or on the page (only when clicks are asked for)
};
constexpr int SOUND_COUNT = static_cast<int>(Sound::KeyClick) + 1;

/// One thing heard: when (the game's virtual milliseconds), what, and the sound's value
/// (a height, a distance; 0 when the sound has none). A length of 0 keeps the table's.
struct SoundEvent {
    std::uint64_t atMs = 0;
    Sound sound = Sound::GunFire;
    std::int32_t value = 0;
    std::uint16_t lengthMs = 0;
};

/// Where the game hands its events. The plain sink hears nothing: a game built without
/// sound (every test, every headless run) needs nothing more.
class SoundSink {
public:
    virtual ~SoundSink() = default;
    /// Takes one event; must return at once and never fail.
    virtual void play(const SoundEvent&) {}
};

/// The one sink that hears nothing.
SoundSink& silentSink();

/// Hands each event to two sinks: the device and a file, say.
class BothSinks : public SoundSink {
public:
    BothSinks(SoundSink& a, SoundSink& b) : a_(a), b_(b) {}
    void play(const SoundEvent& e) override {
        a_.play(e);
        b_.play(e);
    }

private:
    SoundSink& a_;
    SoundSink& b_;
};

} // namespace gs
