#include "sheet/sheetGeometry.h"

#include <cstring>

#include "quiz/quiz.h"

namespace {

constexpr int firstLineTop = 5;
constexpr int textRowPitch = 25;
constexpr int gridColumnPitch = 290;
constexpr int pictureCell = 260;

// Fixed text fields are terminated by construction, but a bounded read costs
// nothing and keeps a damaged record from running off the field.
std::string fieldText(const char* field) {
    const void* end = std::memchr(field, '\0', quizTextSize);
    size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : quizTextSize;
    return std::string(field, length);
}

std::string promptOf(const Quiz& quiz, int n) {
    const QuestionEntry* entry = questionAt(quiz, n);
    return entry ? fieldText(entry->prompt) : std::string();
}

std::string commentOf(const Quiz& quiz, int n) {
    const QuestionEntry* entry = questionAt(quiz, n);
    return entry ? fieldText(entry->comment) : std::string();
}

std::string numberText(int n) {
    return std::to_string(n) + ".";
}

ControlSpec control(ControlRole role, int id, const char* className, uint32_t style, int x, int y, int width,
                    int height, SheetFontChoice font, int n) {
    ControlSpec spec;
    spec.role = role;
    spec.id = id;
    spec.className = className;
    spec.style = style;
    spec.x = x;
    spec.y = y;
    spec.width = width;
    spec.height = height;
    spec.font = font;
    spec.question = n;
    return spec;
}

class SheetBuilder {
public:
    SheetBuilder(const Quiz& quiz, const std::function<PictureSize(int)>& pictureSize)
        : quiz_(quiz), pictureSize_(pictureSize), m_(quiz.answersPerQuestion) {}

    SheetLayout build() {
        for (int n = 1; n <= quiz_.questionCount; ++n) {
            switch (quiz_.kind) {
                case kindText: textRow(n); break;
                case kindPictures:
                case kindAudio:
                case kindVideo: gridItem(n); break;
                default: break;  // an unknown kind lays out nothing
            }
        }
        layout_.contentWidth += (m_ == 2) ? 80 : 20;
        return std::move(layout_);
    }

private:
    void add(ControlSpec spec) { layout_.controls.push_back(std::move(spec)); }

    void textRow(int n) {
        ControlSpec number = control(ControlRole::numberLabel, numberLabelId, "Static", numberLabelStyle, 26, y_ + 2,
                                     19, 17, SheetFontChoice::none, n);
        number.text = numberText(n);
        add(number);

        ControlSpec prompt = control(ControlRole::promptLabel, promptLabelId, "Static", promptLabelStyle, 50, y_, 550,
                                     20, SheetFontChoice::sheetFont, n);
        prompt.text = promptOf(quiz_, n);
        add(prompt);

        // One box per question whatever M says.
        ControlSpec box = control(ControlRole::answerBox, answerBoxIdBase + n, "Edit", textAnswerBoxStyle, 610, y_, 170,
                                  20, SheetFontChoice::sheetFont, n);
        box.box = n;
        box.consumesProgressLine = true;
        add(box);

        ControlSpec verdict = control(ControlRole::verdictLabel, verdictLabelIdBase + n, "Static", verdictLabelStyle,
                                      790, y_, 100, 20, SheetFontChoice::none, n);
        verdict.text = "?";
        verdict.box = n;
        add(verdict);

        y_ += textRowPitch;
        layout_.contentWidth = 880;
        layout_.contentHeight = y_;
    }

    // Sizes of the group of three that starts at question n.
    void loadPictureGroup(int n) {
        groupTallest_ = 0;
        for (int i = 0; i < 3; ++i) {
            PictureSize size;
            if (pictureSize_) size = pictureSize_(pictureResourceIdBase + n + i);
            if (!size.present) size = PictureSize{false, pictureCell, 0};
            group_[i] = size;
            if (size.height > groupTallest_) groupTallest_ = size.height;
        }
    }

    int extraHeight(int n, int c, int x0) {
        switch (quiz_.kind) {
            case kindPictures: {
                if (c == 0) loadPictureGroup(n);
                const PictureSize& own = group_[c];
                add(control(ControlRole::pictureControl, pictureControlIdBase + n, "STATIC", pictureControlStyle,
                            x0 + (pictureCell - own.width) / 2, y_ + (groupTallest_ - own.height) / 2, own.width,
                            own.height, SheetFontChoice::none, n));
                return groupTallest_ + 10;
            }
            case kindVideo: return 210;
            default: return 0;
        }
    }

    void gridItem(int n) {
        const int c = (n + 2) % 3;
        const int x0 = gridColumnPitch * c + (m_ == 2 ? 106 : 46);
        const bool pictures = quiz_.kind == kindPictures;
        const int offset = pictures ? 0 : 20;
        const int boxWidth = pictures ? 260 : 240;
        const int labelWidth = boxWidth;

        const int t = y_ + extraHeight(n, c, x0);

        if (m_ == 2 && n % 3 == 1) {
            ControlSpec first = control(ControlRole::captionLabel, captionLabelId, "Static", captionLabelStyle, 4,
                                        t + 2, 95, 20, SheetFontChoice::defaultGuiFont, n);
            first.text = fieldText(quiz_.answerCaption1);
            add(first);
            ControlSpec second = control(ControlRole::captionLabel, captionLabelId, "Static", captionLabelStyle, 3,
                                         t + 22, 95, 20, SheetFontChoice::defaultGuiFont, n);
            second.text = fieldText(quiz_.answerCaption2);
            add(second);
        }

        ControlSpec number = control(ControlRole::numberLabel, numberLabelId, "Static", numberLabelStyle, x0 - 28,
                                     t + 2, 27, 17, SheetFontChoice::none, n);
        number.text = numberText(n);
        add(number);

        for (int j = 1; j <= m_; ++j) answerSlot(n, j, x0 + offset, t, boxWidth, labelWidth);

        if (pictures) {
            ControlSpec assign;
            assign.role = ControlRole::pictureAssignment;
            assign.id = pictureControlIdBase + n;
            assign.question = n;
            assign.resourceId = pictureResourceIdBase + n;
            add(assign);
        } else {
            ControlSpec play = control(ControlRole::playButton, playButtonIdBase + n, "Button", mediaButtonStyle, x0, t,
                                       20, 20, SheetFontChoice::none, n);
            play.resourceId = playIconResourceId;
            add(play);
            ControlSpec stop = control(ControlRole::stopButton, stopButtonIdBase + n, "Button", mediaButtonStyle, x0,
                                       t + 20, 20, 19, SheetFontChoice::none, n);
            stop.resourceId = stopIconResourceId;
            add(stop);
        }

        // Every mode past the solution picture, unknown ones too, gets the
        // (hidden) comment labels and the taller line.
        const bool comments = quiz_.revealMode > revealSolutionPicture;
        if (comments) {
            ControlSpec comment = control(ControlRole::commentLabel, commentLabelIdBase + n, "Static",
                                          commentLabelStyle, x0, t + 46, 260, 65, SheetFontChoice::defaultGuiFont, n);
            comment.text = commentOf(quiz_, n);
            comment.hiddenAfterCreate = true;
            add(comment);
        }

        const int advance = comments ? 140 : 60;
        if (n % 3 == 0) y_ = t + advance;
        if (n % 3 == 1) {
            layout_.contentWidth = 890;
            layout_.contentHeight = t + advance;
        }
    }

    void answerSlot(int n, int j, int left, int t, int boxWidth, int labelWidth) {
        if (m_ == 1) {
            ControlSpec box = control(ControlRole::answerBox, answerBoxIdBase + n, "Edit", gridAnswerBoxStyle, left, t,
                                      boxWidth, 20, SheetFontChoice::sheetFont, n);
            box.box = n;
            box.consumesProgressLine = true;
            add(box);
            ControlSpec verdict = control(ControlRole::verdictLabel, verdictLabelIdBase + n, "Static",
                                          verdictLabelStyle, left, t + 19, labelWidth, 20, SheetFontChoice::none, n);
            verdict.text = "?";
            verdict.box = n;
            add(verdict);
            return;
        }
        if (m_ == 2) {
            const int k = 2 * n + j - 2;
            const int top = t + 19 * (j - 1);
            ControlSpec box = control(ControlRole::answerBox, answerBoxIdBase + k, "Edit", gridAnswerBoxStyle, left,
                                      top, boxWidth - 59, 20, SheetFontChoice::sheetFont, n);
            box.box = k;
            box.consumesProgressLine = true;
            box.installBeforeJudge = true;
            add(box);
            ControlSpec verdict =
                control(ControlRole::verdictLabel, verdictLabelIdBase + k, "Static", verdictLabelStyle,
                        left + boxWidth - 60, top, 60, 20, SheetFontChoice::defaultGuiFont, n);
            verdict.text = "?";
            verdict.box = k;
            add(verdict);
            return;
        }
        // Any other M: the slot keeps its progress line so the lines of the
        // following questions stay in step, but nothing is shown for it.
        ControlSpec dropped;
        dropped.role = ControlRole::progressLineOnly;
        dropped.question = n;
        dropped.box = (n - 1) * m_ + j;
        dropped.consumesProgressLine = true;
        add(dropped);
    }

    const Quiz& quiz_;
    const std::function<PictureSize(int)>& pictureSize_;
    const int m_;
    SheetLayout layout_;
    int y_ = firstLineTop;
    PictureSize group_[3];
    int groupTallest_ = 0;
};

}  // namespace

bool createsControl(ControlRole role) {
    return role != ControlRole::progressLineOnly && role != ControlRole::pictureAssignment;
}

SheetLayout layoutSheet(const Quiz& quiz, const std::function<PictureSize(int resourceId)>& pictureSize) {
    return SheetBuilder(quiz, pictureSize).build();
}
