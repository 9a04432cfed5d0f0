#include "editor/editHistory.h"

EditHistory::EditHistory(size_t limit) : limit_(limit > 0 ? limit : 1) {}

void EditHistory::reset(const EditorDocument& document) {
    states_.assign(1, State{document.model, document.selected});
    current_ = 0;
    typing_ = 0;
}

void EditHistory::record(const EditorDocument& document, int typing, uint32_t now, bool endsWord) {
    if (states_.empty()) return reset(document);
    State& top = states_[current_];
    if (document.model == top.model) {
        // Another question shown: typing there is another step.
        if (document.selected != top.selected) typing_ = 0;
        top.selected = document.selected;
        return;
    }
    const bool joins = typing != 0 && typing == typing_ && now - lastTyped_ <= pauseMilliseconds;
    states_.resize(current_ + 1);
    if (joins) {
        states_[current_] = State{document.model, document.selected};
    } else {
        states_.push_back(State{document.model, document.selected});
        ++current_;
        if (states_.size() > limit_ + 1) {
            states_.erase(states_.begin());
            --current_;
        }
    }
    typing_ = endsWord ? 0 : typing;
    lastTyped_ = now;
}

void EditHistory::amend(const EditorDocument& document) {
    if (states_.empty()) return reset(document);
    states_[current_] = State{document.model, document.selected};
    typing_ = 0;
}

void EditHistory::restore(EditorDocument& document, const State& state) const {
    document.model = state.model;
    const int count = static_cast<int>(document.model.questions.size());
    document.selected = state.selected < count ? state.selected : count - 1;
    if (document.selected < 0 && count > 0) document.selected = 0;
}

bool EditHistory::undo(EditorDocument& document) {
    if (!canUndo()) return false;
    --current_;
    typing_ = 0;
    restore(document, states_[current_]);
    return true;
}

bool EditHistory::redo(EditorDocument& document) {
    if (!canRedo()) return false;
    ++current_;
    typing_ = 0;
    restore(document, states_[current_]);
    return true;
}

bool typingEndsWord(const std::string& before, const std::string& after) {
    if (after.size() <= before.size()) return false;
    size_t i = 0;
    while (i < before.size() && before[i] == after[i]) ++i;
    return after[i] == ' ' || after[i] == '\t' || after[i] == '\r' || after[i] == '\n';
}
