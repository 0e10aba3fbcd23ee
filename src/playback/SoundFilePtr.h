#pragma once

#include <memory>

typedef struct sf_private_tag SNDFILE;

// Closes a sound file of libsndfile. Where the outcome of closing matters (a file being
// written), release it and close it by hand.
struct SoundFileCloser {
    void operator()(SNDFILE* file) const;
};

using SoundFilePtr = std::unique_ptr<SNDFILE, SoundFileCloser>;
