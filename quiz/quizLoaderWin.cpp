#include "quiz/quizLoaderWin.h"

#include "quiz/lzw.h"
#include "quiz/quizGdiWin.h"
#include "quiz/quizLayout.h"
#include "resources/resource.h"

namespace {

const char* const patchType = "PATCH";

void showMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void onCodecAllocationFailure() {
    quizLoaderMessage("Impossible d'allouer la memoire", "information");
}

// Replaces the background brush, deleting the one made at construction.
void setBackground(Quiz* quiz, COLORREF colour) {
    if (quiz->backgroundBrush) DeleteObject(asBrush(quiz->backgroundBrush));
    quiz->backgroundBrush = CreateSolidBrush(colour);
}

// The decoded bytes of a PATCH resource (an absent one decodes as an empty
// input, which fails). The caller releases *decoded with lzwFree, success or not.
bool decodeResource(HMODULE module, WORD id, uint8_t** decoded, size_t* decodedSize) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), patchType);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD size = bytes ? SizeofResource(module, found) : 0;
    int32_t length = 0;
    const int32_t result = lzwDecode(bytes, size, decoded, &length);
    if (loaded) FreeResource(loaded);
    *decodedSize = length >= 2 ? static_cast<size_t>(length - 2) : 0;
    return result == lzwOk;
}

bool hasQuizResource(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(quizLayoutResourceId), patchType);
    return found && SizeofResource(module, found) != 0;
}

}  // namespace

void (*quizLoaderMessage)(const char* text, const char* caption) = showMessage;

void loadQuiz(Quiz* quiz) {
    loadQuizFrom(nullptr, quiz);
}

void loadQuizFrom(HMODULE module, Quiz* quiz) {
    setLzwAllocationFailureNotifier(onCodecAllocationFailure);
    if (!hasQuizResource(module)) {
        loadSampleQuiz(*quiz);
        setBackground(quiz, quiz->colour);
        return;
    }

    uint8_t* decoded = nullptr;
    size_t size = 0;
    const bool quizRead =
        decodeResource(module, quizLayoutResourceId, &decoded, &size) && readQuizLayout(*quiz, decoded, size);
    lzwFree(decoded);
    if (!quizRead) {
        quiz->questionCount = 0;
        quizLoaderMessage(
            "Erreur dans le d\xE9"
            "cryptage des reponses",
            "Vetra");
        return;
    }
    setBackground(quiz, quiz->colour);

    decoded = nullptr;
    const bool codesRead =
        decodeResource(module, rewardCodesResourceId, &decoded, &size) && readRewardCodes(*quiz, decoded, size);
    lzwFree(decoded);
    if (!codesRead)
        quizLoaderMessage(
            "Erreur dans le d\xE9"
            "cryptage des codes",
            "Vetra");

    // Most quizzes carry no address: an absent or unreadable one is none.
    decoded = nullptr;
    const bool linkRead = decodeResource(module, quizLinkResourceId, &decoded, &size);
    readQuizLink(*quiz, linkRead ? decoded : nullptr, linkRead ? size : 0);
    lzwFree(decoded);

    // So are other accepted answers; a damaged list leaves each box its main answer.
    decoded = nullptr;
    if (decodeResource(module, otherAnswersResourceId, &decoded, &size)) readOtherAnswers(*quiz, decoded, size);
    lzwFree(decoded);
}
