#include "app/file_filter.h"

#include <algorithm>

#include "engine/text/text_util.h"
#include "app/texts.h"

namespace quillow {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// A filter-list pattern as a Qt wildcard that matches the same names.
std::string qtPattern(std::string_view pattern)
{
    if (pattern == "*.*")
        return "*";
    std::string out;
    bool inClass = false;  // inside [...], letters are left alone
    for (char c : pattern) {
        if (c == '[')
            inClass = true;
        else if (c == ']')
            inClass = false;
        if (!inClass && isAsciiLetter(c)) {
            out += '[';
            out += asciiLower(c);
            out += asciiUpper(c);
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), asciiLower);
    return out;
}

// The extension without a leading dot; empty means none.
std::string_view bareExtension(std::string_view ext)
{
    ext = trimBlanks(ext);
    while (!ext.empty() && ext.front() == '.')
        ext.remove_prefix(1);
    return ext;
}

}  // namespace

std::vector<NameFilter> parseFilterList(std::string_view filter)
{
    std::vector<NameFilter> entries;
    const std::vector<std::string_view> parts = split(filter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty())
            break;
        NameFilter entry;
        entry.description = std::string(trimBlanks(parts[i]));
        for (std::string_view p : split(parts[i + 1], ';')) {
            p = trimBlanks(p);
            if (!p.empty())
                entry.patterns.emplace_back(p);
        }
        if (entry.patterns.empty())
            break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string toQtNameFilter(const NameFilter& entry)
{
    std::string patterns;
    for (const std::string& p : entry.patterns) {
        if (!patterns.empty())
            patterns += ' ';
        patterns += qtPattern(p);
    }
    std::string description = entry.description.empty() ? std::string("*") : entry.description;
    return description + " (" + patterns + ")";
}

std::vector<std::string> toQtNameFilters(std::string_view filter)
{
    std::vector<std::string> out;
    for (const NameFilter& entry : parseFilterList(filter))
        out.push_back(toQtNameFilter(entry));
    return out;
}

bool hasExtension(std::string_view path)
{
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return name.find('.') != std::string_view::npos;
}

bool runFileDialog(FileDialogKind kind, FileDialogRequest& request, const FileDialogSteps& steps)
{
    const std::string_view ext = bareExtension(request.defaultExt);
    std::string startName = request.fileName;
    int filterIndex = request.filterIndex;
    for (;;) {
        std::optional<std::string> chosen = steps.choose(startName, filterIndex);
        if (!chosen || chosen->empty())
            break;
        std::string path = *chosen;
        if (kind == FileDialogKind::Open) {
            if (!ext.empty() && !hasExtension(path) && !steps.fileExists(path)) {
                for (const std::string& candidate : {path + "." + lowered(ext), path + "." + std::string(ext)}) {
                    if (steps.fileExists(candidate)) {
                        path = candidate;
                        break;
                    }
                }
            }
            if (request.mustExist && !steps.fileExists(path)) {
                steps.reportMissing(path);
                startName = *chosen;
                continue;
            }
        } else {
            if (!ext.empty() && !hasExtension(path))
                path += "." + lowered(ext);
            if (request.overwritePrompt && steps.fileExists(path) && !steps.confirmOverwrite(path)) {
                startName = path;
                continue;
            }
        }
        request.fileName = path;
        request.filterIndex = filterIndex;
        return true;
    }
    request.fileName.clear();
    request.filterIndex = kind == FileDialogKind::Open ? -1 : 0;
    return false;
}

FileDialogRequest textFileDialog(const std::string& startName)
{
    FileDialogRequest r;
    r.fileName = startName;
    r.filter = text::translated(text::kFileFilter);
    r.filterIndex = 1;
    r.defaultExt = "TXT";
    return r;
}

}  // namespace quillow
