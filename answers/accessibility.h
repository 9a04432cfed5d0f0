// What a screen reader is told about the player's controls, and which
// changes it is told about. Portable: the texts are Windows-1252 like the
// labels beside them; the Windows side hands them to the platform.
#pragma once

#include <string>

#include "quiz/quiz.h"

// The player's controls that speak for themselves beyond their window text.
enum class SpokenControl {
    none,          // the platform's own name (its text) is right as it is
    answerBox,     // named after its question, described by its prompt or medium and its verdict
    picture,       // "Image de la question N"
    playButton,    // "Écouter l'extrait N"
    stopButton,    // "Arrêter l'extrait N"
    verdictLabel,  // a polite live region: its text is announced when it changes
    score,         // "Score : 2 sur 5", a polite live region too
    rewardCode,    // "Code : ORANGE"
};

// A control of the sheet by its identifier, for N questions of M answers.
SpokenControl sheetSpokenControl(const Quiz& quiz, int controlId);
// A control of the header bar by its identifier.
SpokenControl headerSpokenControl(int controlId);

// Name and description of one control. An empty description leaves the
// platform's own (none, for these controls).
struct SpokenText {
    std::string name;
    std::string description;
};

// The sheet's control `controlId`; `verdict` is what the verdict label of an
// answer box shows now (ignored for the others). Nothing here ever holds an
// accepted answer or a comment. False for a control that keeps the platform's own.
bool sheetControlSpeech(const Quiz& quiz, int controlId, const char* verdict, SpokenText& out);

// The header's control `controlId` from the text it shows (" 2 / 5", the
// reward code). False for a control that keeps the platform's own.
bool headerControlSpeech(int controlId, const char* shown, SpokenText& out);

// What one judgement announces. The verdict label changed (the judge writes
// it only on a change) and the score may have; nothing is announced while
// the sheet judges the answers restored from the progress file.
struct JudgementAnnouncements {
    bool verdict;
    bool score;  // after the verdict, and only when its text changed
};
JudgementAnnouncements announcementsAfterJudgement(bool sheetBuilding, bool verdictChanged, const char* scoreBefore,
                                                   const char* scoreAfter);
