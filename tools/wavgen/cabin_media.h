// The spoken and musical files of the sample aircraft: the ground-proximity
// and traffic voices and the cabin announcements, spoken by espeak-ng from
// the texts below, and a few short tunes for the cabin music, synthesised
// and written as MP3 files through libsndfile.
#pragma once

#include <filesystem>

namespace wavgen {

// The nine GPWS voices and "traffic, traffic" below `sound_root`
// ("computers/..."). False when one could not be spoken or written.
bool WriteVoices(const std::filesystem::path& sound_root);
// The eleven announcements below `entertainment/Announcements`.
bool WriteAnnouncements(const std::filesystem::path& entertainment);
// The tunes below `entertainment/Songs`.
bool WriteTunes(const std::filesystem::path& entertainment);

}  // namespace wavgen
