#include "DataPath.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace kw27 {
namespace {

namespace fs = std::filesystem;

// Only ASCII letters fold: the programs' names differ from the files on disk in that way
// alone, and bytes of UTF-8 sequences must compare exactly.
bool equalsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::vector<std::string> splitComponents(const std::string& name) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : name) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    return parts;
}

// The entry of dir that component names: itself when it exists as spelled, otherwise the
// first (in byte order, so the answer does not depend on the directory's listing order) of
// the entries that differ from it only in ASCII letter case. Empty when there is none.
std::string matchEntry(const fs::path& dir, const std::string& component) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(dir / component, ec)))
        return component;
    std::string best;
    fs::directory_iterator it(dir, ec);
    if (ec)
        return best;
    for (const fs::directory_entry& entry : it) {
        std::string entryName = entry.path().filename().string();
        if (equalsIgnoringAsciiCase(entryName, component) && (best.empty() || entryName < best))
            best = std::move(entryName);
    }
    return best;
}

} // namespace

fs::path resolveDataPath(const QString& name) {
    const std::string utf8 = name.toStdString();
    const bool absolute = !utf8.empty() && (utf8.front() == '\\' || utf8.front() == '/');
    std::error_code ec;
    fs::path result = absolute ? fs::path("/") : fs::current_path(ec);
    if (ec)
        result = fs::path(".");

    const std::vector<std::string> parts = splitComponents(utf8);
    bool matching = true;
    for (const std::string& part : parts) {
        // "." and ".." are not directory entries; the file system itself resolves them.
        if (!matching || part == "." || part == "..") {
            result /= part;
            continue;
        }
        const std::string entry = matchEntry(result, part);
        if (entry.empty()) {
            matching = false;
            result /= part;
        } else {
            result /= entry;
        }
    }
    return result;
}

} // namespace kw27
