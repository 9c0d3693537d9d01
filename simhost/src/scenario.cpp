// Scenario parsing and running (see scenario.h).
#include "zu/simhost/scenario.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "text_util.h"
#include "zu/platform/files.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {

bool SplitScenarioWords(const std::string& line, std::vector<std::string>* words,
                        std::string* error, bool keep_quotes) {
    words->clear();
    std::string word;
    bool in_word = false;
    bool quoted = false;
    for (char c : line) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
                if (keep_quotes) word += c;
            } else {
                word += c;
            }
            continue;
        }
        if (c == '#') break;
        if (c == '"') {
            quoted = true;
            in_word = true;
            if (keep_quotes) word += c;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (in_word) words->push_back(std::move(word));
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (quoted) {
        *error = "a double quote is not closed";
        return false;
    }
    if (in_word) words->push_back(std::move(word));
    return true;
}

bool Scenario::Parse(const std::string& content, const std::string& source_name, Scenario* out,
                     std::string* error) {
    Scenario s;
    s.source_name_ = source_name;
    std::istringstream in(content);
    std::string line;
    int line_no = 0;
    while (std::getline(in, line)) {
        ++line_no;
        const std::string where = source_name + ":" + std::to_string(line_no) + ": ";
        std::vector<std::string> words;
        std::string problem;
        if (!SplitScenarioWords(line, &words, &problem)) {
            *error = where + problem;
            return false;
        }
        if (words.empty()) continue;
        if (words[0] != "at" || words.size() < 3) {
            *error = where + "expected 'at SECONDS COMMAND ...'";
            return false;
        }
        const auto at = text::ParseDouble(words[1]);
        if (!at || !(*at >= 0) || *at > 1e9) {
            *error = where + "'" + words[1] + "' is not a time in seconds (0 or more)";
            return false;
        }
        const std::string& verb_name = words[2];
        const ScenarioVerb* verb = nullptr;
        for (const ScenarioVerb& v : ScenarioVerbs()) {
            if (v.name == verb_name) verb = &v;
        }
        if (verb == nullptr) {
            std::string known;
            for (const ScenarioVerb& v : ScenarioVerbs())
                known += (known.empty() ? "" : ", ") + v.name;
            *error = where + "unknown command '" + verb_name + "' (commands: " + known + ")";
            return false;
        }
        std::vector<std::string> quoted_words;
        if (verb->quoted_words) SplitScenarioWords(line, &quoted_words, &problem, true);
        const std::vector<std::string>& given = verb->quoted_words ? quoted_words : words;
        const std::vector<std::string> args(given.begin() + 3, given.end());
        ScenarioAction action = verb->parse(args, &problem);
        if (!action) {
            *error = where + problem + " (usage: " + verb->usage + ")";
            return false;
        }
        ScenarioResult result;
        result.line = line_no;
        result.at = *at;
        for (size_t i = 2; i < words.size(); ++i) {
            if (i > 2) result.command += ' ';
            const bool needs_quotes =
                words[i].find_first_of(" \t") != std::string::npos || words[i].empty();
            result.command += needs_quotes ? "\"" + words[i] + "\"" : words[i];
        }
        Command c;
        c.at = *at;
        c.is_check = verb->is_check;
        c.action = std::move(action);
        if (verb->check) {
            c.check = [check = verb->check, args](Simulator& sim, std::string* what) {
                return check(args, sim, what);
            };
        }
        c.result = s.results_.size();
        s.results_.push_back(std::move(result));
        s.commands_.push_back(std::move(c));
    }
    std::stable_sort(s.commands_.begin(), s.commands_.end(),
                     [](const Command& a, const Command& b) { return a.at < b.at; });
    *out = std::move(s);
    return true;
}

bool Scenario::Load(const std::filesystem::path& file, Scenario* out, std::string* error) {
    std::string text;
    const platform::HostFileRead read = platform::ReadWholeHostFile(file.string(), &text);
    if (read.result != platform::HostFileRead::Result::kRead) {
        *error = "cannot read scenario " + file.string();
        if (read.result == platform::HostFileRead::Result::kNotRegular)
            *error += ": " + std::string(read.not_regular);
        return false;
    }
    return Parse(text, file.filename().string(), out, error);
}

std::vector<std::string> Scenario::CheckTargets(Simulator& sim) const {
    std::vector<std::pair<int, std::string>> found;
    for (const Command& c : commands_) {
        std::string problem;
        if (c.check && !c.check(sim, &problem))
            found.emplace_back(results_[c.result].line, problem);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> problems;
    for (const auto& [line, problem] : found) {
        problems.push_back(source_name_ + ":" + std::to_string(line) + ": " + problem);
    }
    return problems;
}

std::vector<std::string> Scenario::CommandsAfter(double end_seconds) const {
    std::vector<std::string> late;
    for (const ScenarioResult& r : results_) {
        // The same allowance as RunDue's.
        if (r.line == 0 || r.at <= end_seconds + 1e-9) continue;
        char at[32];
        std::snprintf(at, sizeof at, "%g", r.at);
        late.push_back(source_name_ + ":" + std::to_string(r.line) + ": at " + at +
                       " s: " + r.command);
    }
    return late;
}

double Scenario::LastTime() const {
    return commands_.empty() ? 0.0 : commands_.back().at;
}

std::vector<ScenarioResult> Scenario::RunDue(ScenarioContext& ctx, double now_seconds) {
    std::vector<ScenarioResult> ran;
    // A small allowance so that "at 0.1" runs in the frame that ends at 100 ms.
    while (next_ < commands_.size() && commands_[next_].at <= now_seconds + 1e-9) {
        Command& c = commands_[next_++];
        ScenarioResult& r = results_[c.result];
        r.ran = true;
        r.frame = ctx.sim.frame();
        r.ok = c.action(ctx, &r.message);
        ran.push_back(r);
    }
    return ran;
}

std::vector<ScenarioResult> Scenario::Finish() {
    std::vector<ScenarioResult> missed;
    for (; next_ < commands_.size(); ++next_) {
        Command& c = commands_[next_];
        ScenarioResult& r = results_[c.result];
        r.ok = !c.is_check;
        r.message = "never ran: the flight ended before its time";
        missed.push_back(r);
    }
    return missed;
}

void Scenario::RecordFailure(double at, uint64_t frame, const std::string& what,
                             const std::string& message) {
    ScenarioResult r;
    r.at = at;
    r.frame = frame;
    r.command = what;
    r.ran = true;
    r.ok = false;
    r.message = message;
    results_.push_back(std::move(r));
}

int Scenario::failures() const {
    int n = 0;
    for (const ScenarioResult& r : results_) n += r.ok ? 0 : 1;
    return n;
}

}  // namespace zu::simhost
