#include "authoring/quizAssembly.h"

#include <algorithm>
#include <cstring>

#include "authoring/messages.h"
#include "authoring/quizCheck.h"
#include "authoring/quizFields.h"
#include "authoring/quizNames.h"
#include "authoring/windows1252.h"
#include "pictures/pictureFormat.h"
#include "quiz/lzw.h"
#include "quiz/quizLayout.h"
#include "resources/resource.h"

namespace {

bool startsWith(const std::vector<uint8_t>& bytes, size_t at, const char* text, size_t length) {
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, text, length) == 0;
}

PictureDecoder decoderOf(const std::vector<uint8_t>& bytes) {
    return pictureDecoderFor(bytes.data(), bytes.size());
}

std::vector<uint8_t> encoded(const std::vector<uint8_t>& layout, int32_t& result) {
    uint8_t* stream = nullptr;
    int32_t length = 0;
    result = lzwEncode(layout.data(), static_cast<uint32_t>(layout.size()), &stream, &length);
    std::vector<uint8_t> out;
    if (result == lzwOk) {
        out.assign(stream, stream + (length - 1));
        // The player must read back exactly these bytes; a stream that does
        // not would be a fault of the codec, not of the quiz.
        uint8_t* decoded = nullptr;
        int32_t decodedLength = 0;
        if (lzwDecode(out.data(), static_cast<uint32_t>(out.size()), &decoded, &decodedLength) != lzwOk ||
            static_cast<size_t>(decodedLength - 2) != layout.size() ||
            std::memcmp(decoded, layout.data(), layout.size()) != 0) {
            result = lzwErrorStream;
            out.clear();
        }
        lzwFree(decoded);
    }
    lzwFree(stream);
    return out;
}

// The layout's values through the table of fields, so that a new one is carried too.
QuizSource layoutSource(const QuizModel& model) {
    QuizSource source;
    for (int i = 0; i < fieldCount(); ++i) copyToLayout(fieldTable()[i], model, source);
    for (const ModelQuestion& q : model.questions) {
        QuizSourceQuestion question;
        for (int i = 0; i < fieldCount(); ++i) copyToLayout(fieldTable()[i], q, question);
        source.questions.push_back(std::move(question));
    }
    return source;
}

void fail(std::vector<ModelProblem>& problems, ModelField field, int question, std::string message) {
    ModelProblem problem;
    problem.field = field;
    problem.question = question;
    problem.message = std::move(message);
    problems.push_back(std::move(problem));
}

// Reads one question's media into resources; false after a problem.
bool addMedia(const QuizModel& model, size_t index, const std::string& sourceFile, const FileReader& readFile,
              const PngChecker& pngReadable, std::vector<PackedResource>& resources,
              std::vector<ModelProblem>& problems) {
    const ModelQuestion& question = model.questions[index];
    const uint16_t n = static_cast<uint16_t>(index + 1);
    const struct {
        ModelField field;
        const std::string& path;
        uint16_t id;
        bool picture;
    } slots[] = {
        {ModelField::picture, question.picture, static_cast<uint16_t>(pictureResourceBase + n), true},
        {ModelField::solution, question.solution, static_cast<uint16_t>(solutionResourceBase + n), true},
        {ModelField::clip, question.clip, static_cast<uint16_t>(pictureResourceBase + n), false},
    };
    bool ok = true;
    const int at = static_cast<int>(index);
    for (const auto& slot : slots) {
        if (slot.path.empty()) continue;
        const std::string path = mediaPath(sourceFile, slot.path);
        std::vector<uint8_t> bytes;
        const std::string problem = mediaProblem(path, slot.picture, readFile, pngReadable, bytes);
        if (!problem.empty()) {
            fail(problems, slot.field, at, problem);
            ok = false;
        } else {
            // The resource type tells the player which decoder to use.
            const bool ours = slot.picture && decoderOf(bytes) == PictureDecoder::png;
            const ResourceKind kind = ours ? ResourceKind::rcdata : ResourceKind::img;
            resources.push_back({kind, slot.id, std::move(bytes)});
        }
    }
    return ok;
}

bool decodeResource(const PackedResource* resource, std::vector<uint8_t>& bytes) {
    if (!resource || resource->data.empty()) return false;
    uint8_t* decoded = nullptr;
    int32_t length = 0;
    const int32_t result =
        lzwDecode(resource->data.data(), static_cast<uint32_t>(resource->data.size()), &decoded, &length);
    if (result == lzwOk) bytes.assign(decoded, decoded + (length - 2));
    lzwFree(decoded);
    return result == lzwOk;
}

const PackedResource* pictureOf(const std::vector<PackedResource>& resources, uint16_t id) {
    const PackedResource* found = findResource(resources, ResourceKind::img, id);
    return found ? found : findResource(resources, ResourceKind::rcdata, id);
}

// A checked text always converts; anything else would have been a problem.
std::string ansi(const std::string& utf8) {
    std::string out;
    utf8ToWindows1252(utf8, out);
    return out;
}

// The boxes that accept other answers, each field of accepted answers a slot in the table's order.
std::vector<OtherAnswers> otherAnswersOf(const QuizModel& model) {
    std::vector<OtherAnswers> boxes;
    for (size_t n = 0; n < model.questions.size(); ++n) {
        int slot = 0;
        for (int i = 0; i < fieldCount(); ++i) {
            const FieldInfo& info = fieldTable()[i];
            if (!info.questionOthers) continue;
            ++slot;
            const std::vector<std::string>& texts = model.questions[n].*info.questionOthers;
            if (texts.empty()) continue;
            OtherAnswers box;
            box.question = static_cast<int>(n) + 1;
            box.slot = slot;
            for (const std::string& text : texts) box.texts.push_back(ansi(text));
            boxes.push_back(std::move(box));
        }
    }
    return boxes;
}

// The other accepted answers of resource 107, when it parses whole.
void readOtherAnswersInto(const std::vector<PackedResource>& resources, QuizModel& model) {
    std::vector<uint8_t> bytes;
    std::vector<OtherAnswers> boxes;
    if (!decodeResource(findResource(resources, ResourceKind::patch, otherAnswersResourceId), bytes) ||
        !parseOtherAnswers(bytes.data(), bytes.size(), static_cast<int>(model.questions.size()), boxes)) {
        return;
    }
    for (const OtherAnswers& box : boxes) {
        int slot = 0;
        for (int i = 0; i < fieldCount(); ++i) {
            const FieldInfo& info = fieldTable()[i];
            if (!info.questionOthers || ++slot != box.slot) continue;
            std::vector<std::string>& texts = model.questions[box.question - 1].*info.questionOthers;
            texts.clear();
            for (const std::string& text : box.texts) texts.push_back(windows1252ToUtf8(text));
        }
    }
}

}  // namespace

bool isPngFile(const std::vector<uint8_t>& bytes) {
    return decoderOf(bytes) == PictureDecoder::png;
}

std::string mediaProblem(const std::string& path, bool picture, const FileReader& readFile,
                         const PngChecker& pngReadable, std::vector<uint8_t>& bytes) {
    if (!readFile || !readFile(path, bytes)) return messageText(Message::cannotReadMedia, {path});
    if (bytes.empty()) return messageText(Message::emptyMedia, {path});
    const PictureDecoder decoder = decoderOf(bytes);
    if (picture && decoder == PictureDecoder::png && pngReadable && !pngReadable(bytes)) {
        return messageText(Message::pngRefused, {path});
    }
    if (picture && decoder == PictureDecoder::none) return messageText(Message::notAPicture, {path});
    return "";
}

bool playerReadsPng(const std::vector<uint8_t>& bytes) {
    return isPngFile(bytes) && playerReadsPicture(bytes.data(), bytes.size());
}

const char* mediaExtension(const std::vector<uint8_t>& bytes, int32_t kind) {
    if (const char* picture = pictureFormat(bytes.data(), bytes.size()).extension) return picture;
    if (startsWith(bytes, 0, "RIFF", 4) && startsWith(bytes, 8, "WAVE", 4)) return "wav";
    if (startsWith(bytes, 0, "RIFF", 4) && startsWith(bytes, 8, "AVI ", 4)) return "avi";
    if (startsWith(bytes, 0, "ID3", 3) || (bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0)) {
        return "mp3";
    }
    if (startsWith(bytes, 0, "OggS", 4)) return "ogg";
    if (startsWith(bytes, 4, "ftyp", 4)) return "mp4";
    if (startsWith(bytes, 0, "\x30\x26\xB2\x75", 4)) return kind == kindVideo ? "wmv" : "wma";
    if (kind == kindAudio) return "mp3";
    if (kind == kindVideo) return "avi";
    return "bin";
}

bool assembleQuiz(const QuizModel& model, const std::string& sourceFile, const FileReader& readFile,
                  const PngChecker& pngReadable, std::vector<PackedResource>& out,
                  std::vector<ModelProblem>& problems) {
    std::vector<ModelProblem> found = checkQuiz(model);
    // A warning stops nothing: the front-ends show it from the check.
    found.erase(std::remove_if(found.begin(), found.end(), [](const ModelProblem& p) { return p.warning; }),
                found.end());
    if (!found.empty()) {
        problems.insert(problems.end(), found.begin(), found.end());
        return false;
    }
    const QuizSource source = layoutSource(model);
    std::vector<PackedResource> resources;
    int32_t result = 0;
    const std::vector<uint8_t> layout = writeQuizLayout(source);
    std::vector<uint8_t> quizStream = encoded(layout, result);
    if (result != lzwOk) {
        fail(found, ModelField::none, -1,
             messageText(Message::textsTooLarge, {std::to_string(layout.size()), std::to_string(result)}));
    }
    std::vector<uint8_t> codesStream = encoded(writeRewardCodes(source), result);
    if (result != lzwOk) {
        fail(found, ModelField::rewardCodes, -1, messageText(Message::codesTooLarge, {std::to_string(result)}));
    }
    resources.push_back({ResourceKind::patch, quizResourceId, std::move(quizStream)});
    resources.push_back({ResourceKind::patch, codesResourceId, std::move(codesStream)});
    if (!model.link.empty()) {
        std::vector<uint8_t> linkStream = encoded(std::vector<uint8_t>(model.link.begin(), model.link.end()), result);
        if (result != lzwOk) {
            fail(found, ModelField::link, -1,
                 messageText(Message::textsTooLarge, {std::to_string(model.link.size()), std::to_string(result)}));
        }
        resources.push_back({ResourceKind::patch, quizLinkResourceId, std::move(linkStream)});
    }
    // Only a quiz with other accepted answers carries 107: every other quiz stays as it was, byte for byte.
    const std::vector<OtherAnswers> others = otherAnswersOf(model);
    if (!others.empty()) {
        const std::vector<uint8_t> layout107 = writeOtherAnswers(others);
        std::vector<uint8_t> othersStream = encoded(layout107, result);
        if (result != lzwOk) {
            fail(found, ModelField::answer, -1,
                 messageText(Message::textsTooLarge, {std::to_string(layout107.size()), std::to_string(result)}));
        }
        resources.push_back({ResourceKind::patch, otherAnswersResourceId, std::move(othersStream)});
    }
    for (size_t i = 0; i < model.questions.size(); ++i) {
        addMedia(model, i, sourceFile, readFile, pngReadable, resources, found);
    }
    if (!found.empty()) {
        problems.insert(problems.end(), found.begin(), found.end());
        return false;
    }
    out = std::move(resources);
    return true;
}

const PackedResource* findResource(const std::vector<PackedResource>& resources, ResourceKind kind, uint16_t id) {
    for (const PackedResource& resource : resources) {
        if (resource.kind == kind && resource.id == id) return &resource;
    }
    return nullptr;
}

bool extractQuiz(const std::vector<PackedResource>& resources, const std::string& mediaPrefix, ExtractedQuiz& out,
                 std::string& error) {
    const PackedResource* quiz = findResource(resources, ResourceKind::patch, quizResourceId);
    std::vector<uint8_t> layout, codes;
    if (!quiz) {
        error = messageText(Message::noQuizResource);
        return false;
    }
    if (!decodeResource(quiz, layout)) {
        error = messageText(Message::quizUndecodable);
        return false;
    }
    const bool haveCodes = decodeResource(findResource(resources, ResourceKind::patch, codesResourceId), codes);
    QuizSource source;
    if (!readQuizSource(layout.data(), layout.size(), haveCodes ? codes.data() : nullptr, codes.size(), source)) {
        error = messageText(Message::quizMalformed);
        return false;
    }
    if (source.kind < 0 || source.kind >= kindNameCount) {
        error = messageText(Message::kindUnnamed, {std::to_string(source.kind)});
        return false;
    }
    if (source.answersPerQuestion != 1 && source.answersPerQuestion != 2) {
        error = messageText(Message::answersUnsupported, {std::to_string(source.answersPerQuestion)});
        return false;
    }
    if (source.revealMode < 0 || source.revealMode >= revealNameCount) {
        error = messageText(Message::revealUnnamed, {std::to_string(source.revealMode)});
        return false;
    }

    ExtractedQuiz result;
    result.rewardCodesFound = haveCodes;
    QuizModel& model = result.model;
    // Without its codes a quiz gets one empty code per score, for the author to fill.
    if (!haveCodes) source.rewardCodes.assign(source.questions.size(), std::string());
    // Every value the layout carries, through the table of fields.
    for (int i = 0; i < fieldCount(); ++i) copyFromLayout(fieldTable()[i], source, model);
    std::vector<uint8_t> link;
    if (decodeResource(findResource(resources, ResourceKind::patch, quizLinkResourceId), link)) {
        const std::string address(link.begin(), link.end());
        if (isWebAddress(address)) model.link = address;
    }
    const bool pictures = source.kind == kindPictures;
    const bool clips = source.kind == kindAudio || source.kind == kindVideo;
    for (size_t i = 0; i < source.questions.size(); ++i) {
        const QuizSourceQuestion& q = source.questions[i];
        ModelQuestion question;
        for (int f = 0; f < fieldCount(); ++f) copyFromLayout(fieldTable()[f], q, question);
        const uint16_t n = static_cast<uint16_t>(i + 1);
        const struct {
            std::string& path;
            const PackedResource* resource;
        } slots[] = {
            {question.picture, pictures ? pictureOf(resources, pictureResourceBase + n) : nullptr},
            {question.solution, pictures && revealShowsPicture(source.revealMode)
                                    ? pictureOf(resources, solutionResourceBase + n)
                                    : nullptr},
            {question.clip, clips ? findResource(resources, ResourceKind::img, pictureResourceBase + n) : nullptr},
        };
        for (const auto& slot : slots) {
            if (!slot.resource) continue;
            const std::string name =
                std::to_string(slot.resource->id) + "." + mediaExtension(slot.resource->data, source.kind);
            result.files.push_back({name, &slot.resource->data});
            slot.path = mediaPrefix + name;
        }
        model.questions.push_back(std::move(question));
    }
    readOtherAnswersInto(resources, model);
    out = std::move(result);
    return true;
}
