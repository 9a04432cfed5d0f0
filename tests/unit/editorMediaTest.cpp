#include <gtest/gtest.h>

#include <set>

#include "authoring/windows1252.h"
#include "editor/answerTrial.h"
#include "editor/mediaFiles.h"
#include "quiz/quiz.h"

namespace {

// The verdict the author reads must be the player's for the bytes the player
// holds: accented letters are one byte there, two in the editor's UTF-8.
TEST(AnswerTrial, JudgesTheWindows1252TextAsThePlayerDoes) {
    const struct {
        const char* accepted;
        const char* typed;
        const char* verdict;
        VerdictBrush brush;
    } rows[] = {
        {"cercle", "cerlce", "Anagramme", VerdictBrush::anagram},
        {"cercle", "  CERCLE ", "BRAVO", VerdictBrush::right},
        {u8"carr\u00E9", u8"CARR\u00E9", "BRAVO", VerdictBrush::right},
        // One letter off in Windows-1252 (two bytes off in UTF-8, which would say "Presque").
        {u8"caf\u00E9", "cafe", "Quasiment", VerdictBrush::hint},
        {u8"caf\u00E9", u8"caf\u00C9", "Quasiment", VerdictBrush::hint},
        {"triangle", "triangel", "Anagramme", VerdictBrush::anagram},
        {"triangle", "trinagle", "Anagramme", VerdictBrush::anagram},
        {"triangle", "tiangl", "Presque", VerdictBrush::hint},
        {"triangle", "rond", "FAUX", VerdictBrush::wrong},
        {"triangle", "", "?", VerdictBrush::none},
        {u8"\u00E9t\u00E9", u8"\u00E9t\u00E9", "BRAVO", VerdictBrush::right},
        {"constitution", "constitutionnel", "Trop long", VerdictBrush::hint},
        {"reconnaissance", "reconnaissa", "Trop court", VerdictBrush::hint},
        {"reconnaissance", "reconnais", "pas loin", VerdictBrush::hint},
        {"reconnaissance", "reconnaisance", "Quasiment", VerdictBrush::hint},
        {"anticonstitutionnellement", "antikonstitusionnelement", u8"y a de l'id\u00E9e", VerdictBrush::hint},
        // A character the player's box cannot hold arrives there as "?".
        {"lodz", u8"\u0141odz", "Quasiment", VerdictBrush::hint},
        {"?odz", u8"\u0141odz", "BRAVO", VerdictBrush::right},
    };
    for (const auto& row : rows) {
        const TrialVerdict verdict = trialVerdict(row.accepted, row.typed);
        EXPECT_EQ(verdict.text, row.verdict) << row.accepted << " / " << row.typed;
        EXPECT_EQ(verdict.brush, row.brush) << row.accepted << " / " << row.typed;
    }
}

// The box's other accepted answers: which one gave a "BRAVO" is said; a hint says nothing more.
TEST(AnswerTrial, SaysWhichOtherAnswerWasRecognised) {
    const std::vector<std::string> others = {"en 1789", u8"l'ann\u00E9e 1789"};
    const struct {
        const char* typed;
        const char* verdict;
        const char* note;
    } rows[] = {
        {"1789", "BRAVO", ""},
        {" EN 1789 ", "BRAVO", u8"BRAVO \u2014 autre r\u00E9ponse : en 1789"},
        {u8"L'ANN\u00E9E 1789", "BRAVO", u8"BRAVO \u2014 autre r\u00E9ponse : l'ann\u00E9e 1789"},
        {"en 1798", "Anagramme", ""},
        {"1515", "FAUX", ""},
    };
    for (const auto& row : rows) {
        const TrialVerdict verdict = trialVerdict("1789", row.typed, others);
        EXPECT_EQ(verdict.text, row.verdict) << row.typed;
        EXPECT_EQ(verdict.note, row.note) << row.typed;
    }
    // An other answer the player could not hold, like the main one, gives no verdict.
    EXPECT_EQ(trialVerdict("1789", "1789", {u8"\u0141\u00F3d\u017A"}).text, "");
}

TEST(AnswerTrial, NoVerdictAgainstAnAnswerThePlayerCannotHold) {
    const TrialVerdict verdict = trialVerdict(u8"\u0141\u00F3d\u017A", "lodz");
    EXPECT_EQ(verdict.text, "");
    EXPECT_EQ(verdict.brush, VerdictBrush::none);
}

TEST(Windows1252, LossyConversionPutsAQuestionMarkForEachMissingCharacter) {
    const struct {
        const char* utf8;
        const char* ansi;
    } rows[] = {
        {"plain", "plain"},
        {u8"\u00E9t\u00E9 \u20AC", "\xE9t\xE9 \x80"},
        {u8"\u0141\u00F3d\u017A",
         "?\xF3"
         "d?"},
        {u8"\U0001F600!", "?!"},
        {"a\xC3", "a?"},  // a sequence cut short
        {"\xFF\xFE"
         "b",
         "??b"},  // bytes that start nothing
    };
    for (const auto& row : rows) EXPECT_EQ(utf8ToWindows1252Lossy(row.utf8), row.ansi) << row.utf8;
}

TEST(MediaFiles, PathsInsideTheSourceFolderBecomeRelative) {
    const struct {
        const char* source;
        const char* picked;
        const char* kept;
    } rows[] = {
        {"C:\\quiz\\formes.toml", "C:\\quiz\\media\\1.png", "media/1.png"},
        {"C:\\quiz\\formes.toml", "c:\\QUIZ\\Media\\1.png", "Media/1.png"},
        {"C:\\quiz\\formes.toml", "C:\\quiz\\a\\..\\b\\.\\2.jpg", "b/2.jpg"},
        {"C:\\quiz\\formes.toml", "C:\\quiz2\\1.png", "C:\\quiz2\\1.png"},
        {"C:\\quiz\\formes.toml", "C:\\quiz\\..\\photos\\1.png", "C:\\photos\\1.png"},
        {"C:\\quiz\\formes.toml", "D:\\quiz\\1.png", "D:\\quiz\\1.png"},
        {"", "Z:\\tmp\\x/1.png", "Z:\\tmp\\x\\1.png"},
        {"\\\\serveur\\partage\\q.toml", "\\\\serveur\\partage\\img\\1.png", "img/1.png"},
    };
    for (const auto& row : rows) EXPECT_EQ(pickedMediaPath(row.source, row.picked), row.kept) << row.picked;
}

TEST(MediaFiles, NormalisedPathsResolveDotsAndStayUnderTheirRoot) {
    EXPECT_EQ(normalisedPath("C:/a/./b/../c"), "C:\\a\\c");
    EXPECT_EQ(normalisedPath("C:\\..\\..\\x"), "C:\\x");
    EXPECT_EQ(normalisedPath("../x/y/.."), "..\\x");
    EXPECT_EQ(normalisedPath("\\\\srv\\share\\..\\z"), "\\\\srv\\z");
    EXPECT_EQ(normalisedPath(""), "");
    EXPECT_EQ(relativeInside("C:\\quiz\\", "C:\\quiz"), "") << "the folder itself is not a file inside it";
    EXPECT_EQ(relativeInside("C:\\quiz\\", "C:\\quizz\\1.png"), "") << "a folder whose name only starts alike";
    EXPECT_EQ(relativeInside("", "C:\\quiz\\1.png"), "");
}

TEST(MediaFiles, TheMediaFolderIsNamedAfterTheSource) {
    EXPECT_EQ(mediaFolderName("C:\\quiz\\formes.toml"), "formes-media");
    EXPECT_EQ(mediaFolderName("C:\\quiz\\mon.quiz.toml"), "mon.quiz-media");
    EXPECT_EQ(mediaFolderName("sans"), "sans-media");
}

ModelQuestion withMedia(const char* picture, const char* solution = "", const char* clip = "") {
    ModelQuestion q;
    q.answer = "x";
    q.picture = picture;
    q.solution = solution;
    q.clip = clip;
    return q;
}

TEST(MediaFiles, SavingCopiesWhatLiesOutsideTheFolderOnceUnderAFreeName) {
    QuizModel model;
    model.kind = kindPictures;
    model.questions = {
        withMedia("media/1.png", "D:\\photos\\chat.png"),
        withMedia("D:\\photos\\chat.png"),                        // the same file again: one copy
        withMedia("E:\\autres\\chat.png"),                        // another file of the same name
        withMedia("E:\\autres\\pris.jpg"),                        // a name already in the media folder
        withMedia("C:\\quiz\\formes-media\\d\u00E9j\u00E0.png"),  // already there
    };
    const std::set<std::string> onDisk = {"C:\\quiz\\formes-media\\pris.jpg"};
    const std::vector<MediaCopy> copies =
        planMediaCopies(model, "C:\\quiz\\formes.toml", "C:\\quiz\\formes.toml",
                        [&](const std::string& path) { return onDisk.count(path) > 0; });
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[0].from, "D:\\photos\\chat.png");
    EXPECT_EQ(copies[0].to, "C:\\quiz\\formes-media\\chat.png");
    EXPECT_EQ(copies[1].from, "E:\\autres\\chat.png");
    EXPECT_EQ(copies[1].to, "C:\\quiz\\formes-media\\chat-2.png");
    EXPECT_EQ(copies[2].to, "C:\\quiz\\formes-media\\pris-2.jpg");
    EXPECT_EQ(model.questions[0].picture, "media/1.png");
    EXPECT_EQ(model.questions[0].solution, "formes-media/chat.png");
    EXPECT_EQ(model.questions[1].picture, "formes-media/chat.png");
    EXPECT_EQ(model.questions[2].picture, "formes-media/chat-2.png");
    EXPECT_EQ(model.questions[3].picture, "formes-media/pris-2.jpg");
    EXPECT_EQ(model.questions[4].picture, "formes-media/d\u00E9j\u00E0.png");
}

TEST(MediaFiles, SavingElsewhereCopiesTheFilesTheOldFolderHeld) {
    QuizModel model;
    model.kind = kindAudio;
    model.questions = {withMedia("", "", "sons/1.mp3"), withMedia("", "", "D:\\neuf\\sons\\2.mp3")};
    const std::vector<MediaCopy> copies =
        planMediaCopies(model, "C:\\quiz\\musique.toml", "D:\\neuf\\concert.toml", nullptr);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].from, "C:\\quiz\\sons\\1.mp3");
    EXPECT_EQ(copies[0].to, "D:\\neuf\\concert-media\\1.mp3");
    EXPECT_EQ(model.questions[0].clip, "concert-media/1.mp3");
    EXPECT_EQ(model.questions[1].clip, "sons/2.mp3");

    // A quiz never saved: a relative path is the author's, relative to where it will be saved.
    QuizModel typed;
    typed.questions = {withMedia("media/1.png")};
    EXPECT_TRUE(planMediaCopies(typed, "", "D:\\neuf\\q.toml", nullptr).empty());
    EXPECT_EQ(typed.questions[0].picture, "media/1.png");
}

TEST(MediaFiles, DroppedFilesAreKnownByTheirExtension) {
    const struct {
        const char* name;
        DroppedKind kind;
    } rows[] = {
        {"C:\\q\\formes.toml", DroppedKind::source},
        {"histoire.EXE", DroppedKind::packed},
        {"a.PNG", DroppedKind::picture},
        {"b.jpeg", DroppedKind::picture},
        {"c.gif", DroppedKind::picture},
        {"d.mp3", DroppedKind::audio},
        {"e.wav", DroppedKind::audio},
        {"f.avi", DroppedKind::video},
        {"g.wmv", DroppedKind::video},
        {"Questions.CSV", DroppedKind::table},
        {"notes.txt", DroppedKind::other},
        {"png", DroppedKind::other},
        {"C:\\dossier.png\\sans", DroppedKind::other},
        {".png", DroppedKind::other},
    };
    for (const auto& row : rows) EXPECT_EQ(droppedKind(row.name), row.kind) << row.name;
}

TEST(MediaFiles, NamesSortAsAPersonReadsThem) {
    const struct {
        const char* a;
        const char* b;
        bool before;
    } rows[] = {
        {"photo2.jpg", "photo10.jpg", true}, {"photo10.jpg", "photo2.jpg", false},
        {"Photo1.jpg", "photo2.jpg", true},  {"b.png", "A.png", false},
        {"img007.png", "img7b.png", true},   {"C:\\z\\a.png", "C:\\a\\b.png", true},
        {"a.png", "a.png", false},
    };
    for (const auto& row : rows) EXPECT_EQ(comesBefore(row.a, row.b), row.before) << row.a << " " << row.b;
}

std::vector<std::string> pictures(const EditorDocument& document) {
    std::vector<std::string> out;
    for (const ModelQuestion& q : document.model.questions) out.push_back(q.picture);
    return out;
}

TEST(MediaFiles, DroppingPicturesOnANewQuizMakesAPictureQuizInNameOrder) {
    EditorDocument document = newDocument();
    const DropOutcome outcome = addDroppedMedia(
        document, {"Z:\\p\\vue10.jpg", "Z:\\p\\notes.txt", "Z:\\p\\vue2.png", "Z:\\p\\vue1.png", "Z:\\p\\chant.mp3"});
    EXPECT_EQ(outcome.added, 3);
    EXPECT_EQ(outcome.skipped, 2);
    EXPECT_EQ(document.model.kind, kindPictures);
    EXPECT_EQ(pictures(document), (std::vector<std::string>{"Z:\\p\\vue1.png", "Z:\\p\\vue2.png", "Z:\\p\\vue10.jpg"}));
    EXPECT_EQ(document.selected, 0);
    EXPECT_TRUE(document.isDirty());
}

TEST(MediaFiles, DroppingOnAQuizFillsTheEmptyQuestionsAtTheEndThenAppends) {
    QuizModel model;
    model.kind = kindPictures;
    model.questions = {withMedia("media/1.png"), ModelQuestion(), withMedia("media/3.png"), ModelQuestion()};
    EditorDocument document = openedDocument(model, "C:\\quiz\\q.toml");
    const DropOutcome outcome = addDroppedMedia(document, {"C:\\quiz\\media\\b.png", "C:\\ailleurs\\a.png"});
    EXPECT_EQ(outcome.added, 2);
    EXPECT_EQ(pictures(document),
              (std::vector<std::string>{"media/1.png", "", "media/3.png", "C:\\ailleurs\\a.png", "media/b.png"}));
    EXPECT_EQ(document.selected, 3);
}

TEST(MediaFiles, DroppingWhatTheKindCannotUseAddsNothing) {
    QuizModel model;
    model.kind = kindText;
    model.questions = {withMedia("")};
    EditorDocument text = openedDocument(model, "C:\\q.toml");
    EXPECT_EQ(addDroppedMedia(text, {"C:\\a.png"}).skipped, 1);
    EXPECT_FALSE(text.isDirty()) << "a text quiz with questions keeps its kind";

    model.kind = kindAudio;
    EditorDocument audio = openedDocument(model, "C:\\q.toml");
    const DropOutcome outcome = addDroppedMedia(audio, {"C:\\b.png", "C:\\a.wav"});
    EXPECT_EQ(outcome.added, 1);
    EXPECT_EQ(outcome.skipped, 1);
    EXPECT_EQ(audio.model.questions.back().clip, "a.wav");
}

TEST(MediaFiles, DroppingStopsAtTheLargestQuizThePlayerHolds) {
    EditorDocument document = newDocument();
    std::vector<std::string> files;
    for (size_t i = 0; i < maxModelQuestions + 4; ++i) files.push_back("C:\\p\\" + std::to_string(i) + ".png");
    const DropOutcome outcome = addDroppedMedia(document, files);
    EXPECT_EQ(outcome.added, static_cast<int>(maxModelQuestions));
    EXPECT_EQ(outcome.skipped, 4);
    EXPECT_EQ(document.model.questions.size(), maxModelQuestions);
    EXPECT_EQ(document.model.questions.back().picture, "C:\\p\\95.png");
}

}  // namespace

namespace {

TEST(MediaFiles, NoticesCountInFrench) {
    EXPECT_EQ(copiedNotice(1, "q-media"), u8"1 fichier copi\u00E9 dans q-media");
    EXPECT_EQ(copiedNotice(2, "q-media"), u8"2 fichiers copi\u00E9s dans q-media");
    EXPECT_EQ(droppedNotice({1, 0}), u8"1 question ajout\u00E9e");
    EXPECT_EQ(droppedNotice({30, 2}), u8"30 questions ajout\u00E9es, 2 fichiers laiss\u00E9s de c\u00F4t\u00E9");
    EXPECT_EQ(droppedNotice({0, 1}), u8"0 question ajout\u00E9e, 1 fichier laiss\u00E9 de c\u00F4t\u00E9");
}

// Side by side with a 12-pixel gap; the player's size only when both cells fit whole.
TEST(EditorDocument, PreviewsTakeThePlayersCellOrHalfOfIt) {
    const struct {
        int width, height, side;
    } rows[] = {
        {532, 260, 260}, {531, 260, 130}, {532, 259, 130}, {272, 130, 130},
        {271, 500, 0},   {600, 129, 0},   {0, 0, 0},       {-5, 300, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(previewSide(row.width, row.height), row.side) << row.width << "x" << row.height;
}

}  // namespace

namespace {

bool isFreshCode(const std::string& code) {
    if (code.size() != 6) return false;
    for (char c : code) {
        if (!((c >= '2' && c <= '9') || (c >= 'A' && c <= 'Z')) || c == 'O' || c == 'I') return false;
    }
    return true;
}

QuizModel questionsAndCodes(size_t questions, std::vector<std::string> codes) {
    QuizModel model;
    model.questions.resize(questions);
    model.rewardCodes = std::move(codes);
    return model;
}

TEST(EditorDocument, CompletingRewardCodesFillsEveryScoreWithoutOne) {
    uint32_t state = 12345;
    auto random = [&state]() { return state = state * 1103515245u + 12345u, state >> 8; };
    QuizModel model = questionsAndCodes(4, {"UN", "", "TROIS"});
    ASSERT_TRUE(completeRewardCodes(model, random));
    ASSERT_EQ(model.rewardCodes.size(), 4u);
    EXPECT_EQ(model.rewardCodes[0], "UN");
    EXPECT_EQ(model.rewardCodes[2], "TROIS");
    EXPECT_TRUE(isFreshCode(model.rewardCodes[1])) << model.rewardCodes[1];
    EXPECT_TRUE(isFreshCode(model.rewardCodes[3])) << model.rewardCodes[3];
    EXPECT_NE(model.rewardCodes[1], model.rewardCodes[3]);

    const QuizModel before = model;
    EXPECT_FALSE(completeRewardCodes(model, random)) << "every score has its code";
    EXPECT_EQ(model, before);

    QuizModel extra = questionsAndCodes(1, {"A", "B"});
    EXPECT_FALSE(completeRewardCodes(extra, random));
    EXPECT_EQ(extra.rewardCodes, (std::vector<std::string>{"A", "B"})) << "the author's codes stay";
}

TEST(EditorDocument, CompletingRewardCodesEndsWithDistinctCodesWhateverTheRandomSource) {
    QuizModel model = questionsAndCodes(30, {});
    ASSERT_TRUE(completeRewardCodes(model, []() { return 7u; }));
    ASSERT_EQ(model.rewardCodes.size(), 30u);
    const std::set<std::string> distinct(model.rewardCodes.begin(), model.rewardCodes.end());
    EXPECT_EQ(distinct.size(), 30u);
    for (const std::string& code : model.rewardCodes) EXPECT_FALSE(code.empty());
}

}  // namespace

namespace {

// quizpack's warning, in the status line: a picture quiz is laid out three to a row.
TEST(EditorDocument, PictureQuizzesAreWarnedAboutAnIncompleteLastRow) {
    const struct {
        int32_t kind;
        size_t questions;
        bool warned;
    } rows[] = {
        {kindPictures, 3, false}, {kindPictures, 30, false}, {kindPictures, 31, true}, {kindPictures, 1, true},
        {kindPictures, 0, false}, {kindText, 31, false},     {kindAudio, 2, false},
    };
    for (const auto& row : rows) {
        QuizModel model;
        model.kind = row.kind;
        model.questions.resize(row.questions);
        EXPECT_EQ(!picturesRowWarning(model).empty(), row.warned) << row.kind << " " << row.questions;
    }
    QuizModel model;
    model.kind = kindPictures;
    model.questions.resize(31);
    const std::string warning = picturesRowWarning(model);
    EXPECT_NE(warning.find("33"), std::string::npos) << warning;
    EXPECT_NE(warning.find("31 questions"), std::string::npos) << warning;
}

}  // namespace
