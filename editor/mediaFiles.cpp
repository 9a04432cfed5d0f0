#include "editor/mediaFiles.h"

#include <algorithm>
#include <set>

#include "authoring/quizFields.h"
#include "quiz/quiz.h"

namespace {

// "photo.png" with n 2 gives "photo-2.png".
std::string numberedName(const std::string& name, int n) {
    const size_t dot = name.find_last_of('.');
    const std::string suffix = "-" + std::to_string(n);
    if (dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

bool questionIsEmpty(const ModelQuestion& question) {
    return question == ModelQuestion();
}

}  // namespace

std::string pickedMediaPath(const std::string& sourceFile, const std::string& picked) {
    const std::string relative = relativeInside(folderOf(sourceFile), picked);
    return relative.empty() ? normalisedPath(picked) : relative;
}

std::vector<MediaCopy> planMediaCopies(QuizModel& model, const std::string& oldSource, const std::string& target,
                                       const std::function<bool(const std::string& path)>& exists) {
    const std::string folder = folderOf(target);
    const std::string oldFolder = oldSource.empty() ? folder : folderOf(oldSource);
    const std::string mediaFolder = mediaFolderName(target);
    std::vector<MediaCopy> copies;
    std::vector<std::pair<std::string, std::string>> given;  // lowered full path -> path in the model
    std::set<std::string> namesTaken;                        // lowered names in the media folder
    for (ModelQuestion& question : model.questions) {
        for (int field = 0; field < fieldCount(); ++field) {
            const FieldInfo& info = fieldTable()[field];
            if (!info.media) continue;
            std::string& path = question.*info.questionText;
            if (path.empty()) continue;
            if (!isAbsolutePath(path) && oldFolder.empty()) continue;
            const std::string full = normalisedPath(isAbsolutePath(path) ? path : oldFolder + path);
            const std::string inside = relativeInside(folder, full);
            if (!inside.empty()) {
                path = inside;
                continue;
            }
            const std::string key = loweredAscii(full);
            auto known = std::find_if(given.begin(), given.end(), [&](const auto& g) { return g.first == key; });
            if (known != given.end()) {
                path = known->second;
                continue;
            }
            const std::string name = fileName(full);
            std::string chosen = name;
            for (int n = 2;
                 namesTaken.count(loweredAscii(chosen)) || (exists && exists(folder + mediaFolder + "\\" + chosen));
                 ++n) {
                chosen = numberedName(name, n);
            }
            namesTaken.insert(loweredAscii(chosen));
            copies.push_back({full, folder + mediaFolder + "\\" + chosen});
            path = mediaFolder + "/" + chosen;
            given.emplace_back(key, path);
        }
    }
    return copies;
}

DroppedKind droppedKind(const std::string& path) {
    static const struct {
        const char* extension;
        DroppedKind kind;
    } known[] = {
        {"toml", DroppedKind::source}, {"exe", DroppedKind::packed},   {"png", DroppedKind::picture},
        {"jpg", DroppedKind::picture}, {"jpeg", DroppedKind::picture}, {"gif", DroppedKind::picture},
        {"bmp", DroppedKind::picture}, {"ico", DroppedKind::picture},  {"wmf", DroppedKind::picture},
        {"emf", DroppedKind::picture}, {"mp3", DroppedKind::audio},    {"wav", DroppedKind::audio},
        {"wma", DroppedKind::audio},   {"ogg", DroppedKind::audio},    {"mid", DroppedKind::audio},
        {"midi", DroppedKind::audio},  {"avi", DroppedKind::video},    {"mpg", DroppedKind::video},
        {"mpeg", DroppedKind::video},  {"wmv", DroppedKind::video},    {"mp4", DroppedKind::video},
        {"csv", DroppedKind::table},   {"gift", DroppedKind::table},   {"xml", DroppedKind::table},
    };
    const std::string extension = extensionOf(path);
    for (const auto& k : known) {
        if (extension == k.extension) return k.kind;
    }
    return DroppedKind::other;
}

bool comesBefore(const std::string& a, const std::string& b) {
    const std::string x = loweredAscii(fileName(a));
    const std::string y = loweredAscii(fileName(b));
    size_t i = 0, j = 0;
    while (i < x.size() && j < y.size()) {
        const bool digitX = x[i] >= '0' && x[i] <= '9';
        const bool digitY = y[j] >= '0' && y[j] <= '9';
        if (digitX && digitY) {
            // Compared by value: leading zeros skipped, then the longer run is the larger.
            size_t endX = i, endY = j;
            while (endX < x.size() && x[endX] >= '0' && x[endX] <= '9') ++endX;
            while (endY < y.size() && y[endY] >= '0' && y[endY] <= '9') ++endY;
            size_t startX = i, startY = j;
            while (startX + 1 < endX && x[startX] == '0') ++startX;
            while (startY + 1 < endY && y[startY] == '0') ++startY;
            if (endX - startX != endY - startY) return endX - startX < endY - startY;
            const int order = x.compare(startX, endX - startX, y, startY, endY - startY);
            if (order != 0) return order < 0;
            i = endX;
            j = endY;
            continue;
        }
        if (x[i] != y[j]) return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[j]);
        ++i;
        ++j;
    }
    if (x.size() - i != y.size() - j) return x.size() - i < y.size() - j;
    return a < b;  // the same name by this measure: any fixed order
}

DropOutcome addDroppedMedia(EditorDocument& document, std::vector<std::string> files) {
    DropOutcome outcome;
    std::stable_sort(files.begin(), files.end(), comesBefore);
    QuizModel& model = document.model;
    const bool blank = std::all_of(model.questions.begin(), model.questions.end(), questionIsEmpty);
    const bool mediaKind = model.kind == kindPictures || model.kind == kindAudio || model.kind == kindVideo;
    if (blank && !mediaKind) {
        int counts[3] = {};  // pictures, sounds, videos
        for (const std::string& file : files) {
            const DroppedKind kind = droppedKind(file);
            if (kind == DroppedKind::picture) ++counts[0];
            if (kind == DroppedKind::audio) ++counts[1];
            if (kind == DroppedKind::video) ++counts[2];
        }
        const int most = counts[0] >= counts[1] && counts[0] >= counts[2] ? 0 : counts[1] >= counts[2] ? 1 : 2;
        if (counts[most] > 0) model.kind = most == 0 ? kindPictures : most == 1 ? kindAudio : kindVideo;
    }
    const DroppedKind wanted = model.kind == kindPictures ? DroppedKind::picture
                               : model.kind == kindAudio  ? DroppedKind::audio
                               : model.kind == kindVideo  ? DroppedKind::video
                                                          : DroppedKind::other;
    size_t next = model.questions.size();
    while (next > 0 && questionIsEmpty(model.questions[next - 1])) --next;
    for (const std::string& file : files) {
        if (wanted == DroppedKind::other || droppedKind(file) != wanted ||
            (next >= model.questions.size() && model.questions.size() >= maxModelQuestions)) {
            ++outcome.skipped;
            continue;
        }
        if (next >= model.questions.size()) model.questions.emplace_back();
        ModelQuestion& question = model.questions[next];
        (wanted == DroppedKind::picture ? question.picture : question.clip) = pickedMediaPath(document.path, file);
        if (outcome.added == 0) document.selected = static_cast<int>(next);
        ++next;
        ++outcome.added;
    }
    return outcome;
}

std::string copiedNotice(size_t files, const std::string& folder) {
    const bool many = files > 1;
    return std::to_string(files) + (many ? u8" fichiers copi\u00E9s" : u8" fichier copi\u00E9") + " dans " + folder;
}

std::string droppedNotice(const DropOutcome& outcome) {
    std::string text =
        std::to_string(outcome.added) + (outcome.added > 1 ? u8" questions ajout\u00E9es" : u8" question ajout\u00E9e");
    if (outcome.skipped > 0) {
        text += ", " + std::to_string(outcome.skipped) +
                (outcome.skipped > 1 ? u8" fichiers laiss\u00E9s de c\u00F4t\u00E9"
                                     : u8" fichier laiss\u00E9 de c\u00F4t\u00E9");
    }
    return text;
}
