// Undo and redo for the editor: the history keeps whole snapshots of the
// quiz (models are small: at most 96 questions of short texts), each with
// the question shown, so that undoing brings back exactly what the author
// saw. Typing is grouped as a word processor groups it: consecutive changes
// to one field are one step, until another field or command intervenes, the
// author pauses, or a word ends. Portable, tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editorDocument.h"

class EditHistory {
public:
    // Typing in one field after this long a pause starts a new step.
    static constexpr uint32_t pauseMilliseconds = 2000;
    // The oldest steps are forgotten beyond this many.
    static constexpr size_t defaultLimit = 200;

    explicit EditHistory(size_t limit = defaultLimit);

    // Forgets every step: the document as it is becomes the oldest state
    // (a quiz opened or begun).
    void reset(const EditorDocument& document);

    // Notes the document after whatever happened to it. A model that
    // changed makes a new step (the steps that could be redone are
    // forgotten); an unchanged one only keeps its selected question, which
    // undo will bring back. `typing` names the field typed in (0 for any
    // other change): a change in the same field as the last, within the
    // pause and before a word ended, joins that step. `endsWord` closes the
    // step after this change (the text now ends a word).
    void record(const EditorDocument& document, int typing = 0, uint32_t now = 0, bool endsWord = false);

    // The model changed in a way the author did not ask for as a step (a
    // save that named copied media in their new place): the current state
    // becomes the document's, without a step.
    void amend(const EditorDocument& document);

    // Typing after this starts a new step (the field lost the focus).
    void endTyping() { typing_ = 0; }

    bool canUndo() const { return current_ > 0; }
    bool canRedo() const { return current_ + 1 < states_.size(); }
    // Puts the document back one step (undo) or forward one step (redo):
    // its model and the question shown. False, changing nothing, at either end.
    bool undo(EditorDocument& document);
    bool redo(EditorDocument& document);

    size_t steps() const { return states_.empty() ? 0 : states_.size() - 1; }

private:
    struct State {
        QuizModel model;
        int selected = -1;
    };
    void restore(EditorDocument& document, const State& state) const;

    std::vector<State> states_;
    size_t current_ = 0;
    size_t limit_;
    int typing_ = 0;  // the field of the step still open to typing, 0 for none
    uint32_t lastTyped_ = 0;
};

// Whether typing that made `after` of `before` ended a word: the first
// character it put in is a space, a tab or a line break.
bool typingEndsWord(const std::string& before, const std::string& after);
