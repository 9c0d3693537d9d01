// The page of a snapshot folder: index.html shows every snapshot taken in
// the run, in the order taken, one section a snapshot with its panel
// windows' pictures side by side under their titles, so that the whole
// flight is seen in a browser from one page. Plain static HTML with relative
// links; no scripts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "zu/simhost/gauge_renderer.h"

namespace zu::simhost {

class SnapshotIndex {
  public:
    struct Stage {
        std::string name;  // the snapshot's name
        std::vector<GaugeRenderer::WindowPicture> pictures;
    };

    // Records a snapshot's window pictures (a name taken again keeps its
    // place and shows the new pictures) and writes DIR/index.html whole;
    // false with `error` when it cannot be written.
    bool Add(const std::filesystem::path& dir, const std::string& name,
             std::vector<GaugeRenderer::WindowPicture> pictures, std::string* error);

    const std::vector<Stage>& stages() const { return stages_; }

    // The page for these stages.
    static std::string Html(const std::vector<Stage>& stages);

  private:
    std::vector<Stage> stages_;
};

}  // namespace zu::simhost
