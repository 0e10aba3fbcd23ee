#include "playback/SoundFilePtr.h"

#include <sndfile.h>

void SoundFileCloser::operator()(SNDFILE* file) const {
    sf_close(file);
}
