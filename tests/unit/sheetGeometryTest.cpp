#include "sheet/sheetGeometry.h"

#include "quiz/quiz.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct QuizHolder {
    std::unique_ptr<Quiz> quiz{new Quiz};
    QuizHolder(int kind, int n, int m, int revealMode = 0) {
        initQuizValues(*quiz);
        quiz->kind = kind;
        quiz->questionCount = n;
        quiz->answersPerQuestion = m;
        quiz->revealMode = revealMode;
    }
    ~QuizHolder() { releaseQuestions(*quiz); }
    void addQuestions(int count) {
        for (int i = 1; i <= count; ++i) {
            const std::string p = "prompt " + std::to_string(i);
            appendQuestion(*quiz, "a", "b", p.c_str());
            const std::string c = "comment " + std::to_string(i);
            copyText(quiz->lastQuestion->comment, quizTextSize, c.c_str());
        }
    }
};

// Picture sizes by resource id; ids not in the table are absent. Records
// every id asked for.
struct PictureTable {
    std::map<int, PictureSize> sizes;
    std::vector<int> asked;
    std::function<PictureSize(int)> callback() {
        return [this](int id) {
            asked.push_back(id);
            auto it = sizes.find(id);
            return it == sizes.end() ? PictureSize{} : it->second;
        };
    }
};

const ControlSpec* findControl(const SheetLayout& layout, int id, ControlRole role) {
    for (const ControlSpec& c : layout.controls)
        if (c.id == id && c.role == role) return &c;
    return nullptr;
}

std::vector<const ControlSpec*> withRole(const SheetLayout& layout, ControlRole role) {
    std::vector<const ControlSpec*> found;
    for (const ControlSpec& c : layout.controls)
        if (c.role == role) found.push_back(&c);
    return found;
}

struct Rect {
    int x, y, w, h;
};

void expectRect(const ControlSpec* c, Rect r, const std::string& what) {
    ASSERT_NE(c, nullptr) << what;
    EXPECT_EQ(c->x, r.x) << what;
    EXPECT_EQ(c->y, r.y) << what;
    EXPECT_EQ(c->width, r.w) << what;
    EXPECT_EQ(c->height, r.h) << what;
}

TEST(SheetGeometry, TextKindExtent) {
    struct Case {
        int n, m, height, width;
    } cases[] = {{1, 1, 30, 900}, {3, 1, 80, 900}, {3, 2, 80, 960}, {12, 1, 305, 900},
                 {0, 1, 0, 20},   {0, 2, 0, 80},   {5, 3, 130, 900}};
    for (const Case& c : cases) {
        QuizHolder h(kindText, c.n, c.m);
        h.addQuestions(c.n);
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        const std::string name = "N=" + std::to_string(c.n) + " M=" + std::to_string(c.m);
        EXPECT_EQ(layout.contentHeight, c.height) << name;
        EXPECT_EQ(layout.contentWidth, c.width) << name;
        // One box per question whatever M says, numbered by question.
        auto boxes = withRole(layout, ControlRole::answerBox);
        ASSERT_EQ(boxes.size(), static_cast<size_t>(c.n)) << name;
        for (int n = 1; n <= c.n; ++n) {
            EXPECT_EQ(boxes[n - 1]->id, 4000 + n) << name;
            EXPECT_TRUE(boxes[n - 1]->consumesProgressLine) << name;
        }
        EXPECT_TRUE(withRole(layout, ControlRole::progressLineOnly).empty()) << name;
    }
}

TEST(SheetGeometry, TextRowControls) {
    QuizHolder h(kindText, 3, 1);
    h.addQuestions(3);
    SheetLayout layout = layoutSheet(*h.quiz, nullptr);
    ASSERT_EQ(layout.controls.size(), 12u);
    // Row 2 starts at y 30; its four controls in creation order.
    const ControlSpec* row = &layout.controls[4];
    struct Expected {
        ControlRole role;
        int id;
        const char* cls;
        uint32_t style;
        Rect r;
        SheetFontChoice font;
        const char* text;
    } expected[] = {
        {ControlRole::numberLabel, 153, "Static", 0x50000002, {26, 32, 19, 17}, SheetFontChoice::none, "2."},
        {ControlRole::promptLabel, 3000, "Static", 0x50800201, {50, 30, 550, 20}, SheetFontChoice::sheetFont,
         "prompt 2"},
        {ControlRole::answerBox, 4002, "Edit", 0x50810281, {610, 30, 170, 20}, SheetFontChoice::sheetFont, ""},
        {ControlRole::verdictLabel, 5002, "Static", 0x50800201, {790, 30, 100, 20}, SheetFontChoice::none, "?"},
    };
    for (int i = 0; i < 4; ++i) {
        const std::string what = "row 2 control " + std::to_string(i);
        const ControlSpec& c = row[i];
        EXPECT_EQ(c.role, expected[i].role) << what;
        EXPECT_EQ(c.id, expected[i].id) << what;
        EXPECT_EQ(c.className, expected[i].cls) << what;
        EXPECT_EQ(c.style, expected[i].style) << what;
        expectRect(&c, expected[i].r, what);
        EXPECT_EQ(c.font, expected[i].font) << what;
        EXPECT_EQ(c.text, expected[i].text) << what;
        EXPECT_EQ(c.question, 2) << what;
        EXPECT_FALSE(c.hiddenAfterCreate) << what;
    }
    EXPECT_FALSE(row[2].installBeforeJudge);  // judged first, then given its procedure
}

TEST(SheetGeometry, PromptsAndCommentsComeFromClampedList) {
    {
        QuizHolder h(kindText, 4, 1);
        h.addQuestions(2);
        const SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        auto prompts = withRole(layout, ControlRole::promptLabel);
        ASSERT_EQ(prompts.size(), 4u);
        const char* expected[] = {"prompt 1", "prompt 2", "prompt 2", "prompt 2"};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(prompts[i]->text, expected[i]) << "question " << i + 1;
    }
    {
        QuizHolder h(kindAudio, 2, 1, 2);  // an empty list: empty texts, no crash
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        auto comments = withRole(layout, ControlRole::commentLabel);
        ASSERT_EQ(comments.size(), 2u);
        for (const ControlSpec* c : comments) EXPECT_EQ(c->text, "");
    }
    {
        QuizHolder h(kindText, 1, 1);  // a prompt of all 259 characters survives whole
        appendQuestion(*h.quiz, "a", "b", std::string(400, 'x').c_str());
        const SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        auto prompts = withRole(layout, ControlRole::promptLabel);
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0]->text, std::string(259, 'x'));
    }
}

TEST(SheetGeometry, GridColumns) {
    struct Case {
        int kind, m;
        int x0[3];
        int boxOffset;
    } cases[] = {
        {kindPictures, 1, {46, 336, 626}, 0},  {kindPictures, 2, {106, 396, 686}, 0},
        {kindAudio, 1, {46, 336, 626}, 20},    {kindVideo, 2, {106, 396, 686}, 20},
    };
    for (const Case& c : cases) {
        QuizHolder h(c.kind, 6, c.m);
        h.addQuestions(6);
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        auto numbers = withRole(layout, ControlRole::numberLabel);
        ASSERT_EQ(numbers.size(), 6u);
        for (int n = 1; n <= 6; ++n) {
            const std::string what = "kind " + std::to_string(c.kind) + " M=" + std::to_string(c.m) + " q" +
                                      std::to_string(n);
            const int x0 = c.x0[(n - 1) % 3];
            EXPECT_EQ(numbers[n - 1]->x, x0 - 28) << what;
            EXPECT_EQ(numbers[n - 1]->text, std::to_string(n) + ".") << what;
            const int firstBox = c.m == 1 ? n : 2 * n - 1;
            const ControlSpec* box = findControl(layout, 4000 + firstBox, ControlRole::answerBox);
            ASSERT_NE(box, nullptr) << what;
            EXPECT_EQ(box->x, x0 + c.boxOffset) << what;
            EXPECT_EQ(box->style, 0x50810081u) << what;
            if (c.kind == kindPictures) {
                // Absent pictures: full cell width, no height, at the cell's left edge.
                expectRect(findControl(layout, 9900 + n, ControlRole::pictureControl), {x0, numbers[n - 1]->y - 12,
                                                                                        260, 0},
                           what);
            }
        }
        EXPECT_EQ(layout.contentWidth, c.m == 2 ? 970 : 910) << "kind " << c.kind;
    }
}

TEST(SheetGeometry, PictureGroupUsesTallestPicture) {
    QuizHolder h(kindPictures, 4, 1);
    h.addQuestions(4);
    PictureTable pictures;
    pictures.sizes[401] = {true, 200, 100};
    pictures.sizes[402] = {true, 150, 180};
    // 403 absent; 404's group is 404..406.
    pictures.sizes[404] = {true, 261, 51};
    SheetLayout layout = layoutSheet(*h.quiz, pictures.callback());

    EXPECT_EQ(pictures.asked, (std::vector<int>{401, 402, 403, 404, 405, 406}));
    struct Expected {
        int id;
        Rect r;
    } expected[] = {
        {9901, {46 + 30, 5 + 40, 200, 100}},  // 40 lower than the line top
        {9902, {336 + 55, 5, 150, 180}},
        {9903, {626, 5 + 90, 260, 0}},         // absent
        {9904, {46 + 0, 195 + 60, 261, 51}},  // (260 - 261) / 2 truncates to 0
    };
    for (const Expected& e : expected) {
        const ControlSpec* c = findControl(layout, e.id, ControlRole::pictureControl);
        expectRect(c, e.r, "picture " + std::to_string(e.id));
        EXPECT_EQ(c->className, "STATIC");
        EXPECT_EQ(c->style, 0x5080020Eu);
    }
    EXPECT_EQ(findControl(layout, 9905, ControlRole::pictureControl), nullptr);
    // Answer boxes of the whole first line start Hmax + 10 = 190 below it.
    for (int n = 1; n <= 3; ++n) {
        const ControlSpec* box = findControl(layout, 4000 + n, ControlRole::answerBox);
        expectRect(box, {(n == 1 ? 46 : n == 2 ? 336 : 626), 195, 260, 20}, "box " + std::to_string(n));
        expectRect(findControl(layout, 5000 + n, ControlRole::verdictLabel),
                   {box->x, 214, 260, 20}, "verdict " + std::to_string(n));
    }
    // Second line: y = 195 + 60, its answer area 51 + 10 lower still.
    const int secondTop = 195 + 60;
    expectRect(findControl(layout, 4004, ControlRole::answerBox), {46, secondTop + 61, 260, 20}, "box 4");
    EXPECT_EQ(layout.contentHeight, secondTop + 61 + 60);
    EXPECT_EQ(layout.contentWidth, 910);
}

TEST(SheetGeometry, PictureAssignmentFollowsTheBoxes) {
    QuizHolder h(kindPictures, 2, 2, 3);
    h.addQuestions(2);
    SheetLayout layout = layoutSheet(*h.quiz, nullptr);
    std::vector<std::pair<ControlRole, int>> order;
    for (const ControlSpec& c : layout.controls)
        if (c.question == 1) order.push_back({c.role, c.id});
    const std::vector<std::pair<ControlRole, int>> expected = {
        {ControlRole::pictureControl, 9901}, {ControlRole::captionLabel, 156}, {ControlRole::captionLabel, 156},
        {ControlRole::numberLabel, 153},     {ControlRole::answerBox, 4001},   {ControlRole::verdictLabel, 5001},
        {ControlRole::answerBox, 4002},      {ControlRole::verdictLabel, 5002}, {ControlRole::pictureAssignment, 9901},
        {ControlRole::commentLabel, 8001},
    };
    EXPECT_EQ(order, expected);
    const ControlSpec* assign = findControl(layout, 9901, ControlRole::pictureAssignment);
    ASSERT_NE(assign, nullptr);
    EXPECT_EQ(assign->resourceId, 401);
    EXPECT_FALSE(createsControl(assign->role));
    EXPECT_FALSE(assign->consumesProgressLine);
}

TEST(SheetGeometry, LinePitchByKindAndRevealMode) {
    struct Case {
        int kind, revealMode;
        int extra;    // above the answer area
        int advance;  // from the answer area top to the next line
    } cases[] = {
        {kindAudio, 0, 0, 60},   {kindAudio, 1, 0, 60},   {kindAudio, 2, 0, 140},
        {kindAudio, 4, 0, 140},  {kindVideo, 0, 210, 60}, {kindVideo, 3, 210, 140},
    };
    for (const Case& c : cases) {
        const std::string what = "kind " + std::to_string(c.kind) + " reveal " + std::to_string(c.revealMode);
        QuizHolder h(c.kind, 4, 1, c.revealMode);
        h.addQuestions(4);
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        const int t1 = 5 + c.extra;
        const int t4 = t1 + c.advance + c.extra;
        expectRect(findControl(layout, 4001, ControlRole::answerBox), {66, t1, 240, 20}, what);
        expectRect(findControl(layout, 5001, ControlRole::verdictLabel), {66, t1 + 19, 240, 20}, what);
        expectRect(findControl(layout, 6001, ControlRole::playButton), {46, t1, 20, 20}, what);
        expectRect(findControl(layout, 7001, ControlRole::stopButton), {46, t1 + 20, 20, 19}, what);
        expectRect(findControl(layout, 4004, ControlRole::answerBox), {66, t4, 240, 20}, what);
        EXPECT_EQ(layout.contentHeight, t4 + c.advance) << what;
        const ControlSpec* play = findControl(layout, 6004, ControlRole::playButton);
        ASSERT_NE(play, nullptr) << what;
        EXPECT_EQ(play->className, "Button") << what;
        EXPECT_EQ(play->style, 0x50010041u) << what;
        EXPECT_EQ(play->resourceId, 1004) << what;
        EXPECT_EQ(findControl(layout, 7004, ControlRole::stopButton)->resourceId, 1005) << what;
        EXPECT_TRUE(withRole(layout, ControlRole::pictureControl).empty()) << what;
        EXPECT_TRUE(withRole(layout, ControlRole::pictureAssignment).empty()) << what;
        EXPECT_EQ(withRole(layout, ControlRole::commentLabel).size(), c.revealMode > 1 ? 4u : 0u) << what;
    }
}

TEST(SheetGeometry, CommentLabelsStartHidden) {
    QuizHolder h(kindPictures, 2, 1, 2);
    h.addQuestions(2);
    PictureTable pictures;
    pictures.sizes[401] = {true, 100, 80};
    SheetLayout layout = layoutSheet(*h.quiz, pictures.callback());
    const ControlSpec* c = findControl(layout, 8002, ControlRole::commentLabel);
    expectRect(c, {336, 5 + 90 + 46, 260, 65}, "comment 2");
    EXPECT_EQ(c->className, "Static");
    EXPECT_EQ(c->style, 0x50000001u);
    EXPECT_EQ(c->font, SheetFontChoice::defaultGuiFont);
    EXPECT_EQ(c->text, "comment 2");
    EXPECT_TRUE(c->hiddenAfterCreate);
    EXPECT_EQ(layout.contentHeight, 5 + 90 + 140);
}

TEST(SheetGeometry, TwoAnswersPerQuestion) {
    struct Case {
        int kind;
        int boxWidth;
        int offset;
    } cases[] = {{kindPictures, 201, 0}, {kindAudio, 181, 20}, {kindVideo, 181, 20}};
    for (const Case& c : cases) {
        const std::string what = "kind " + std::to_string(c.kind);
        QuizHolder h(c.kind, 4, 2);
        h.addQuestions(4);
        copyText(h.quiz->answerCaption1, quizTextSize, "Titre");
        copyText(h.quiz->answerCaption2, quizTextSize, "Auteur");
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        const int t = 5 + (c.kind == kindPictures ? 10 : c.kind == kindVideo ? 210 : 0);
        // q1: boxes 4001, 4002; q2: 4003, 4004, each with its verdict label.
        struct Box {
            int k, x0, y;
        } boxes[] = {{1, 106, t}, {2, 106, t + 19}, {3, 396, t}, {4, 396, t + 19}};
        for (const Box& b : boxes) {
            const std::string name = what + " box " + std::to_string(b.k);
            const ControlSpec* box = findControl(layout, 4000 + b.k, ControlRole::answerBox);
            expectRect(box, {b.x0 + c.offset, b.y, c.boxWidth, 20}, name);
            EXPECT_EQ(box->box, b.k) << name;
            EXPECT_TRUE(box->installBeforeJudge) << name;
            const ControlSpec* verdict = findControl(layout, 5000 + b.k, ControlRole::verdictLabel);
            expectRect(verdict, {b.x0 + c.offset + c.boxWidth + 59 - 60, b.y, 60, 20}, name);
            EXPECT_EQ(verdict->font, SheetFontChoice::defaultGuiFont) << name;
            EXPECT_EQ(verdict->text, "?") << name;
        }
        // Captions for the first question of each line only.
        auto captions = withRole(layout, ControlRole::captionLabel);
        ASSERT_EQ(captions.size(), 4u) << what;
        const int t4 = t + 60 + (t - 5);
        const int captionQuestion[] = {1, 1, 4, 4};
        const Rect captionRect[] = {{4, t + 2, 95, 20}, {3, t + 22, 95, 20}, {4, t4 + 2, 95, 20}, {3, t4 + 22, 95, 20}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(captions[i]->question, captionQuestion[i]) << what << " caption " << i;
            expectRect(captions[i], captionRect[i], what + " caption " + std::to_string(i));
            EXPECT_EQ(captions[i]->text, i % 2 == 0 ? "Titre" : "Auteur") << what;
            EXPECT_EQ(captions[i]->style, 0x50000000u) << what;
            EXPECT_EQ(captions[i]->font, SheetFontChoice::defaultGuiFont) << what;
        }
        EXPECT_EQ(layout.contentWidth, 970) << what;
    }
}

TEST(SheetGeometry, ProgressLinesOnePerBoxInOrder) {
    struct Case {
        int kind, n, m;
        int lines;         // progress lines consumed
        int boxesCreated;  // of those, lines that fill a box
    } cases[] = {
        {kindText, 5, 1, 5, 5},      {kindText, 5, 2, 5, 5},      {kindPictures, 5, 1, 5, 5},
        {kindAudio, 5, 2, 10, 10},   {kindVideo, 4, 3, 12, 0},    {kindPictures, 3, 0, 0, 0},
        {kindAudio, 2, 255, 510, 0}, {7, 5, 1, 0, 0},
    };
    for (const Case& c : cases) {
        const std::string what =
            "kind " + std::to_string(c.kind) + " N=" + std::to_string(c.n) + " M=" + std::to_string(c.m);
        QuizHolder h(c.kind, c.n, c.m);
        h.addQuestions(c.n);
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        int lines = 0, boxes = 0;
        for (const ControlSpec& s : layout.controls) {
            if (!s.consumesProgressLine) continue;
            ++lines;
            EXPECT_EQ(s.box, lines) << what;  // lines are read in box order, none skipped
            if (s.role == ControlRole::answerBox) {
                ++boxes;
                EXPECT_EQ(s.id, 4000 + s.box) << what;
            } else {
                EXPECT_EQ(s.role, ControlRole::progressLineOnly) << what;
                EXPECT_TRUE(s.className.empty()) << what;
                EXPECT_FALSE(createsControl(s.role)) << what;
            }
        }
        EXPECT_EQ(lines, c.lines) << what;
        EXPECT_EQ(boxes, c.boxesCreated) << what;
        if (c.kind != 7) {  // number labels stay even without boxes
            EXPECT_EQ(withRole(layout, ControlRole::numberLabel).size(), static_cast<size_t>(c.n)) << what;
        }
        EXPECT_TRUE(withRole(layout, ControlRole::verdictLabel).size() == static_cast<size_t>(c.boxesCreated))
            << what;
    }
}

TEST(SheetGeometry, EmptyAndUnknownKinds) {
    struct Case {
        int kind, n, m, width;
    } cases[] = {{kindText, 0, 1, 20},     {kindPictures, 0, 2, 80}, {kindVideo, 0, 1, 20},
                 {7, 5, 1, 20},            {7, 5, 2, 80},            {-1, 3, 1, 20}};
    for (const Case& c : cases) {
        const std::string what = "kind " + std::to_string(c.kind) + " N=" + std::to_string(c.n);
        QuizHolder h(c.kind, c.n, c.m);
        h.addQuestions(c.n);
        PictureTable pictures;
        SheetLayout layout = layoutSheet(*h.quiz, pictures.callback());
        EXPECT_TRUE(layout.controls.empty()) << what;
        EXPECT_TRUE(pictures.asked.empty()) << what;
        EXPECT_EQ(layout.contentHeight, 0) << what;
        EXPECT_EQ(layout.contentWidth, c.width) << what;
    }
}

TEST(SheetGeometry, TabOrderOfBoxesAndButtons) {
    struct Case {
        int kind, m;
        std::vector<int> tabStops;
    } cases[] = {
        {kindAudio, 1, {4001, 6001, 7001, 4002, 6002, 7002, 4003, 6003, 7003, 4004, 6004, 7004}},
        {kindVideo, 2, {4001, 4002, 6001, 7001, 4003, 4004, 6002, 7002, 4005, 4006, 6003, 7003, 4007, 4008, 6004, 7004}},
        {kindPictures, 2, {4001, 4002, 4003, 4004, 4005, 4006, 4007, 4008}},
        {kindText, 2, {4001, 4002, 4003, 4004}},
    };
    for (const Case& c : cases) {
        QuizHolder h(c.kind, 4, c.m, 2);
        h.addQuestions(4);
        SheetLayout layout = layoutSheet(*h.quiz, nullptr);
        std::vector<int> tabStops;
        for (const ControlSpec& s : layout.controls)
            if (createsControl(s.role) && (s.style & tabStopStyleBit)) tabStops.push_back(s.id);
        EXPECT_EQ(tabStops, c.tabStops) << "kind " << c.kind << " M=" << c.m;
    }
}

}  // namespace
