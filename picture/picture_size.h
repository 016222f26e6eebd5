// The battlefield picture's size and scale when the one window or the web page chooses
// them from the room it has: the whole battle in view, as large as the room allows.
#pragma once

namespace gs {

/// The battlefield's width: the shipped levels place units up to x = 1240 and a Skirmish
/// up to x = 999; with their sprites (at most 40 pixels each side of a unit's x) and the
/// escalation indicator (100 pixels left of the right edge) they all stand inside it.
constexpr int BATTLEFIELD_W = 1280;
/// The battle's rows: the sky, the ground line at row 500, the health bars on rows 510 to
/// 515 under it, and the panel's ammunition counters, whose top row is 40 rows above the
/// picture's bottom edge: at this height the counters begin at row 519, clear of the bars
/// (tied to the game's rows by a static_assert in render/field.cpp).
constexpr int BATTLE_H = 560;
/// The largest side a chosen picture takes (the largest --size takes).
constexpr int CHOSEN_SIDE_MAX = 8192;
/// The largest factor the one window chooses by itself (the largest --scale).
constexpr int CHOSEN_SCALE_MAX = 8;

struct PictureSize {
    int width = 0, height = 0;
    bool operator==(const PictureSize&) const = default;
};

/// The picture for an area of `areaW` x `areaH` pixels where each picture pixel is shown
/// as a `scale` x `scale` block: the area divided by the scale, but never narrower than
/// the battlefield nor lower than the battle's rows, so that no unit stands beyond its
/// right edge and the counters stay under the bars. An area too small for that shows the
/// picture shrunk (fitPicture); a wide, short area gets only the battle's rows, so that
/// the battle is shrunk no more than it must be.
PictureSize choosePictureSize(int areaW, int areaH, int scale);

/// The largest whole factor (1 to CHOSEN_SCALE_MAX) at which the smallest chosen picture
/// (BATTLEFIELD_W x BATTLE_H) still fits an area of `areaW` x `areaH` pixels whole: 2 for
/// the one window on a 3840x2160 screen, 1 on 1920x1080, so that a dense screen shows the
/// battle large without asking.
int chooseScale(int areaW, int areaH);

} // namespace gs
