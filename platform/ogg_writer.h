#pragma once
// Writes Ogg Vorbis files: music made by the program's tools and test fixtures.
#include <string>
#include <vector>

namespace platform {

// Encodes interleaved samples (-1..1) of the given channel count and rate into a new file at
// a host path. False when the encoder refuses the layout or the file cannot be written.
bool WriteOggVorbis(const std::string& hostPath, const std::vector<float>& samples, int channels,
                    int rate);

}  // namespace platform
