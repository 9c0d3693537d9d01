// The snapshot folder's index.html (see snapshot_index.h).
#include "zu/simhost/snapshot_index.h"

#include <algorithm>
#include <utility>

#include "zu/platform/files.h"

namespace zu::simhost {

namespace fs = std::filesystem;

namespace {

// Text as HTML: the characters with a meaning in markup and in attribute
// values escaped.
std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A file name as a relative link: characters outside the unreserved set
// percent-encoded, so no name is read as a scheme, query or fragment.
std::string Link(const std::string& file) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : file) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return "./" + out;
}

const char kHead[] =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "<meta charset=\"utf-8\">\n"
    "<title>simhost snapshots</title>\n"
    "<style>\n"
    "body { font-family: sans-serif; background: #202226; color: #e8e8e8; margin: 1em; }\n"
    "a { color: #9cc8ff; }\n"
    "section { margin-bottom: 2em; }\n"
    ".row { display: flex; flex-wrap: nowrap; gap: 12px; align-items: flex-start;"
    " overflow-x: auto; }\n"
    "figure { margin: 0; flex: none; }\n"
    "figure img { display: block; max-height: 480px; width: auto; }\n"
    "figcaption { margin-top: 4px; font-size: 90%; }\n"
    "</style>\n"
    "</head>\n"
    "<body>\n"
    "<h1>simhost snapshots</h1>\n";

}  // namespace

std::string SnapshotIndex::Html(const std::vector<Stage>& stages) {
    std::string page = kHead;
    for (const Stage& stage : stages) {
        const std::string name = Escape(stage.name);
        page += "<section>\n";
        page += "<h2>" + name + "</h2>\n<div class=\"row\">\n";
        for (const GaugeRenderer::WindowPicture& p : stage.pictures) {
            const std::string title = Escape(p.title.empty() ? p.file : p.title);
            const std::string link = Escape(Link(p.file));
            page += "<figure><a href=\"" + link + "\"><img src=\"" + link + "\" alt=\"" + name +
                    ": " + title + "\"></a><figcaption>" + title + "</figcaption></figure>\n";
        }
        page += "</div>\n</section>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

bool SnapshotIndex::Add(const fs::path& dir, const std::string& name,
                        std::vector<GaugeRenderer::WindowPicture> pictures, std::string* error) {
    auto it = std::find_if(stages_.begin(), stages_.end(),
                           [&](const Stage& s) { return s.name == name; });
    if (it != stages_.end()) {
        it->pictures = std::move(pictures);
    } else {
        stages_.push_back({name, std::move(pictures)});
    }
    const fs::path file = dir / "index.html";
    // Written whole or not at all: a browser never shows half a page.
    const std::string page = Html(stages_);
    const platform::WholeFileWrite written =
        platform::WriteWholeHostFile(file.string(), page.data(), page.size(), false);
    if (!written) {
        *error = "cannot write " + file.string() + ": " + written.Describe();
        return false;
    }
    return true;
}

}  // namespace zu::simhost
