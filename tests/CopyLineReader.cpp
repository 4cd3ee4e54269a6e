#include "CopyLineReader.h"

#include <stdexcept>

namespace testsupport {

namespace {

struct Word {
    std::string text;
    bool quoted = false;
    bool isPlus() const { return text == "+" && !quoted; }
};

std::vector<Word> words(const std::string& line)
{
    std::vector<Word> result(1);
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            result.back().quoted = true;
        } else if (c == ' ' && !inQuotes) {
            result.emplace_back();
        } else if (c == '%') {
            if (i + 1 == line.size() || line[++i] != '%')
                throw std::runtime_error("a lone % in: " + line);
            result.back().text += '%';
        } else {
            result.back().text += c;
        }
    }
    if (inQuotes)
        throw std::runtime_error("an open quote in: " + line);
    return result;
}

} // namespace

ReadScript readScript(const std::string& script)
{
    ReadScript read;
    for (std::size_t start = 0; start < script.size();) {
        const auto end = script.find("\r\n", start);
        if (end == std::string::npos)
            throw std::runtime_error("a line without CR LF");
        const std::string line = script.substr(start, end - start);
        start = end + 2;
        if (!line.starts_with("copy /b "))
            continue;  // the script's checks around its copy command
        const auto w = words(line);
        if (w.size() < 3 || w[0].text != "copy" || w[1].text != "/b" || w[0].quoted || w[1].quoted)
            throw std::runtime_error("not a copy /b line: " + line);
        std::vector<std::string> sources{w[2].text};
        std::size_t i = 3;
        for (; i + 1 < w.size() && w[i].isPlus(); i += 2)
            sources.push_back(w[i + 1].text);
        if (read.target.empty()) {
            if (i + 1 != w.size() || w[i].isPlus())
                throw std::runtime_error("the first line names no single target: " + line);
            read.target = w[i].text;
            read.pieces = sources;
        } else {
            if (i != w.size() || sources.size() < 2 || sources.front() != read.target)
                throw std::runtime_error("a further line does not append to the target: " + line);
            read.pieces.insert(read.pieces.end(), sources.begin() + 1, sources.end());
        }
    }
    return read;
}

} // namespace testsupport
