#include <gtest/gtest.h>

#include "editor/editHistory.h"
#include "quiz/quiz.h"

namespace {

EditorDocument fourQuestions() {
    QuizModel model;
    model.kind = kindText;
    model.title = "";
    model.questions.resize(4);
    for (int i = 0; i < 4; ++i) model.questions[i].answer = std::string(1, static_cast<char>('a' + i));
    EditorDocument document = openedDocument(model, "C:\\quiz\\q.toml");
    document.selected = 0;
    return document;
}

// One change as the window notes it: the title typed so far (or, with
// field 0, any other change to it), at a time, in a field.
struct Typed {
    const char* title;
    int field;
    uint32_t time;
    bool endsWord;
};

// The titles met undoing everything, newest first.
std::string undoneTitles(const std::vector<Typed>& changes) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    for (const Typed& t : changes) {
        if (t.field < 0) {
            history.endTyping();
            continue;
        }
        document.model.title = t.title;
        history.record(document, t.field, t.time, t.endsWord);
    }
    std::string seen;
    while (history.undo(document)) seen += "[" + document.model.title + "]";
    return seen;
}

TEST(EditHistory, TypingIsGroupedAsAWordProcessorGroupsIt) {
    const uint32_t pause = EditHistory::pauseMilliseconds;
    const struct {
        const char* name;
        std::vector<Typed> changes;
        std::string undone;
    } rows[] = {
        {"one field, quick", {{"a", 1, 0, false}, {"ab", 1, 100, false}, {"abc", 1, 200, false}}, "[]"},
        {"a pause", {{"a", 1, 0, false}, {"ab", 1, pause + 1, false}}, "[a][]"},
        {"just within the pause", {{"a", 1, 0, false}, {"ab", 1, pause, false}}, "[]"},
        {"another field", {{"a", 1, 0, false}, {"ab", 2, 10, false}, {"abc", 1, 20, false}}, "[ab][a][]"},
        {"a word ends",
         {{"l", 1, 0, false}, {"le", 1, 10, false}, {"le ", 1, 20, true}, {"le c", 1, 30, false}},
         "[le ][]"},
        {"a command between", {{"a", 1, 0, false}, {"ab", 0, 10, false}, {"abc", 1, 20, false}}, "[ab][a][]"},
        {"commands never join", {{"a", 0, 0, false}, {"ab", 0, 0, false}}, "[a][]"},
        {"the field left", {{"a", 1, 0, false}, {"", -1, 0, false}, {"ab", 1, 20, false}}, "[a][]"},
        {"the clock wrapped", {{"a", 1, 0xFFFFFFF0u, false}, {"ab", 1, 0x10, false}}, "[]"},
    };
    for (const auto& row : rows) EXPECT_EQ(undoneTitles(row.changes), row.undone) << row.name;
}

TEST(EditHistory, TypingInAnotherQuestionIsAnotherStep) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    document.model.questions[0].answer = "ax";
    history.record(document, 1, 0);
    document.selected = 1;
    history.record(document);  // the list's choice
    document.model.questions[1].answer = "bx";
    history.record(document, 1, 10);
    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(document.model.questions[1].answer, "b");
    EXPECT_EQ(document.model.questions[0].answer, "ax");
    EXPECT_EQ(document.selected, 1) << "undo shows the question it changed";
}

TEST(EditHistory, UndoAndRedoBringBackTheModelAndTheQuestionShown) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    document.selected = 2;
    history.record(document);
    ASSERT_TRUE(deleteQuestion(document));
    history.record(document);
    ASSERT_TRUE(addQuestion(document));  // after "d", now at 2: an empty question at 3
    history.record(document);
    EXPECT_EQ(history.steps(), 2u);

    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(document.model.questions.size(), 3u);
    EXPECT_EQ(document.selected, 2);
    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(document.model.questions.size(), 4u);
    EXPECT_EQ(document.model.questions[2].answer, "c");
    EXPECT_EQ(document.selected, 2) << "the deleted question is shown again";
    EXPECT_FALSE(history.undo(document)) << "nothing before the opened quiz";
    EXPECT_EQ(document.model.questions.size(), 4u);

    ASSERT_TRUE(history.redo(document));
    EXPECT_EQ(document.model.questions[2].answer, "d");
    ASSERT_TRUE(history.redo(document));
    EXPECT_EQ(document.model.questions.size(), 4u);
    EXPECT_EQ(document.selected, 3);
    EXPECT_FALSE(history.redo(document));
}

TEST(EditHistory, ANewChangeForgetsWhatCouldBeRedone) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    for (const char* title : {"x", "y"}) {
        document.model.title = title;
        history.record(document);
    }
    ASSERT_TRUE(history.undo(document));
    EXPECT_TRUE(history.canRedo());
    document.model.title = "z";
    history.record(document);
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.redo(document));
    ASSERT_TRUE(history.undo(document));
    EXPECT_EQ(document.model.title, "x");
}

TEST(EditHistory, TheUnsavedMarkFollowsTheSavedState) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    document.model.title = "x";
    history.record(document);
    markSaved(document, document.path);
    document.model.title = "y";
    history.record(document);
    EXPECT_TRUE(document.isDirty());
    ASSERT_TRUE(history.undo(document));
    EXPECT_FALSE(document.isDirty()) << "back to what was saved";
    ASSERT_TRUE(history.undo(document));
    EXPECT_TRUE(document.isDirty()) << "before the save";
    ASSERT_TRUE(history.redo(document));
    EXPECT_FALSE(document.isDirty());
    ASSERT_TRUE(history.redo(document));
    EXPECT_TRUE(document.isDirty());
}

TEST(EditHistory, OpeningForgetsAndTheOldestStepsGoBeyondTheLimit) {
    EditorDocument document = fourQuestions();
    EditHistory history(3);
    history.reset(document);
    for (const char* title : {"1", "2", "3", "4", "5"}) {
        document.model.title = title;
        history.record(document);
    }
    EXPECT_EQ(history.steps(), 3u);
    std::string seen;
    while (history.undo(document)) seen += document.model.title;
    EXPECT_EQ(seen, "432");
    history.reset(fourQuestions());
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

TEST(EditHistory, AnAmendedStateIsNoStep) {
    EditorDocument document = fourQuestions();
    EditHistory history;
    history.reset(document);
    document.model.questions[0].prompt = "C:\\ailleurs\\chat.png";
    history.record(document);
    document.model.questions[0].prompt = "q-media\\chat.png";  // where the save copied it
    history.amend(document);
    history.record(document);
    EXPECT_EQ(history.steps(), 1u);
    ASSERT_TRUE(history.undo(document));
    ASSERT_TRUE(history.redo(document));
    EXPECT_EQ(document.model.questions[0].prompt, "q-media\\chat.png");
}

TEST(EditHistory, AWordEndsWithTheSpaceOrLineTyped) {
    const struct {
        const char* before;
        const char* after;
        bool ends;
    } rows[] = {
        {"le", "le ", true},
        {"le ", "le c", false},
        {"lechat", "le chat", true},
        {"A\r\nB", "A\r\n\r\nB", true},
        {"le ", "le", false},
        {"", "", false},
        {"", "\t", true},
        {"ab", "aXb", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(typingEndsWord(row.before, row.after), row.ends) << row.before << " -> " << row.after;
    }
}

}  // namespace
