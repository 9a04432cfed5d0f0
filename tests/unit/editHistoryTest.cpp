#include <gtest/gtest.h>

#include "editor/editHistory.h"
#include "quiz/quiz.h"

namespace {

EditorDocument fourQuestions() {
    QuizModel model;
    model.kind = kindText;
    for (const char* answer : {"a", "b", "c", "d"}) {
        model.questions.emplace_back();
        model.questions.back().answer = answer;
    }
    return openedDocument(model, "C:\\quiz\\q.toml");
}

std::string answers(const EditorDocument& document) {
    std::string out;
    for (const ModelQuestion& q : document.model.questions) out += q.answer.empty() ? "_" : q.answer;
    return out;
}

TEST(EditHistory, TypingIsGroupedByFieldPauseAndWord) {
    // The title typed so far, in a field (0: a command; -1: the field left;
    // -2: another question shown), at a time; then the titles met undoing all.
    struct Typed {
        const char* title;
        int field;
        uint32_t time;
    };
    const uint32_t pause = EditHistory::pauseMilliseconds;
    const struct {
        const char* name;
        std::vector<Typed> changes;
        std::string undone;
    } rows[] = {
        {"one field, quick", {{"a", 1, 0}, {"ab", 1, 100}, {"abc", 1, pause + 100}}, "[]"},
        {"a pause", {{"a", 1, 0}, {"ab", 1, pause + 1}}, "[a][]"},
        {"another field", {{"a", 1, 0}, {"ab", 2, 10}, {"abc", 1, 20}}, "[ab][a][]"},
        {"a word ends", {{"l", 1, 0}, {"le", 1, 10}, {"le ", 1, 20}, {"le c", 1, 30}, {"le ch", 1, 40}}, "[le ][]"},
        {"a line ends", {{"A", 1, 0}, {"A\r\n", 1, 10}, {"A\r\nB", 1, 20}}, "[A\r\n][]"},
        {"a command between", {{"a", 1, 0}, {"ab", 0, 10}, {"abc", 1, 20}}, "[ab][a][]"},
        {"commands never join", {{"a", 0, 0}, {"ab", 0, 0}}, "[a][]"},
        {"the field left", {{"a", 1, 0}, {"", -1, 0}, {"ab", 1, 20}}, "[a][]"},
        {"another question", {{"a", 1, 0}, {"", -2, 0}, {"ab", 1, 20}}, "[a][]"},
        {"the clock wrapped", {{"a", 1, 0xFFFFFFF0u}, {"ab", 1, 0x10}}, "[]"},
    };
    for (const auto& row : rows) {
        EditorDocument document = fourQuestions();
        EditHistory history;
        history.reset(document);
        for (const Typed& t : row.changes) {
            if (t.field == -1) history.endTyping();
            if (t.field == -2) document.selected = 1;
            if (t.field < 0) {
                history.record(document);
                continue;
            }
            const bool endsWord = typingEndsWord(document.model.title, t.title);
            document.model.title = t.title;
            history.record(document, t.field, t.time, endsWord);
        }
        std::string seen;
        while (history.undo(document)) seen += "[" + document.model.title + "]";
        EXPECT_EQ(seen, row.undone) << row.name;
    }
}

TEST(EditHistory, UndoAndRedoBringBackTheModelTheQuestionShownAndTheSavedState) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    document.selected = 2;
    history.record(document);  // chosen in the list
    ASSERT_TRUE(deleteQuestion(document));
    history.record(document);
    markSaved(document, document.path);
    ASSERT_TRUE(addQuestion(document));
    history.record(document);

    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(answers(document), "abd");
    EXPECT_FALSE(document.isDirty()) << "back to what was saved";
    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(answers(document), "abcd");
    EXPECT_EQ(document.selected, 2) << "the deleted question shown again";
    EXPECT_TRUE(document.isDirty());
    EXPECT_FALSE(history.undo(document)) << "nothing before the opened quiz";
    ASSERT_TRUE(history.redo(document));
    EXPECT_FALSE(document.isDirty());

    // A new change forgets what could be redone; a save that renamed media is no step.
    document.model.title = "x";
    history.record(document);
    EXPECT_FALSE(history.redo(document));
    document.model.title = "y";
    history.amend(document);
    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(document.model.title, "");
    ASSERT_TRUE(history.redo(document));
    EXPECT_EQ(document.model.title, "y");
}

TEST(EditHistory, TheOldestStepsGoBeyondTheLimitAndOpeningForgetsAll) {
    EditorDocument document = fourQuestions();
    EditHistory history(3);
    history.reset(document);
    for (const char* title : {"1", "2", "3", "4", "5"}) {
        document.model.title = title;
        history.record(document);
    }
    std::string seen;
    while (history.undo(document)) seen += document.model.title;
    EXPECT_EQ(seen, "432");
    history.reset(fourQuestions());
    EXPECT_FALSE(history.canUndo() || history.canRedo());
}

}  // namespace
