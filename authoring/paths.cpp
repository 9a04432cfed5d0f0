#include "authoring/paths.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where the file name starts: after the last separator or a drive's colon.
size_t fileNameStart(const std::string& path) {
    const size_t slash = path.find_last_of("/\\:");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

bool isAbsolutePath(const std::string& path) {
    return (!path.empty() && isSeparator(path[0])) || (path.size() >= 2 && path[1] == ':');
}

std::string fileName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderOf(const std::string& file) {
    const size_t slash = file.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

std::string fileStem(const std::string& path) {
    const std::string name = path.substr(fileNameStart(path));
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string withExtension(const std::string& path, const char* extension) {
    const size_t dot = path.find_last_of('.');
    const bool hasDot = dot != std::string::npos && dot >= fileNameStart(path);
    return (hasDot ? path.substr(0, dot) : path) + extension;
}

bool hasExtension(const std::string& path, const char* extension) {
    const size_t length = std::strlen(extension);
    const size_t start = fileNameStart(path);
    // A name that is only the extension (".toml") names no source.
    if (path.size() - start <= length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (lowerAscii(path[path.size() - length + i]) != lowerAscii(extension[i])) return false;
    }
    return true;
}

std::string extensionOf(const std::string& path) {
    const std::string name = fileName(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : loweredAscii(name.substr(dot + 1));
}

std::string loweredAscii(std::string text) {
    for (char& c : text) c = lowerAscii(c);
    return text;
}

std::string normalisedPath(const std::string& path) {
    std::string prefix;
    size_t at = 0;
    if (path.size() >= 2 && path[1] == ':') {
        prefix = path.substr(0, 2);
        at = 2;
    } else if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        prefix = "\\";  // a network path: "\\" and the server's name as first segment
        at = 1;
    }
    const bool rooted = at < path.size() && isSeparator(path[at]);
    if (rooted) prefix += "\\";
    std::vector<std::string> segments;
    size_t start = at;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty() && segments.back() != "..") {
                segments.pop_back();
            } else if (!rooted) {
                segments.push_back(segment);
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string out = prefix;
    for (size_t i = 0; i < segments.size(); ++i) out += (i ? "\\" : "") + segments[i];
    return out;
}

std::string relativeInside(const std::string& folder, const std::string& file) {
    if (folder.empty()) return "";
    std::string base = normalisedPath(folder);
    if (base.empty()) return "";
    if (base.back() != '\\') base += '\\';
    const std::string full = normalisedPath(file);
    if (full.size() <= base.size() || loweredAscii(full.substr(0, base.size())) != loweredAscii(base)) return "";
    std::string relative = full.substr(base.size());
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return relative;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder + (isSeparator(folder.back()) ? "" : "\\") + name;
}

std::string windowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string mediaPath(const std::string& sourceFile, const std::string& relative) {
    if (isAbsolutePath(relative)) return relative;
    return folderOf(sourceFile) + relative;
}

std::string mediaFolderName(const std::string& sourceFile) {
    const std::string name = fileName(sourceFile);
    const size_t dot = name.find_last_of('.');
    return (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + "-media";
}
