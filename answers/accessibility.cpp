#include "answers/accessibility.h"

#include <cstdio>
#include <cstring>

#include "answers/verdict.h"
#include "resources/resource.h"

namespace {

int boxCount(const Quiz& quiz) {
    const int perQuestion = effectiveAnswersPerQuestion(quiz);
    return quiz.questionCount > 0 && (perQuestion == 1 || perQuestion == 2) ? quiz.questionCount * perQuestion : 0;
}

bool isMediaKind(const Quiz& quiz) {
    return quiz.kind == kindAudio || quiz.kind == kindVideo;
}

std::string numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// A caption as the label shows it, without the spaces and the colon around it.
std::string bareCaption(const char* caption) {
    std::string text(caption, strnlen(caption, quizTextSize - 1));
    const auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && (isSpace(text.back()) || text.back() == ':')) text.pop_back();
    size_t start = 0;
    while (start < text.size() && isSpace(text[start])) ++start;
    return text.substr(start);
}

std::string boxName(const Quiz& quiz, int question, int slot) {
    std::string name = numbered("Question ", question);
    if (effectiveAnswersPerQuestion(quiz) != 2) return name;
    const std::string caption = bareCaption(slot == 2 ? quiz.answerCaption2 : quiz.answerCaption1);
    return name + ", " + (caption.empty() ? numbered("r\xE9ponse ", slot) : caption);
}

// What the question shows: its prompt on the text sheet, its medium elsewhere.
std::string boxSubject(const Quiz& quiz, int question) {
    switch (quiz.kind) {
        case kindText: {
            const QuestionEntry* entry = questionAt(quiz, question);
            return entry ? std::string(entry->prompt, strnlen(entry->prompt, quizTextSize - 1)) : std::string();
        }
        case kindPictures: return numbered("Image de la question ", question);
        case kindAudio: return numbered("Extrait sonore de la question ", question);
        case kindVideo: return numbered("Extrait vid\xE9o de la question ", question);
        default: return std::string();
    }
}

// The verdict ends the description; "?" (nothing judged yet) adds nothing.
std::string withVerdict(std::string subject, const char* verdict) {
    if (!verdict || !verdict[0] || std::strcmp(verdict, verdictEmpty) == 0) return subject;
    return subject.empty() ? std::string(verdict) : subject + ", " + verdict;
}

std::string trimmed(const char* text) {
    std::string out(text ? text : "");
    while (!out.empty() && out.back() == ' ') out.pop_back();
    size_t start = 0;
    while (start < out.size() && out[start] == ' ') ++start;
    return out.substr(start);
}

}  // namespace

SpokenControl sheetSpokenControl(const Quiz& quiz, int controlId) {
    const int boxes = boxCount(quiz);
    if (controlId > answerBoxIdBase && controlId <= answerBoxIdBase + boxes) return SpokenControl::answerBox;
    if (controlId > verdictLabelIdBase && controlId <= verdictLabelIdBase + boxes) return SpokenControl::verdictLabel;
    const int n = quiz.questionCount;
    if (quiz.kind == kindPictures && controlId > pictureControlIdBase && controlId <= pictureControlIdBase + n)
        return SpokenControl::picture;
    if (isMediaKind(quiz) && controlId > playButtonIdBase && controlId <= playButtonIdBase + n)
        return SpokenControl::playButton;
    if (isMediaKind(quiz) && controlId > stopButtonIdBase && controlId <= stopButtonIdBase + n)
        return SpokenControl::stopButton;
    return SpokenControl::none;
}

SpokenControl headerSpokenControl(int controlId) {
    if (controlId == headerScoreId) return SpokenControl::score;
    if (controlId == headerRewardCodeId) return SpokenControl::rewardCode;
    return SpokenControl::none;
}

bool sheetControlSpeech(const Quiz& quiz, int controlId, const char* verdict, SpokenText& out) {
    out = SpokenText{};
    switch (sheetSpokenControl(quiz, controlId)) {
        case SpokenControl::answerBox: {
            int question = 0;
            int slot = 1;
            boxQuestionAndSlot(controlId, effectiveAnswersPerQuestion(quiz), question, slot);
            out.name = boxName(quiz, question, slot);
            out.description = withVerdict(boxSubject(quiz, question), verdict);
            return true;
        }
        case SpokenControl::picture:
            out.name = numbered("Image de la question ", controlId - pictureControlIdBase);
            return true;
        case SpokenControl::playButton:
            out.name = numbered(
                "\xC9"
                "couter l'extrait ",
                controlId - playButtonIdBase);
            return true;
        case SpokenControl::stopButton:
            out.name = numbered("Arr\xEAter l'extrait ", controlId - stopButtonIdBase);
            return true;
        default: return false;
    }
}

bool headerControlSpeech(int controlId, const char* shown, SpokenText& out) {
    out = SpokenText{};
    switch (headerSpokenControl(controlId)) {
        case SpokenControl::score: {
            int score = 0;
            int total = 0;
            char rest = '\0';
            // The header shows " %d / %d"; anything else is read out as it stands.
            if (shown && std::sscanf(shown, " %d / %d %c", &score, &total, &rest) == 2)
                out.name = "Score : " + std::to_string(score) + " sur " + std::to_string(total);
            else
                out.name = "Score : " + trimmed(shown);
            return true;
        }
        case SpokenControl::rewardCode: {
            const std::string code = trimmed(shown);
            out.name = "Code : " + (code.empty() ? std::string("aucun") : code);
            return true;
        }
        default: return false;
    }
}

JudgementAnnouncements announcementsAfterJudgement(bool sheetBuilding, bool verdictChanged, const char* scoreBefore,
                                                   const char* scoreAfter) {
    if (sheetBuilding || !verdictChanged) return {false, false};
    const bool scoreChanged = std::strcmp(scoreBefore ? scoreBefore : "", scoreAfter ? scoreAfter : "") != 0;
    return {true, scoreChanged};
}
