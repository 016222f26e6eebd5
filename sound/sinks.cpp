#include "sound/sound.h"

namespace gs {

SoundSink& silentSink() {
    static SoundSink silent;
    return silent;
}

} // namespace gs
